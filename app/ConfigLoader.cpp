// SPDX-License-Identifier: MIT
#include "app/ConfigLoader.h"

#include "app/RegularFile.h"

#include <pwd.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <sstream>

namespace {

const char* const folderName = "Ombrefell";
const char* const configName = "/Ombrefell.conf";
const std::size_t longestLine = 127;

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string homeDirectory()
{
    const std::string home = environment("HOME");
    if (!home.empty())
        return home;
    const passwd* entry = getpwuid(getuid());
    return (entry && entry->pw_dir) ? std::string(entry->pw_dir) : std::string();
}

bool isDirectory(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Creates each missing folder of the path in turn, like "mkdir -p".
bool makeDirectories(const std::string& path)
{
    for (std::size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
        const std::string prefix = path.substr(0, slash);
        if (!isDirectory(prefix) && mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            return isDirectory(path);
    }
}

// Writes every byte and makes sure they reached the disk; false on any failure (a full disk among them).
bool writeWhole(int descriptor, const char* bytes, std::size_t length)
{
    while (length > 0) {
        const ssize_t written = write(descriptor, bytes, length);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes += written;
        length -= static_cast<std::size_t>(written);
    }
    return fsync(descriptor) == 0;
}

template <typename T>
void readValue(const std::string& line, std::size_t start, T& field)
{
    if (line.size() <= start)
        return;
    std::istringstream value(line.substr(start));
    T read;
    if (value >> read)
        field = read;
}

} // namespace

std::string getFilePath()
{
    std::string base = environment("XDG_CONFIG_HOME");
    // A relative value would put the settings wherever the game happens to be started.
    if (base.empty() || base[0] != '/') {
        const std::string home = homeDirectory();
        if (home.empty()) {
            std::cout << "No home directory: using the built-in settings." << std::endl;
            return std::string();
        }
        base = home + "/.config";
    }
    const std::string path = base + "/" + folderName;
    if (!isDirectory(path)) {
        if (makeDirectories(path))
            std::cout << "Created directory " << path << std::endl;
        else
            std::cout << "Could not create directory " << path << std::endl;
    }
    return path;
}

ConfigLoader::ConfigLoader()
{
    load(getFilePath());
}

ConfigLoader::ConfigLoader(const std::string& directory)
{
    load(directory);
}

void ConfigLoader::load(const std::string& directory)
{
    if (directory.empty())
        return;
    fileName = directory + configName;
    // A folder, FIFO or device in the file's place is left alone: the built-in defaults apply.
    if (RegularFile::isSomethingElse(fileName))
        return;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(RegularFile::openForReading(fileName), std::fclose);
    struct stat status;
    if (!in && stat(fileName.c_str(), &status) == 0) {
        // The player's own settings, unreadable for now: never replaced.
        std::cout << "Could not read " << fileName << std::endl;
        return;
    }
    if (!in) {
        createFile();
        in.reset(RegularFile::openForReading(fileName));
    }
    if (in)
        readFile(in.get());
}

void ConfigLoader::createFile() const
{
    static const char defaults[] = "w 800\nh 600\na 0\nf 0\nns 0\nnm 0\nsdl 0\n";
    std::string temporary = fileName + ".XXXXXX";
    const int descriptor = mkstemp(temporary.data());
    bool written = descriptor >= 0 && writeWhole(descriptor, defaults, sizeof(defaults) - 1);
    if (descriptor >= 0)
        written = close(descriptor) == 0 && written;
    // link() fails when a file appeared meanwhile: nobody's settings are overwritten.
    written = written && link(temporary.c_str(), fileName.c_str()) == 0;
    if (descriptor >= 0)
        unlink(temporary.c_str());
    if (!written)
        std::cout << "Could not create " << fileName << std::endl;
}

void ConfigLoader::readFile(std::FILE* in)
{
    // Room for the longest line, its line feed and the terminator: each read is bounded, and a line
    // longer than that ends the reading with what came before it kept.
    char buffer[longestLine + 2];
    while (std::fgets(buffer, sizeof(buffer), in) != nullptr) {
        std::string line(buffer);
        const bool complete = !line.empty() && line.back() == '\n';
        if (complete)
            line.pop_back();
        else if (line.size() > longestLine || !std::feof(in))
            return;
        readLine(line);
    }
}

void ConfigLoader::readLine(const std::string& line)
{
    if (line.empty())
        return;
    switch (line[0]) {
    case 'w': readValue(line, 2, width); break;
    case 'h': readValue(line, 2, height); break;
    case 'a': readValue(line, 2, antialias); break;
    case 'f': readValue(line, 2, fullscreen); break;
    case 'n':
        if (line.size() > 1 && line[1] == 's')
            readValue(line, 3, noSound);
        else if (line.size() > 1 && line[1] == 'm')
            readValue(line, 3, noMusic);
        break;
    case 's': readValue(line, 4, sdl); break;
    default: break;
    }
}
