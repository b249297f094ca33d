// SPDX-License-Identifier: MIT
#include "render/FrameRecord.h"

#include <cstring>

void FrameRecord::clear()
{
    operations.clear();
    text.clear();
}

void FrameRecord::add(const DrawOperation& operation)
{
    operations.push_back(operation);
}

void FrameRecord::addText(DrawOperation operation, std::string_view characters)
{
    operation.textStart = static_cast<std::uint32_t>(text.size());
    operation.textLength = static_cast<std::uint32_t>(characters.size());
    text.append(characters);
    operations.push_back(operation);
}

std::string_view FrameRecord::textOf(const DrawOperation& operation) const
{
    return std::string_view(text).substr(operation.textStart, operation.textLength);
}

bool FrameRecord::operator==(const FrameRecord& other) const
{
    if (operations.size() != other.operations.size() || text != other.text)
        return false;
    return operations.empty() ||
           std::memcmp(operations.data(), other.operations.data(), operations.size() * sizeof(DrawOperation)) == 0;
}

void FrameRecord::swap(FrameRecord& other)
{
    operations.swap(other.operations);
    text.swap(other.text);
}
