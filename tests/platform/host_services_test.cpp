#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "engine_fixture.h"
#include "platform/platform.h"

namespace plr::test {
namespace {

using HostServices = EngineTest;

TEST_F(HostServices, LastErrorKeepsAtMost511CharactersAtOneAddress) {
    const char* address = PLR_GetLastError();
    EXPECT_STREQ(address, "");
    const std::string longText(600, 'x');
    PLR_SetLastError(longText.c_str());
    EXPECT_EQ(std::strlen(PLR_GetLastError()), 511u);
    EXPECT_EQ(PLR_GetLastError(), address);
    PLR_SetLastError("short");
    EXPECT_STREQ(PLR_GetLastError(), "short");
    PLR_SetLastError(nullptr);
    EXPECT_STREQ(PLR_GetLastError(), "");
}

TEST_F(HostServices, StartDirTakesPathsShorterThan1024) {
    const std::string ok(1023, 'a');
    PLR_SetStartDir(ok.c_str());
    EXPECT_EQ(std::string(engine().startDir), ok);
    const std::string tooLong(1024, 'b');
    PLR_SetStartDir(tooLong.c_str());
    EXPECT_EQ(std::string(engine().startDir), ok);
    PLR_SetStartDir(nullptr);
    EXPECT_EQ(std::string(engine().startDir), ok);
}

TEST_F(HostServices, MemcpyHandlesNullAndOverlap) {
    char buf[16] = "abcdefghij";
    PLR_Memcpy(buf, nullptr, 5);
    EXPECT_STREQ(buf, "abcdefghij");
    PLR_Memcpy(nullptr, buf, 5);
    PLR_Memcpy(buf + 2, buf, 6);
    EXPECT_STREQ(buf, "ababcdefij");
    PLR_Memcpy(buf, buf + 2, 6);
    EXPECT_STREQ(buf, "abcdefefij");
}

TEST_F(HostServices, AllocFreeAndBankAdrs) {
    void* block = PLR_Alloc(100);
    ASSERT_NE(block, nullptr);
    std::memset(block, 0xAB, 100);
    EXPECT_EQ(BankAdrs(block), block);
    PLR_Free(block);
    PLR_Free(nullptr);
    mem::injectFailure(1);
    EXPECT_EQ(PLR_Alloc(8), nullptr);
}

TEST_F(HostServices, DisplayChangeIsReportedOnce) {
    EXPECT_EQ(PLR_IsDisplayChanged(), 0);
    platform::sendToHiddenWindow(engine().host, platform::kWmDisplayChange, 0);
    EXPECT_EQ(PLR_IsDisplayChanged(), 1);
    EXPECT_EQ(PLR_IsDisplayChanged(), 0);
    // Activation and resume count; deactivation, suspend and other messages do not.
    platform::sendToHiddenWindow(engine().host, platform::kWmActivateApp, 0);
    platform::sendToHiddenWindow(engine().host, platform::kWmPowerBroadcast, 4);
    platform::sendToHiddenWindow(engine().host, 0x000F, 0);
    EXPECT_EQ(PLR_IsDisplayChanged(), 0);
    platform::sendToHiddenWindow(engine().host, platform::kWmActivateApp, 1);
    EXPECT_EQ(PLR_IsDisplayChanged(), 1);
    platform::sendToHiddenWindow(engine().host, platform::kWmPowerBroadcast, 7);
    EXPECT_EQ(PLR_IsDisplayChanged(), 1);
    platform::sendToHiddenWindow(engine().host, platform::kWmSettingChange, 0);
    platform::sendToHiddenWindow(engine().host, platform::kWmUserChanged, 0);
    EXPECT_EQ(PLR_IsDisplayChanged(), 1);
}

TEST_F(HostServices, SystemQueriesAnswerSensibly) {
    EXPECT_NE(engine().host.hiddenWindow, nullptr);
    EXPECT_GT(PLR_GetTotalPhyMemory(), 0u);
    EXPECT_LE(PLR_GetAvailPhyMemory(), PLR_GetTotalPhyMemory());
    EXPECT_GE(PLR_GetTotalPgMemory(), PLR_GetTotalPhyMemory());
    EXPECT_LE(PLR_GetAvailVirMemory(), PLR_GetTotalVirMemory());
    EXPECT_GT(PLR_GetWindowCaptionSize(), 0);
    EXPECT_GT(PLR_GetWindowSmallCaptionSize(), 0);
    EXPECT_GT(PLR_GetWindowFixedFrameSize(), 0);
    EXPECT_NE(PLR_GetWindowBackgroundColor(), PLR_GetWindowTextColor());
    const char* dir = PLR_GetDirInfo();
    ASSERT_NE(dir, nullptr);
    EXPECT_GT(std::strlen(dir), 0u);
    EXPECT_LE(std::strlen(dir), 260u);
#ifndef _WIN32
    EXPECT_EQ(PLR_IsCompositionEnabled(), 0);  // no compositor to ask; Windows: win32_platform_test
#endif
    // Without an owner window there is no placement to read.
    EXPECT_EQ(PLR_SetWindowBasePos(0, 0, 10, 10), 0);
}

TEST_F(HostServices, RenameFileReportsSuccessAndFailure) {
    namespace fs = std::filesystem;
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const fs::path dir = fs::temp_directory_path() / ("plr_rename_" + std::to_string(stamp));
    fs::create_directories(dir);
    const std::string a = (dir / "a.txt").string(), b = (dir / "b.txt").string();
    std::FILE* f = std::fopen(a.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    EXPECT_EQ(PLR_RenameFile(a.c_str(), b.c_str()), 1);
    EXPECT_TRUE(fs::exists(b));
    EXPECT_EQ(PLR_RenameFile(a.c_str(), b.c_str()), 0);  // source gone
    EXPECT_EQ(PLR_RenameFile(nullptr, b.c_str()), 0);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace plr::test
