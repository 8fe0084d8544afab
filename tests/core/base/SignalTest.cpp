#include "core/base/Signal.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

using namespace wend;

TEST(Signal, CallsSlotsInConnectionOrderUntilDisconnected) {
    Signal<int, const std::string&> signal;
    std::vector<std::string> calls;
    const auto first = signal.connect(
        [&](int n, const std::string& s) { calls.push_back("1:" + std::to_string(n) + s); });
    const auto second = signal.connect(
        [&](int n, const std::string& s) { calls.push_back("2:" + std::to_string(n) + s); });
    EXPECT_NE(first, second);
    signal.notify(7, "x");
    EXPECT_EQ(calls, (std::vector<std::string>{"1:7x", "2:7x"}));

    EXPECT_TRUE(signal.disconnect(first));
    EXPECT_FALSE(signal.disconnect(first));
    calls.clear();
    signal.notify(8, "y");
    EXPECT_EQ(calls, (std::vector<std::string>{"2:8y"}));
    EXPECT_EQ(signal.slotCount(), 1u);
}

TEST(Signal, SlotsMayChangeTheListWhileANotificationRuns) {
    Signal<> signal;
    std::vector<std::string> calls;
    Signal<>::ConnectionId self = 0, victim = 0;
    // A slot that disconnects itself keeps its captured state alive until it returns.
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
