// SPDX-License-Identifier: MIT
#pragma once

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

// A fresh folder under /tmp, removed with everything in it when the object goes.
class TemporaryDirectory {
public:
    TemporaryDirectory()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "marrowgate-test-XXXXXX").string();
        path = mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TemporaryDirectory()
    {
        std::error_code ignored;
        std::filesystem::permissions(path, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(path, ignored);
    }

    const std::string& getPath() const { return path; }

private:
    // The folder made for this test.
    std::string path;
};

// Sets an environment variable for the life of the object, then puts the old value back.
class ScopedEnvironment {
public:
    // A null value unsets the variable.
    ScopedEnvironment(const char* name, const char* value) : name(name)
    {
        if (const char* old = std::getenv(name))
            oldValue = old;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnvironment() { oldValue ? setenv(name.c_str(), oldValue->c_str(), 1) : unsetenv(name.c_str()); }

private:
    std::string name;
    // The value to put back; none when the variable was unset.
    std::optional<std::string> oldValue;
};
