// SPDX-License-Identifier: MIT
#pragma once

#include <cstdio>
#include <string>

// Opening the files the game reads (settings, sounds) only when they are regular files: a FIFO would
// block the opening thread for good and a device such as /dev/zero would never end.
class RegularFile {
public:
    // Opens the file for reading in binary mode; null when it is missing, unreadable or not a regular
    // file. Never blocks. The caller owns the stream.
    static std::FILE* openForReading(const std::string& path);
    // Whether something other than a regular file (folder, FIFO, device) sits at the path.
    static bool isSomethingElse(const std::string& path);
};
