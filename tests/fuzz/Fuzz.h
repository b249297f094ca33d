// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

// Each harness defines it; libFuzzer calls it, or replay.cpp with every file of the corpus.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

// A folder of the harness's own for the files it hands to the game, made once per process in $FUZZ_TMPDIR
// or /tmp (a fuzzer writes a file per input, so /dev/shm serves it best) and removed at exit; making it
// also keeps the game's notices off the fuzzer's output.
inline const std::string& fuzzFolder()
{
    static std::string path;
    if (path.empty()) {
        path = std::string(std::getenv("FUZZ_TMPDIR") ? std::getenv("FUZZ_TMPDIR") : "/tmp") + "/marrowgate-fuzz-XXXXXX";
        if (std::freopen("/dev/null", "w", stdout) == nullptr || mkdtemp(path.data()) == nullptr)
            std::abort();
        std::atexit([] { std::filesystem::remove_all(path); });
    }
    return path;
}

// The input written as the named file of the folder; its path.
inline std::string inputAs(const char* name, const std::uint8_t* data, std::size_t size)
{
    const std::string path = fuzzFolder() + "/" + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), std::streamsize(size));
    return path;
}
