// SPDX-License-Identifier: MIT
#pragma once

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

// A fresh folder under /tmp, removed with everything in it when the object goes.
class TemporaryDirectory {
    // The folder made for this test; empty when none could be made.
    std::string path = (std::filesystem::temp_directory_path() / "marrowgate-test-XXXXXX").string();

public:
    TemporaryDirectory()
    {
        if (mkdtemp(path.data()) == nullptr)
            path.clear();
    }
    ~TemporaryDirectory()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    const std::string& getPath() const { return path; }
};

// Sets an environment variable for the life of the object, then puts the old value back.
class ScopedEnvironment {
    std::string name;
    // The value to put back; none when the variable was unset.
    std::optional<std::string> oldValue;

public:
    // A null value unsets the variable.
    ScopedEnvironment(const char* name, const char* value)
        : name(name), oldValue(std::getenv(name) ? std::optional<std::string>(std::getenv(name)) : std::nullopt)
    {
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnvironment() { oldValue ? setenv(name.c_str(), oldValue->c_str(), 1) : unsetenv(name.c_str()); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
};
