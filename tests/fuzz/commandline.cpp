// SPDX-License-Identifier: MIT
// The command line, fed any bytes as arguments separated by NUL bytes.
#include "Fuzz.h"
#include "app/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Keeps the game's notices off the fuzzer's output.
    fuzzFolder();
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            args.emplace_back();
        else
            args.back() += static_cast<char>(data[i]);
    }
    Settings::asksForHelp(args);
    Settings::fromArguments(args);
    return 0;
}
