#pragma once
// Shared test scaffolding: every engine test starts from the state right
// after load and ends with no engine block left alive (a leak check for
// every test).
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

#include "core/alloc.h"
#include "engine/engine.h"
#include "paloran.h"

namespace plr::test {

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        mem::injectFailure(0);
        resetEngine();
        // A script's message goes nowhere unless a test catches it: the
        // system's box would wait for a user who is not there.
        engine().messageSink = [](const char*, const char*) {};
        ASSERT_EQ(mem::stats().liveBlocks, 0) << "blocks alive before the test";
    }
    void TearDown() override {
        mem::injectFailure(0);
        resetEngine();
        EXPECT_EQ(mem::stats().liveBlocks, 0) << "the test leaked engine blocks";
    }
};

// Runs `operation` once with the 1st, 2nd, ... allocation failing, until a
// run completes without reaching the injected failure. `check` runs after
// each failing run with the failure's ordinal. Returns how many allocations
// the operation made.
inline int forEachAllocationFailure(const std::function<void()>& prepare,
                                    const std::function<void()>& operation,
                                    const std::function<void(int)>& check) {
    for (int n = 1; n < 10000; ++n) {
        prepare();
        mem::injectFailure(static_cast<std::uint64_t>(n));
        operation();
        const bool reached = !mem::failurePending();
        mem::injectFailure(0);
        if (!reached) return n - 1;
        check(n);
    }
    ADD_FAILURE() << "operation never stopped allocating";
    return -1;
}

}  // namespace plr::test
