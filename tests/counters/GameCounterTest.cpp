// SPDX-License-Identifier: MIT
#include "game/CounterNotification.h"
#include "game/GameCounter.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <tuple>
#include <vector>

// Remembers the counts it is told; a leaver unregisters itself on the first one.
struct Listener : CounterNotification {
    void notify(const std::string& name, int count) override
    {
        heard.push_back(count);
        if (leaveFrom != nullptr)
            leaveFrom->unregisterNotification(name, 1, this);
    }
    std::vector<int> heard;
    GameCounter* leaveFrom = nullptr;
};

// The receivers registered are told every count their divisor divides.
TEST(GameCounter, ScoresResetsAndTellsTheReceiversWhoseDivisorDividesTheCount)
{
    GameCounter counters;
    Listener twos, threes, leaver, minusOne;
    // Removing divisor and receiver separately would leave (2, threes), (3, twos), (3, twos). A receiver may
    // leave while being told; 0 divides nothing; -1 divides the smallest int, which the count wraps to.
    leaver.leaveFrom = &counters;
    for (const auto& [name, divisor, receiver] :
         {std::tuple("Gold", 2, &twos), {"Gold", 3, &threes}, {"Gold", 3, &twos}, {"Gold", 3, &twos},
          {"Silver", 1, &leaver}, {"Iron", 0, &twos}, {"Iron", -1, &minusOne}})
        counters.registerNotification(name, divisor, receiver);
    counters.unregisterNotification("Gold", 3, &twos);
    counters.unregisterNotification("Gold", 2, &threes);
    for (const auto& [name, step] : {std::tuple("Fighter", 5), {"Time", 7}, {"Times", -100}, {"Gold", -6}, {"Gold", 3},
                                     {"Silver", 1}, {"Silver", 1}, {"Iron", INT_MAX}, {"Iron", 1}})
        counters.incrementCount(name, step);
    // The score leaves out Fighter and Time, by their exact names, and wraps; an unknown counter counts 0.
    // Creating a counter that exists keeps its count and its receivers, and so does a reset the receivers.
    counters.createCounter("Gold");
    EXPECT_EQ(std::make_tuple(counters.getScore(), counters.getCount("Gold"), counters.getCount("Lead")),
              std::make_tuple(INT_MAX - 100, -3, 0));
    counters.reset();
    counters.incrementCount("Gold", 6);
    EXPECT_EQ((std::vector<std::vector<int>>{twos.heard, threes.heard, leaver.heard, minusOne.heard}),
              (std::vector<std::vector<int>>{{-6, -6, -3, 6, 6}, {-6, -3, 6}, {1}, {INT_MAX, INT_MIN}}));
}
