// SPDX-License-Identifier: MIT
#pragma once

#include <cstdio>
#include <string>

// The per-user settings file "Ombrefell.conf": created with defaults when missing, then read. Built
// by the Application constructor and dropped once the settings are taken; its fields are public.
class ConfigLoader {
public:
    // Finds or creates the file and reads it into the fields.
    ConfigLoader();
    // Reads the file in the given folder (created if missing), for tests; an empty folder reads nothing.
    explicit ConfigLoader(const std::string& directory);

    // Writes the seven default lines to the file.
    void createFile() const;

    // The full path of the settings file; empty when there is no home directory.
    const std::string& getFileName() const { return fileName; }

    int width = 800;
    int height = 600;
    int antialias = 6;
    bool fullscreen = false;
    bool noSound = false;
    bool noMusic = false;
    // Kept from older files; it changes nothing.
    bool sdl = false;

private:
    void load(const std::string& directory);
    void readFile(std::FILE* in);
    void readLine(const std::string& line);

    // Where the settings live.
    std::string fileName;
};

// The settings folder, created (with its parents) when missing: $XDG_CONFIG_HOME/Ombrefell when that is
// an absolute path, otherwise ~/.config/Ombrefell. Empty when neither the environment nor the password entry names a home.
std::string getFilePath();
