// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

// What every harness needs: a folder of its own for the files it hands to the game, made once per
// process in $FUZZ_TMPDIR or /tmp (a fuzzer writes a file per input, so /dev/shm serves it best) and
// removed at exit, and the game's diagnostics kept off the fuzzer's output.
inline const std::string& fuzzFolder()
{
    struct Folder {
        Folder()
        {
            if (std::freopen("/dev/null", "w", stdout) == nullptr)
                std::abort();
            const char* base = std::getenv("FUZZ_TMPDIR");
            std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/marrowgate-fuzz-XXXXXX";
            if (mkdtemp(pattern.data()) == nullptr)
                std::abort();
            path = pattern;
        }
        ~Folder() { std::filesystem::remove_all(path); }
        std::string path;
    };
    static const Folder folder;
    return folder.path;
}

// Replaces the file at path with the input's bytes.
inline void writeInput(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                  static_cast<std::streamsize>(size));
}
