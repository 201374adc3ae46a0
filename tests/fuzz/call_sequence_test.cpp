// Hostile call sequences in the normal suite: the fuzzer's sequence decoder
// fed from a fixed seed for a few thousand calls. The engine invariants are
// checked after every call (a broken one aborts with its rule); at the end
// the page is deleted and no engine block may be left alive.
#include <random>
#include <string>
#include <vector>

#include "engine_fixture.h"
#include "fuzz/call_sequence.h"
#include "fuzz/fuzz_page.h"

namespace plr::test {
namespace {

using CallSequences = EngineTest;

TEST_F(CallSequences, ThousandsOfRandomCallsKeepTheEngineWholeAndLeakNothing) {
    std::mt19937 random(20261208);
    std::vector<int> counts;
    int calls = 0;
    for (int sequence = 0; sequence < 80; ++sequence) {
        std::vector<std::uint8_t> bytes(2048);
        for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
        fuzz::ByteSource in(bytes.data(), bytes.size());
        calls += fuzz::runCallSequence(in, 64, nullptr, &counts);
        fuzz::finishPage();
        ASSERT_EQ(mem::stats().liveBlocks, 0) << "sequence " << sequence;
    }
    EXPECT_EQ(calls, 80 * 64);
    // Every export that takes part was reached.
    std::string missed;
    for (int i = 0; i < fuzz::sequenceExportCount(); ++i)
        if (i >= static_cast<int>(counts.size()) || counts[static_cast<std::size_t>(i)] == 0)
            missed += std::string(fuzz::sequenceExportName(i)) + " ";
    EXPECT_EQ(missed, "");
    EXPECT_GT(fuzz::sequenceExportCount(), 200);
}

}  // namespace
}  // namespace plr::test
