#pragma once
// A parameterised engine test whose body runs once with the processor's fast
// paths (true) and once with the baseline loops (false); instantiate with
// ::testing::Bool().
#include <gtest/gtest.h>

#include "engine/cpu_kernels.h"
#include "engine/threading.h"
#include "engine_fixture.h"

namespace plr::test {

class FastAndBaselineTest : public EngineTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        allowFastPaths(GetParam());
    }
    void TearDown() override {
        allowFastPaths(true);
        setThreadCount(1);
        EngineTest::TearDown();
    }
};

}  // namespace plr::test
