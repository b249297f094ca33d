#include "CounterNotification.h"
#include "GameCounter.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>
#include <vector>

namespace {

// Remembers every notification it hears, in order.
class Listener : public CounterNotification {
public:
    void notify(const std::string& name, int count) override { heard.emplace_back(name, count); }

    std::vector<std::pair<std::string, int>> heard;
};

using Heard = std::vector<std::pair<std::string, int>>;

TEST(GameCounterScore, SkipsFighterAndTime)
{
    GameCounter counters;
    EXPECT_EQ(counters.getScore(), 0);
    counters.incrementCount("Fighter", 5);
    counters.incrementCount("Time", 7);
    counters.incrementCount("Gold", 3);
    EXPECT_EQ(counters.getScore(), 3);
    counters.incrementCount("fighter", 4);
    EXPECT_EQ(counters.getScore(), 7);
}

TEST(GameCounterScore, ResetZeroesEveryCountButKeepsRegistrations)
{
    GameCounter counters;
    Listener listener;
    counters.registerNotification("Gold", 4, &listener);
    counters.incrementCount("Gold", 3);
    counters.incrementCount("Silver", 9);
    counters.reset();
    EXPECT_EQ(counters.getScore(), 0);
    EXPECT_EQ(counters.getCount("Silver"), 0);
    counters.incrementCount("Gold", 4);
    EXPECT_EQ(listener.heard, (Heard{{"Gold", 4}}));
}

TEST(GameCounterCounts, CreateLeavesAnExistingCounterAlone)
{
    GameCounter counters;
    EXPECT_EQ(counters.getCount("Gold"), 0);
    counters.incrementCount("Gold", 6);
    counters.createCounter("Gold");
    EXPECT_EQ(counters.getCount("Gold"), 6);
    counters.incrementCount("Gold", -10);
    EXPECT_EQ(counters.getCount("Gold"), -4);
}

TEST(GameCounterNotifications, FireOnlyWhenTheNewCountIsAMultiple)
{
    GameCounter counters;
    Listener fives;
    counters.registerNotification("Gold", 5, &fives);
    counters.incrementCount("Gold", 5);
    counters.incrementCount("Gold", 5);
    EXPECT_EQ(fives.heard, (Heard{{"Gold", 5}, {"Gold", 10}}));

    fives.heard.clear();
    counters.incrementCount("Gold", -6);
    counters.incrementCount("Gold", 2);
    counters.incrementCount("Gold", 2);
    EXPECT_TRUE(fives.heard.empty());
}

TEST(GameCounterNotifications, NegativeMultiplesAndZeroCount)
{
    GameCounter counters;
    Listener threes;
    Listener sevens;
    counters.registerNotification("Gold", 3, &threes);
    counters.registerNotification("Gold", 7, &sevens);
    counters.incrementCount("Gold", -6);
    counters.incrementCount("Gold", 6);
    EXPECT_EQ(threes.heard, (Heard{{"Gold", -6}, {"Gold", 0}}));
    EXPECT_EQ(sevens.heard, (Heard{{"Gold", 0}}));
}

TEST(GameCounterNotifications, RegistrationsAreToldInOrder)
{
    GameCounter counters;
    Heard order;
    struct Named : CounterNotification {
        Named(Heard& order, int id) : order(order), id(id) {}
        void notify(const std::string& name, int) override { order.emplace_back(name, id); }
        Heard& order;
        int id;
    } first(order, 1), second(order, 2);
    counters.registerNotification("Gold", 2, &second);
    counters.registerNotification("Gold", 1, &first);
    counters.registerNotification("Gold", 2, &second);
    counters.incrementCount("Gold", 2);
    EXPECT_EQ(order, (Heard{{"Gold", 2}, {"Gold", 1}, {"Gold", 2}}));
}

TEST(GameCounterUnregister, RemovesTheFirstMatchingPair)
{
    GameCounter counters;
    Listener listener;
    counters.registerNotification("Gold", 2, &listener);
    counters.registerNotification("Gold", 3, &listener);
    counters.unregisterNotification("Gold", 3, &listener);
    counters.incrementCount("Gold", 3);
    EXPECT_TRUE(listener.heard.empty());
    counters.incrementCount("Gold", 1);
    EXPECT_EQ(listener.heard, (Heard{{"Gold", 4}}));
}

TEST(GameCounterUnregister, AMismatchedPairLeavesBothListsAlone)
{
    // Removing the divisor and the receiver separately would leave (2, threes) and lose the sixes.
    GameCounter counters;
    Listener twos;
    Listener threes;
    counters.registerNotification("Gold", 2, &twos);
    counters.registerNotification("Gold", 3, &threes);
    counters.unregisterNotification("Gold", 3, &twos);
    counters.unregisterNotification("Silver", 2, &twos);
    counters.incrementCount("Gold", 2);
    counters.incrementCount("Gold", 1);
    EXPECT_EQ(twos.heard, (Heard{{"Gold", 2}}));
    EXPECT_EQ(threes.heard, (Heard{{"Gold", 3}}));
}

TEST(GameCounterUnregister, AReceiverMayLeaveWhileBeingTold)
{
    GameCounter counters;
    struct Leaver : CounterNotification {
        explicit Leaver(GameCounter& counters) : counters(counters) {}
        void notify(const std::string& name, int) override
        {
            ++told;
            counters.unregisterNotification(name, 1, this);
        }
        GameCounter& counters;
        int told = 0;
    } leaver(counters);
    counters.registerNotification("Gold", 1, &leaver);
    counters.incrementCount("Gold", 1);
    counters.incrementCount("Gold", 1);
    EXPECT_EQ(leaver.told, 1);
}

TEST(GameCounterDivisors, ZeroIsIgnoredAndMinusOneDividesEverything)
{
    GameCounter counters;
    Listener zero;
    Listener minusOne;
    counters.registerNotification("Gold", 0, &zero);
    counters.registerNotification("Gold", -1, &minusOne);
    counters.incrementCount("Gold", INT_MIN);
    counters.incrementCount("Gold", 0);
    EXPECT_TRUE(zero.heard.empty());
    EXPECT_EQ(minusOne.heard, (Heard{{"Gold", INT_MIN}, {"Gold", INT_MIN}}));
}

TEST(GameCounterDivisors, CountsWrapInsteadOfOverflowing)
{
    GameCounter counters;
    counters.incrementCount("Gold", INT_MAX);
    counters.incrementCount("Gold", 1);
    EXPECT_EQ(counters.getCount("Gold"), INT_MIN);
    counters.incrementCount("Silver", -1);
    EXPECT_EQ(counters.getScore(), INT_MAX);
}

} // namespace
