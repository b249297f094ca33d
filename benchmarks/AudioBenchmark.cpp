// SPDX-License-Identifier: MIT
#include "app/Application.h"
#include "audio/BackgroundMusic.h"
#include "audio/Sounds.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {
    // The block the benchmark mixes, and how long it lasts at 44100 Hz.
    const int FRAMES = 512;
    const double BLOCK_SECONDS = FRAMES / 44100.0;

    // The game's sound files in the source tree.
    std::string sourceSounds()
    {
        return std::string(MARROWGATE_SOURCE_DIR) + "/resources/sounds/";
    }

    // The whole mixer of a running game: the music streaming and all 128 effect voices sounding.
    void BM_ApplicationGetAudio(benchmark::State& state)
    {
        setenv("MARROWGATE_SOUNDS_DIR", sourceSounds().c_str(), 0);
        // No window is needed, and the user's own settings stay untouched.
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        char home[] = "/tmp/marrowgate-benchmark-XXXXXX";
        if (mkdtemp(home) == nullptr) {
            state.SkipWithError("no temporary folder");
            return;
        }
        setenv("HOME", home, 1);
        setenv("XDG_CONFIG_HOME", home, 1);
        {
            Application application({"-ns", "-w", "320", "-h", "240"});
            Sounds* sounds = Sounds::getInstance();
            std::vector<float> block(2 * FRAMES);
            long mixed = 0;
            double totalSeconds = 0.0;
            for (auto _ : state) {
                // Untimed: start voices in every slot that has fallen silent.
                for (int i = 0; i < Sounds::NUM_VOICES; ++i)
                    sounds->playSound(Sounds::GarrisonSound);
                const auto begin = std::chrono::steady_clock::now();
                application.getAudio(nullptr, block.data(), FRAMES);
                benchmark::DoNotOptimize(block.data());
                const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - begin;
                state.SetIterationTime(elapsed.count());
                totalSeconds += elapsed.count();
                // At each buffer change give the streaming thread the time real playback would.
                if ((mixed + FRAMES) / BackgroundMusic::BUFFER_FRAMES != mixed / BackgroundMusic::BUFFER_FRAMES)
                    SDL_Delay(100);
                mixed += FRAMES;
            }
            state.counters["percent_of_block"] = benchmark::Counter(
                100.0 * totalSeconds / BLOCK_SECONDS, benchmark::Counter::kAvgIterations);
        }
        std::filesystem::remove_all(home);
    }
}

BENCHMARK(BM_ApplicationGetAudio)->UseManualTime()->Iterations(1100)->Unit(benchmark::kMicrosecond);
