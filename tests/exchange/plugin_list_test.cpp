// The plug-in list: newest first across scans, the display text, the
// callback's failure, and what a folder scan finds here.
#include <string>

#include "core/alloc.h"
#include "engine_fixture.h"
#include "exchange/plugin_scan.h"

namespace plr::test {
namespace {

using PluginList = EngineTest;

void found(const char* path, const char* category, const char* name) {
    EXPECT_EQ(listFoundPlugin(&engine().plugins, path, category, name), 0);
}

std::string next() { return PLR_PhotoshopPluginNextName(); }

TEST_F(PluginList, DrainsNewestFirstAsCategoryNamePath) {
    found("P", "C", "T");
    EXPECT_EQ(next(), "C :: T :: P");
    EXPECT_EQ(next(), "");

    // Two scans without draining: the second scan's finds come first.
    found("a.8bf", "Blur", "A");
    found("b.8bf", "Blur", "B");
    found("c.8bf", "Sharpen", "C");
    EXPECT_EQ(next(), "Sharpen :: C :: c.8bf");
    EXPECT_EQ(next(), "Blur :: B :: b.8bf");
    EXPECT_EQ(next(), "Blur :: A :: a.8bf");
    EXPECT_EQ(next(), "");
    EXPECT_EQ(next(), "");

    // The text holds at most 1023 characters.
    const std::string longPath(2000, 'x');
    found(longPath.c_str(), "C", "T");
    EXPECT_EQ(next(), "C :: T :: " + longPath.substr(0, 1023 - 10));
}

TEST_F(PluginList, AnEntryThatCannotBeListedIsLeftOut) {
    found("a.8bf", "C", "A");
    PLR_SetLastError("");
    mem::injectFailure(1);
    found("b.8bf", "C", "B");
    mem::injectFailure(0);
    EXPECT_STREQ(PLR_GetLastError(), "PhotoshopPluginScan_cb Excpt");
    found("c.8bf", "C", "C");
    EXPECT_EQ(next(), "C :: C :: c.8bf");
    EXPECT_EQ(next(), "C :: A :: a.8bf");
    EXPECT_EQ(next(), "");
    found("left.8bf", "C", "L");  // listed at the end of the test: the reset frees it
}

#ifndef _WIN32
TEST_F(PluginList, ScanFindsNoModulesHere) {
    EXPECT_EQ(PLR_PhotoshopPluginScan(PALORAN_TEST_DATA), 0);
    EXPECT_EQ(next(), "");
}
#endif

}  // namespace
}  // namespace plr::test
