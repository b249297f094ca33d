// SPDX-License-Identifier: MIT
#pragma once

#include <cstdio>
#include <string>

// The per-user settings file "Ombrefell.conf": created with defaults when missing, then read; a file
// that exists but cannot be read is left as it is, and the built-in settings apply. Built
// by the Application constructor and dropped once the settings are taken; its fields are public.
class ConfigLoader {
public:
    // Finds or creates the file and reads it into the fields.
    ConfigLoader();
    // Reads the file in the given folder (created if missing), for tests; an empty folder reads nothing.
    explicit ConfigLoader(const std::string& directory);

    // Creates the file with the seven default lines, only if there is none: written whole to a new
    // file beside it first, then linked into place, so that no file is ever emptied or replaced. On
    // any failure it says so and leaves no file behind.
    void createFile() const;


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
