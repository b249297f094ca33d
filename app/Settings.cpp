// SPDX-License-Identifier: MIT
#include "app/Settings.h"

#include "app/ConfigLoader.h"

#include <iostream>
#include <sstream>

namespace {

// SDL 1.2 refuses a window of 16384 pixels or more ("A scanline is too wide").
const int largestSize = 16383;

bool isUsableSize(int size)
{
    return size >= 1 && size <= largestSize;
}

bool matches(const std::string& arg, const char* longName, const char* shortName)
{
    return arg == longName || (shortName != nullptr && arg == shortName);
}

bool hasFlag(const std::vector<std::string>& args, const char* longName, const char* shortName)
{
    bool found = false;
    for (const std::string& arg : args)
        found = found || matches(arg, longName, shortName);
    return found;
}

// Each value is read on its own stream, so a malformed one spoils nothing after it.
void readInteger(const std::string& text, int& value)
{
    std::istringstream stream(text);
    int read;
    if (stream >> read)
        value = read;
}

// Returns whether the option occurred at all; the last value given wins.
bool readIntegerOption(const std::vector<std::string>& args, const char* longName, const char* shortName,
                       int& value)
{
    bool occurred = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (!matches(args[i], longName, shortName))
            continue;
        occurred = true;
        if (i + 1 == args.size())
            break;
        readInteger(args[i + 1], value);
    }
    return occurred;
}

void readSize(const std::vector<std::string>& args, const char* longName, const char* shortName, int& size,
              int fallback, const char* notice)
{
    readIntegerOption(args, longName, shortName, size);
    if (!isUsableSize(size)) {
        size = fallback;
        std::cout << notice << std::endl;
    }
}

} // namespace

std::string Settings::usageText()
{
    return "\n"
           "Marrowgate\n"
           "\n"
           "Usage:\n"
           "Marrowgate -w [width] -h [height] -a [val] -f -ns -nm -s\n"
           "\n"
           "Flags:\n"
           "--width [val] | -w [val]:\tSet the width of the window.\n"
           "--height [val] | -h [val]:\tSet the height of the window.\n"
           "--antialias [val] | -a [val]:\tSets the antialiasing level (2, 4, or 6).\n"
           "--fullscreen | -f:\t\tSets whether to go fullscreen or not.\n"
           "--nosound | -ns:\t\tSwitches off the sound output.\n"
           "--nomusic | -nm:\t\tSwitches off the background music.\n"
           "--help:\t\t\t\tDisplay this help.\n";
}

bool Settings::asksForHelp(const std::vector<std::string>& args)
{
    return hasFlag(args, "--help", nullptr);
}

Settings Settings::fromArguments(const std::vector<std::string>& args)
{
    Settings settings;
    readSize(args, "--width", "-w", settings.width, 1024, "Using default width = 1024");
    readSize(args, "--height", "-h", settings.height, 768, "Using default height = 768");
    settings.fullscreen = hasFlag(args, "--fullscreen", "-f");
    settings.noSound = hasFlag(args, "--nosound", "-ns");
    settings.noMusic = hasFlag(args, "--nomusic", "-nm");
    if (readIntegerOption(args, "--antialias", "-a", settings.antialias) && settings.antialias <= 1) {
        settings.antialias = 2;
        std::cout << "Using 2x antialiasing." << std::endl;
    }
    return settings;
}

Settings Settings::fromConfig(const ConfigLoader& config)
{
    Settings settings;
    settings.width = isUsableSize(config.width) ? config.width : 800;
    settings.height = isUsableSize(config.height) ? config.height : 600;
    settings.antialias = config.antialias >= 1 ? config.antialias : 0;
    settings.fullscreen = config.fullscreen;
    settings.noSound = config.noSound;
    settings.noMusic = config.noMusic;
    return settings;
}
