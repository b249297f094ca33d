// SPDX-License-Identifier: MIT
#include "audio/OggFile.h"

#include "app/RegularFile.h"

#include <sys/stat.h>

#include <iostream>

OggFile::~OggFile()
{
    if (opened)
        ov_clear(&decoder);
}

bool OggFile::open(const std::string& path, long long largest)
{
    FILE* file = RegularFile::openForReading(path);
    if (file == nullptr) {
        std::cout << "vorbisfile: fopen could not open file: " << path << std::endl;
        return false;
    }
    if (isTooLarge(file, largest, path)) {
        std::fclose(file);
        return false;
    }
    if (ov_open(file, &decoder, nullptr, 0) < 0) {
        // The library leaves the file open when it refuses it.
        std::fclose(file);
        std::cout << "vorbisfile: Could not open file: " << path << std::endl;
        return false;
    }
    if (ov_streams(&decoder) <= 0) {
        ov_clear(&decoder);
        std::cout << "vorbisfile: There are no streams in this file?" << std::endl;
        return false;
    }
    opened = true;
    return true;
}

void OggFile::rewind()
{
    if (ov_pcm_tell(&decoder) != 0)
        ov_raw_seek(&decoder, 0);
}

bool OggFile::isTooLarge(std::FILE* file, long long largest, const std::string& path)
{
    struct stat status;
    if (fstat(fileno(file), &status) != 0 || status.st_size <= largest)
        return false;
    std::cout << "vorbisfile: File too large, so it stays silent: " << path << std::endl;
    return true;
}
