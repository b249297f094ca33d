// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

class ConfigLoader;

// The settings a run starts with: from the command line when it has any argument, otherwise from the
// configuration file. Each option has its own pass over the arguments, so the last occurrence wins
// and a value consumed by one option is still seen by the others.
struct Settings {
    // Window size in pixels; a size outside 1 to 16383 counts as not given (SDL cannot make a wider
    // scanline).
    int width = 0;
    int height = 0;
    // Multisample level handed to the drawer; 0 means none.
    int antialias = 0;
    bool fullscreen = false;
    // Sound output off: the audio device is never started.
    bool noSound = false;
    // The audio callback skips the background music.
    bool noMusic = false;

    // Whether any argument is "--help".
    static bool asksForHelp(const std::vector<std::string>& args);
    // Reads the command line, printing the default-size and antialiasing notices.
    static Settings fromArguments(const std::vector<std::string>& args);
    // Takes the configuration file's values, with 800 by 600 for an unusable size.
    static Settings fromConfig(const ConfigLoader& config);
    // The text "--help" prints.
    static std::string usageText();
};
