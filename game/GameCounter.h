// SPDX-License-Identifier: MIT
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

class CounterNotification;

// A register of named integer counters that any screen may add to, watch for multiples of a value,
// reset and sum into a score. No screen counts anything today; the register is kept for those that
// will. The game uses the one process-wide instance from getInstance(); it owns
// its counters but not the receivers registered with them. Main thread only.
class GameCounter {
public:
    // One named counter and the registrations watching it.
    struct Counter {
        // The counter's value.
        int count = 0;
        // The divisors of the registrations, in order of registration.
        std::vector<int> values;
        // The receivers, parallel to values: entry i of both is one registration. Not owned.
        std::vector<CounterNotification*> notifications;
    };

    // The process-wide register, created empty on first use.
    static GameCounter* getInstance();

    // An empty register of its own (tests, tools); the game shares getInstance().
    GameCounter() = default;
    GameCounter(const GameCounter&) = delete;
    GameCounter& operator=(const GameCounter&) = delete;

    // Adds a counter at 0 unless one of that name exists already.
    void createCounter(const std::string& name);
    // Adds amount (possibly negative) and tells every registration whose divisor divides the new count.
    void incrementCount(const std::string& name, int amount);
    // Asks for receiver to be told whenever the counter lands on a multiple of divisor; divisor 0 is ignored.
    void registerNotification(const std::string& name, int divisor, CounterNotification* receiver);
    // Removes the first registration with this divisor and this receiver, if there is one.
    void unregisterNotification(const std::string& name, int divisor, CounterNotification* receiver);
    // The count, or 0 for a name never used; creates nothing.
    int getCount(const std::string& name) const;
    // Sets every count to 0, keeping the counters and their registrations.
    void reset();
    // The sum of all counts except "Fighter" and "Time".
    int getScore() const;

private:
    Counter& findOrCreate(const std::string& name);
    static bool divides(int divisor, int count);
    static int wrappingSum(int a, int b);

    // Every counter by name; heap objects so a receiver that adds counters while being told leaves
    // the one being visited in place.
    std::map<std::string, std::unique_ptr<Counter>> counters;
};
