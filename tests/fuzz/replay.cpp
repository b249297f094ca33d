// SPDX-License-Identifier: MIT
// Runs a harness over every file of the folders it is given, in name order, without libFuzzer: the
// corpora and every input that ever crashed the game are replayed by the tests. A folder that is not
// there ends it with an exception.
#include "Fuzz.h"

#include <iostream>
#include <set>

int main(int argc, char** argv)
{
    std::set<std::filesystem::path> inputs;
    for (int i = 1; i < argc; ++i)
        inputs.insert(std::filesystem::directory_iterator(argv[i]), {});
    for (const auto& input : inputs) {
        const std::string bytes{std::istreambuf_iterator<char>(std::ifstream(input, std::ios::binary).rdbuf()), {}};
        std::cerr << "replaying " << input.filename().string() << std::endl;
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    return inputs.empty() ? 1 : 0;
}
