// SPDX-License-Identifier: MIT
// The settings file reader, fed any bytes as the file.
#include "Fuzz.h"
#include "app/ConfigLoader.h"
#include "app/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    inputAs("Ombrefell.conf", data, size);
    Settings::fromConfig(ConfigLoader(fuzzFolder()));
    return 0;
}
