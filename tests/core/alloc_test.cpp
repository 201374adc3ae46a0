// The engine's heap keeps the last large blocks released and serves the next
// request of about their size from them; kept blocks are no live memory, an
// injected failure still fails, and they go back to the system on request.
#include <cstring>

#include "core/alloc.h"
#include "engine_fixture.h"

namespace plr::test {
namespace {

using KeptBlocks = EngineTest;
constexpr std::size_t kLarge = mem::kRetainFromBytes * 2;

TEST_F(KeptBlocks, ALargeBlockServesTheNextRequestOfAboutItsSizeOnly) {
    mem::releaseRetained();
    void* a = mem::allocate(kLarge);
    ASSERT_NE(a, nullptr);
    std::memset(a, 7, kLarge);
    const auto live = mem::stats();
    mem::release(a);
    EXPECT_EQ(mem::stats().liveBytes, live.liveBytes - std::int64_t(kLarge));
    EXPECT_EQ(mem::retainedBytes(), kLarge);

    void* tooSmall = mem::allocate(kLarge / 2);  // would waste half the block
    void* larger = mem::allocate(kLarge + 64);
    void* same = mem::allocate(kLarge - kLarge / 8);  // a crop's slightly smaller plane
    EXPECT_EQ(same, a);
    EXPECT_NE(tooSmall, a);
    EXPECT_NE(larger, a);
    EXPECT_EQ(mem::retainedBytes(), 0u);
    mem::release(tooSmall);
    mem::release(larger);
    mem::release(same);
    // At most two are kept: the two released last.
    EXPECT_EQ(mem::retainedBytes(), kLarge + 64 + kLarge);
    EXPECT_EQ(mem::releaseRetained(), kLarge + 64 + kLarge);
    EXPECT_EQ(mem::retainedBytes(), 0u);
}

// Taking the older of two kept blocks and releasing a third keeps the two
// released last; the newer kept one is not the one dropped. A block to fill
// comes from the kept ones the same way.
TEST_F(KeptBlocks, TheOldestKeptBlockIsTheOneDroppedAfterATake) {
    mem::releaseRetained();
    void* older = mem::allocate(kLarge);
    void* newer = mem::allocate(kLarge * 2);
    void* third = mem::allocate(kLarge * 3);
    mem::release(older);
    mem::release(newer);
    EXPECT_EQ(mem::allocateToFill(kLarge), older);  // the older slot is now empty
    mem::release(third);                            // kept: newer, third
    mem::release(older);                            // kept: third, older (newer was oldest)
    EXPECT_EQ(mem::retainedBytes(), kLarge * 3 + kLarge);
    void* again = mem::allocate(kLarge * 3);
    EXPECT_EQ(again, third);
    mem::release(again);
    mem::releaseRetained();
}

TEST_F(KeptBlocks, SmallBlocksAreNotKeptAndInjectedFailuresStillFail) {
    mem::releaseRetained();
    mem::release(mem::allocate(mem::kRetainFromBytes - 1));
    EXPECT_EQ(mem::retainedBytes(), 0u);
    mem::release(mem::allocate(kLarge));
    ASSERT_EQ(mem::retainedBytes(), kLarge);
    mem::injectFailure(1);
    EXPECT_EQ(mem::allocate(kLarge), nullptr);
    EXPECT_EQ(mem::retainedBytes(), kLarge);
    void* again = mem::allocate(kLarge);
    EXPECT_NE(again, nullptr);
    mem::release(again);
}

TEST_F(KeptBlocks, DeletingThePageAndResettingGiveThemBack) {
    PLR_CreateImage(nullptr, 2048, 2048, 8, 0);
    ASSERT_EQ(PLR_CreateLayer(1, 2048, 2048), 1);
    ASSERT_EQ(PLR_CreateLayer(2, 2048, 2048), 1);
    PLR_DeleteLayer(2);  // its plane is kept...
    EXPECT_GT(mem::retainedBytes(), 0u);
    PLR_DeleteImage();
    EXPECT_EQ(mem::retainedBytes(), 0u);  // ...until the page goes
    mem::release(mem::allocate(kLarge));
    resetEngine();
    EXPECT_EQ(mem::retainedBytes(), 0u);
}

}  // namespace
}  // namespace plr::test
