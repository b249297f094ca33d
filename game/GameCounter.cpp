// SPDX-License-Identifier: MIT
#include "game/GameCounter.h"

#include "game/CounterNotification.h"

#include <cstdint>

GameCounter* GameCounter::getInstance()
{
    static GameCounter instance;
    return &instance;
}

void GameCounter::createCounter(const std::string& name)
{
    findOrCreate(name);
}

void GameCounter::incrementCount(const std::string& name, int amount)
{
    Counter& counter = findOrCreate(name);
    counter.count = wrappingSum(counter.count, amount);
    // A receiver may register or unregister while being told, so the size is read on every step.
    for (std::size_t i = 0; i < counter.values.size(); ++i) {
        if (divides(counter.values[i], counter.count))
            counter.notifications[i]->notify(name, counter.count);
    }
}

void GameCounter::registerNotification(const std::string& name, int divisor, CounterNotification* receiver)
{
    // Nothing is a multiple of 0, and testing for it would divide by zero.
    if (divisor == 0)
        return;
    Counter& counter = findOrCreate(name);
    counter.values.push_back(divisor);
    counter.notifications.push_back(receiver);
}

void GameCounter::unregisterNotification(const std::string& name, int divisor, CounterNotification* receiver)
{
    const auto found = counters.find(name);
    if (found == counters.end())
        return;
    Counter& counter = *found->second;
    // Divisor and receiver are removed as one pair so that the two lists stay parallel.
    for (std::size_t i = 0; i < counter.values.size(); ++i) {
        if (counter.values[i] == divisor && counter.notifications[i] == receiver) {
            counter.values.erase(counter.values.begin() + i);
            counter.notifications.erase(counter.notifications.begin() + i);
            return;
        }
    }
}

int GameCounter::getCount(const std::string& name) const
{
    const auto found = counters.find(name);
    return found == counters.end() ? 0 : found->second->count;
}

void GameCounter::reset()
{
    for (auto& entry : counters)
        entry.second->count = 0;
}

int GameCounter::getScore() const
{
    int score = 0;
    for (const auto& entry : counters) {
        if (entry.first != "Fighter" && entry.first != "Time")
            score = wrappingSum(score, entry.second->count);
    }
    return score;
}

GameCounter::Counter& GameCounter::findOrCreate(const std::string& name)
{
    std::unique_ptr<Counter>& counter = counters[name];
    if (!counter)
        counter = std::make_unique<Counter>();
    return *counter;
}

bool GameCounter::divides(int divisor, int count)
{
    // -1 divides everything; asking the hardware would trap on the smallest int.
    return divisor == -1 || count % divisor == 0;
}

int GameCounter::wrappingSum(int a, int b)
{
    // Counts wrap around like the machine's integers instead of overflowing, which C++ leaves undefined.
    return static_cast<int>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
