// SPDX-License-Identifier: MIT
#include "app/FilePath.h"

std::string FilePath::getParent() const
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(0, slash);
}

std::string FilePath::getNameWithExtension() const
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FilePath::getName() const
{
    const std::string name = getNameWithExtension();
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string FilePath::getExtension() const
{
    // Looking only in the last component keeps "dir.d/file" from claiming the extension "d/file".
    const std::string name = getNameWithExtension();
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}
