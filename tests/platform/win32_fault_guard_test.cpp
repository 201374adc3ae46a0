// The failure guard catches processor faults in the Windows build: the body
// ends at the fault, the guard reports "<Name> Excpt" and its failure value,
// and everything keeps working afterwards.
#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <climits>
#include <thread>

#include "core/failure.h"
#include "core/guard.h"
#include "engine_fixture.h"

namespace plr::test {
namespace {

using Win32FaultGuard = EngineTest;

// Volatile so that the compiler cannot see the faults coming.
volatile std::uintptr_t gBadAddress = 16;
volatile int gZero = 0;
volatile int gMinusOne = -1;
volatile int gIntMin = INT_MIN;

int readBadAddress() { return *reinterpret_cast<volatile int*>(gBadAddress); }
void writeBadAddress() { *reinterpret_cast<volatile int*>(gBadAddress) = 1; }

TEST_F(Win32FaultGuard, AccessViolationEndsTheBodyWithItsFailure) {
    int before = 0, after = 0;
    const int r = guarded("ReadProbe", -7, [&] {
        before = 1;
        const int v = readBadAddress();
        after = 1;
        return v;
    });
    EXPECT_EQ(r, -7);
    EXPECT_STREQ(PLR_GetLastError(), "ReadProbe Excpt");
    EXPECT_EQ(before, 1);  // work before the fault stays done
    EXPECT_EQ(after, 0);   // the rest is skipped

    EXPECT_FALSE(guardedVoid("WriteProbe", [] { writeBadAddress(); }));
    EXPECT_STREQ(PLR_GetLastError(), "WriteProbe Excpt");
}

TEST_F(Win32FaultGuard, IntegerDivideFaultsAreCaught) {
    EXPECT_EQ(guarded("DivideProbe", -1, [] { return 100 / gZero; }), -1);
    EXPECT_STREQ(PLR_GetLastError(), "DivideProbe Excpt");
    PLR_SetLastError("");
    EXPECT_EQ(guarded("OverflowProbe", -2, [] { return gIntMin / gMinusOne; }), -2);
    EXPECT_STREQ(PLR_GetLastError(), "OverflowProbe Excpt");
}

TEST_F(Win32FaultGuard, TrapInstructionIsCaught) {
    EXPECT_FALSE(guardedVoid("TrapProbe", [] { __builtin_trap(); }));
    EXPECT_STREQ(PLR_GetLastError(), "TrapProbe Excpt");
}

TEST_F(Win32FaultGuard, SuccessAndExceptionsAreUnchanged) {
    PLR_SetLastError("untouched");
    EXPECT_EQ(guarded("Fine", -1, [] { return 42; }), 42);
    EXPECT_STREQ(PLR_GetLastError(), "untouched");
    EXPECT_EQ(guarded("Raise", -1, []() -> int { fail("test"); }), -1);
    EXPECT_STREQ(PLR_GetLastError(), "Raise Excpt");
}

TEST_F(Win32FaultGuard, TheSystemLastErrorCodePassesThrough) {
    SetLastError(1234);
    EXPECT_EQ(guarded("Fine", -1, [] { return 1; }), 1);
    EXPECT_EQ(GetLastError(), 1234u);
    EXPECT_EQ(guarded("Fine", -1, [] {
                  SetLastError(ERROR_FILE_NOT_FOUND);
                  return 2;
              }),
              2);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(Win32FaultGuard, InnerGuardCatchesAndTheOuterGoesOn) {
    int steps = 0;
    const int r = guarded("Outer", -1, [&] {
        ++steps;
        const int inner = guarded("Inner", -5, [] { return readBadAddress(); });
        ++steps;
        return inner * 10;
    });
    EXPECT_EQ(r, -50);
    EXPECT_EQ(steps, 2);
    EXPECT_STREQ(PLR_GetLastError(), "Inner Excpt");

    // A fault in the outer body after an inner guard finished belongs to the outer one.
    EXPECT_EQ(guarded("Outer", -1, [] { return guarded("Inner", -5, [] { return 3; }) + readBadAddress(); }), -1);
    EXPECT_STREQ(PLR_GetLastError(), "Outer Excpt");
}

[[gnu::noinline]] std::uintptr_t stackDepth() {
    volatile char marker = 0;
    return reinterpret_cast<std::uintptr_t>(&marker);
}

TEST_F(Win32FaultGuard, ManyFaultsInARowLeaveTheThreadSound) {
    const std::uintptr_t depth = stackDepth();
    for (int i = 0; i < 500; ++i) {
        ASSERT_EQ(guarded("Loop", -1, [i] { return i % 2 ? readBadAddress() : 7 / gZero; }), -1);
    }
    EXPECT_EQ(stackDepth(), depth);  // no stack left behind
    // Exceptions and ordinary calls still work afterwards.
    EXPECT_EQ(guarded("Raise", -1, []() -> int { fail("test"); }), -1);
    EXPECT_EQ(guarded("Fine", -1, [] { return 5; }), 5);
    try {
        fail("plain");
        ADD_FAILURE() << "not raised";
    } catch (const EngineFailure& f) {
        EXPECT_STREQ(f.what, "plain");
    }
}

TEST_F(Win32FaultGuard, EachThreadHasItsOwnGuards) {
    int other = 0;
    std::thread t([&] { other = guarded("Thread", -3, [] { return readBadAddress(); }); });
    t.join();
    EXPECT_EQ(other, -3);
    EXPECT_EQ(guarded("Main", -4, [] { return 100 / gZero; }), -4);
}

}  // namespace
}  // namespace plr::test
#endif  // _WIN32
