// SPDX-License-Identifier: MIT
#include "game/CounterNotification.h"
#include "game/GameCounter.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>
#include <vector>

namespace {

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

TEST(GameCounter, ScoreLeavesOutFighterAndTimeAndResetOrRecreatingKeepsRegistrations)
{
    GameCounter counters;
    EXPECT_EQ(std::make_pair(counters.getScore(), counters.getCount("Gold")), std::make_pair(0, 0));
    Listener fives;
    counters.registerNotification("Gold", 5, &fives);
    for (const auto& [name, count] :
         {std::pair("Fighter", 5), {"Time", 7}, {"Gold", 3}, {"fighter", 20}, {"Times", 100}})
        counters.incrementCount(name, count);
    EXPECT_EQ(counters.getScore(), 123);
    counters.createCounter("Gold");
    EXPECT_EQ(counters.getCount("Gold"), 3);
    counters.reset();
    EXPECT_EQ(std::make_pair(counters.getScore(), counters.getCount("Time")), std::make_pair(0, 0));
    for (int step : {5, 2, 3})  // 5, 7, 10
        counters.incrementCount("Gold", step);
    EXPECT_EQ(fives.heard, (std::vector<int>{5, 10}));
}

TEST(GameCounter, UnregisterRemovesOnlyTheFirstMatchingPairAndOddDivisorsNeitherTrapNorOverflow)
{
    // Removing divisor and receiver separately would leave (2, threes), (3, twos), (3, twos).
    GameCounter counters;
    Listener twos, threes, leaver, zero, minusOne;
    for (const auto& [divisor, receiver] : {std::pair(2, &twos), {3, &threes}, {3, &twos}, {3, &twos}})
        counters.registerNotification("Gold", divisor, receiver);
    counters.unregisterNotification("Gold", 3, &twos);
    counters.unregisterNotification("Gold", 2, &threes);
    // A receiver may leave while being told.
    leaver.leaveFrom = &counters;
    counters.registerNotification("Silver", 1, &leaver);
    // 0 divides nothing; -1 divides the smallest int, which the count wraps to.
    counters.registerNotification("Iron", 0, &zero);
    counters.registerNotification("Iron", -1, &minusOne);
    const std::pair<const char*, int> steps[] = {{"Gold", -6}, {"Gold", 3}, {"Silver", 1}, {"Silver", 1},
                                                 {"Iron", INT_MAX}, {"Iron", 1}};
    for (const auto& [name, step] : steps)
        counters.incrementCount(name, step);
    EXPECT_EQ(twos.heard, (std::vector<int>{-6, -6, -3}));
    EXPECT_EQ(threes.heard, (std::vector<int>{-6, -3}));
    EXPECT_EQ(leaver.heard, std::vector<int>{1});
    EXPECT_TRUE(zero.heard.empty());
    EXPECT_EQ(minusOne.heard, (std::vector<int>{INT_MAX, INT_MIN}));
    // -3 + 2 + INT_MIN wraps too.
    EXPECT_EQ(std::make_pair(counters.getCount("Iron"), counters.getScore()), std::make_pair(INT_MIN, INT_MAX));
}

} // namespace
