#include "core/base/Signal.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

using namespace wend;

TEST(Signal, SlotsMayChangeTheListWhileANotificationRuns) {
    Signal<> signal;
    std::vector<std::string> calls;
    Signal<>::ConnectionId self = 0, victim = 0;
    // Slots run in connection order; a slot that disconnects itself keeps its captured state
    // alive until it returns.
    auto text = std::make_shared<std::string>("self");
    self = signal.connect([&, text] {
        signal.disconnect(self);
        signal.disconnect(victim);
        signal.connect([&] { calls.push_back("late"); });
        calls.push_back(*text);
    });
    text.reset();
    victim = signal.connect([&] { calls.push_back("victim"); });

    signal.notify();
    EXPECT_EQ(calls, (std::vector<std::string>{"self"}));
    calls.clear();
    signal.notify();
    EXPECT_EQ(calls, (std::vector<std::string>{"late"}));
    EXPECT_FALSE(signal.disconnect(self));
}

TEST(Signal, NotifiesRecursivelyAndSurvivesItsOwnDestruction) {
    Signal<int> recursive;
    std::vector<int> depths;
    recursive.connect([&](int depth) {
        depths.push_back(depth);
        if (depth < 3)
            recursive.notify(depth + 1);
    });
    recursive.notify(1);
    EXPECT_EQ(depths, (std::vector<int>{1, 2, 3}));

    auto owned = std::make_unique<Signal<>>();
    int later = 0;
    owned->connect([&] { owned.reset(); });
    owned->connect([&] { ++later; });
    owned->notify();
    EXPECT_EQ(owned, nullptr);
    EXPECT_EQ(later, 0);
}
