// SPDX-License-Identifier: MIT
// The fuzz harnesses for what the game reads from outside, one a program: the build defines FUZZ_HARNESS
// as the harness's number, in the order of the table below.
#if FUZZ_HARNESS <= 1
#include "app/ConfigLoader.h"
#include "app/Settings.h"
#elif FUZZ_HARNESS <= 3
#include "audio/BackgroundMusic.h"
#include "audio/Sounds.h"
#else
#include "render/ImageLoader.h"
#endif

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {
    // A folder of the harness's own for the files it hands to the game, made once per process in
    // $FUZZ_TMPDIR or /tmp (a fuzzer writes a file per input, so /dev/shm serves it best) and removed at
    // exit; making it also keeps the game's notices off the fuzzer's output.
    const std::string& fuzzFolder()
    {
        struct Folder {
            Folder()
            {
                if (std::freopen("/dev/null", "w", stdout) == nullptr)
                    std::abort();
                const char* base = std::getenv("FUZZ_TMPDIR");
                path = std::string(base != nullptr ? base : "/tmp") + "/marrowgate-fuzz-XXXXXX";
                if (mkdtemp(path.data()) == nullptr)
                    std::abort();
            }
            ~Folder() { std::filesystem::remove_all(path); }
            std::string path;
        };
        static const Folder folder;
        return folder.path;
    }

    // The input written as the named file of the folder; its path.
    [[maybe_unused]] std::string inputAs(const char* name, const std::uint8_t* data, std::size_t size)
    {
        const std::string path = fuzzFolder() + "/" + name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), std::streamsize(size));
        return path;
    }
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzFolder();
#if FUZZ_HARNESS == 0
    // The settings file reader, fed any bytes as the file.
    inputAs("Ombrefell.conf", data, size);
    Settings::fromConfig(ConfigLoader(fuzzFolder()));
#elif FUZZ_HARNESS == 1
    // The command line, fed any bytes as arguments separated by NUL bytes.
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            args.emplace_back();
        else
            args.back() += static_cast<char>(data[i]);
    }
    Settings::asksForHelp(args);
    Settings::fromArguments(args);
#elif FUZZ_HARNESS == 2
    // The effects loader, fed any bytes as click.ogg; what loads is played through the mixer.
    inputAs("click.ogg", data, size);
    Sounds sounds(fuzzFolder() + "/");
    sounds.playSound(Sounds::ClickSound);
    std::vector<float> block(2 * 512, 0.0f);
    sounds.getAudio(block.data(), 512);
#elif FUZZ_HARNESS == 3
    // The music streamer, fed any bytes as the music file, and played past its loop point.
    BackgroundMusic music(inputAs("music.ogg", data, size), false);
    std::vector<float> block(2 * BackgroundMusic::BUFFER_FRAMES, 0.0f);
    for (int buffer = 0; buffer < 2 * BackgroundMusic::NUM_BUFFERS; ++buffer) {
        music.audioBlock(block.data(), BackgroundMusic::BUFFER_FRAMES);
        music.refill();
    }
#elif FUZZ_HARNESS == 4
    // The picture decoder, fed any bytes as an embedded picture.
    delete[] ImageLoader().loadImage(reinterpret_cast<const char*>(data), static_cast<unsigned int>(size)).pixels;
#endif
    return 0;
}
