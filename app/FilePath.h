// SPDX-License-Identifier: MIT
#pragma once

#include <string>

// A small path value: splits a path text into parent, name and extension. The file-system queries are
// placeholders that touch nothing; no part of the game relies on them.
class FilePath {
public:
    FilePath() = default;
    explicit FilePath(const std::string& path) : path(path) {}
    FilePath(const FilePath& other) = default;
    FilePath& operator=(const FilePath& other) = default;

    void setPath(const std::string& newPath) { path = newPath; }
    const std::string& getPath() const { return path; }

    // The text before the last "/", or the whole path when it has none.
    std::string getParent() const;
    // The name without its extension.
    std::string getName() const;
    // The text after the last "/", or the whole path when it has none.
    std::string getNameWithExtension() const;
    // The text after the last "."; empty for an empty path or a name without a ".".
    std::string getExtension() const;

    // Placeholders: false, 0 or an empty path.
    bool exists() const { return false; }
    bool isFile() const { return false; }
    bool isDirectory() const { return false; }
    int getNumChildren() const { return 0; }
    bool createAsDirectory() const { return false; }
    bool copyTo(const std::string&) const { return false; }
    FilePath getChild(int) const { return FilePath(); }
    FilePath getChild(const std::string&) const { return FilePath(); }
    static FilePath getAppDataPath() { return FilePath(); }
    static FilePath getCurrentExecutableDir() { return FilePath(); }

private:
    // The path text, as given.
    std::string path;
};
