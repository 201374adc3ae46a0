#include <gtest/gtest.h>

#include "core/crt_random.h"

namespace plr::test {
namespace {

// Values the C run-time's rand() gives after srand(seed).
TEST(CrtRandom, ReproducesTheRunTimeSequence) {
    CrtRandom r;
    r.seed(1);
    const int seed1[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (int v : seed1) EXPECT_EQ(r.next(), v);
    r.seed(0);
    EXPECT_EQ(r.next(), 38);
    EXPECT_EQ(r.next(), 7719);
    EXPECT_EQ(r.next(), 21238);
    CrtRandom unseeded;
    EXPECT_EQ(unseeded.next(), 41);
}

}  // namespace
}  // namespace plr::test
