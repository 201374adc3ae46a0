// Acquisition through SANE's own "test" backend, enabled for this test
// program alone by a private configuration folder: the exports find its
// devices, select one by name and scan its colour pattern into the
// transfer image.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#ifndef _WIN32
#include <dlfcn.h>
#endif
#include <unistd.h>

#include "engine/devices.h"
#include "engine_fixture.h"

namespace plr::test {
namespace {

#ifndef _WIN32
constexpr const char* kBackendFolders[] = {"/usr/lib/x86_64-linux-gnu/sane", "/usr/lib/aarch64-linux-gnu/sane",
                                           "/usr/lib/sane"};

// Written before any test runs: SANE reads its configuration folder once a
// process, at its first initialisation.
struct SaneTestConfig {
    std::filesystem::path dir;
    SaneTestConfig() {
        dir = std::filesystem::temp_directory_path() / ("paloran_sane_" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        std::ofstream(dir / "dll.conf") << "test\n";
        // 25 dots per inch over 40 x 30 mm.
        std::ofstream(dir / "test.conf") << "number_of_devices 2\nmode Color\ndepth 8\nthree-pass false\n"
                                            "resolution 25.0\ntest-picture \"Color pattern\"\n"
                                            "tl_x 0.0\ntl_y 0.0\nbr_x 40.0\nbr_y 30.0\n";
        setenv("SANE_CONFIG_DIR", dir.string().c_str(), 1);
        // Held open so that SANE's unloading of its backend at every exit
        // leaves it mapped: the leak checker can then name the backend's
        // own blocks (suppressed in sanitizer_suppressions.cpp).
        for (const char* d : kBackendFolders)
            if (!backend) backend = dlopen((std::string(d) + "/libsane-test.so.1").c_str(), RTLD_NOW | RTLD_LOCAL);
    }
    void* backend = nullptr;
    ~SaneTestConfig() {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
} saneTestConfig;

bool saneInstalled() {
    return saneTestConfig.backend != nullptr;
}
#endif

using ScannerTest = EngineTest;

TEST_F(ScannerTest, SaneTestBackendScansItsColourPatternIntoTheTransferImage) {
#ifdef _WIN32
    GTEST_SKIP() << "TWAIN needs EZTW32.dll and a source: a real device";
#else
    if (!saneInstalled()) GTEST_SKIP() << "SANE's test backend is not installed";
    ASSERT_EQ(PLR_IsTwain(), 1);
    setenv("PALORAN_SCANNER", "test:1", 1);
    EXPECT_EQ(PLR_TwainSelectSource(), 1);
    unsetenv("PALORAN_SCANNER");
    EXPECT_EQ(devices().scannerSource, "test:1");
    ASSERT_EQ(PLR_TwainAcquire(), 1);
    const TransferImage& t = engine().transfer;
    ASSERT_TRUE(t.present());
    // 40 mm and 30 mm at 25 dots per inch.
    EXPECT_EQ(t.width, 39);
    EXPECT_EQ(t.height, 29);
    std::set<std::uint32_t> colours;
    for (std::size_t i = 0; i < t.rgba.size(); i += 4) {
        EXPECT_EQ(t.rgba[i + 3], 255);
        colours.insert(t.rgba[i] << 16 | t.rgba[i + 1] << 8 | t.rgba[i + 2]);
    }
    // The pattern's bars include the pure primaries.
    EXPECT_TRUE(colours.count(0xFF0000) && colours.count(0x00FF00) && colours.count(0x0000FF)) << colours.size();
#endif
}

}  // namespace
}  // namespace plr::test
