// `paloran fill` run as a process on a small PNG.
#ifndef _WIN32  // run as a process on the native build only
#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class FillCli : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("plr_fill_cli_" + std::to_string(::getpid()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    int run(const std::string& args) {
        const std::string cmd = std::string("\"") + PALORAN_CLI + "\" fill " + args + " >/dev/null 2>&1";
        const int raw = std::system(cmd.c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    static bool write(const fs::path& p, int w, int h, const std::vector<std::uint8_t>& rgba) {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        image.width = static_cast<png_uint_32>(w);
        image.height = static_cast<png_uint_32>(h);
        image.format = PNG_FORMAT_RGBA;
        return png_image_write_to_file(&image, p.string().c_str(), 0, rgba.data(), 0, nullptr) != 0;
    }
    static std::vector<std::uint8_t> read(const fs::path& p) {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        if (!png_image_begin_read_from_file(&image, p.string().c_str())) return {};
        image.format = PNG_FORMAT_RGBA;
        std::vector<std::uint8_t> rgba(PNG_IMAGE_SIZE(image));
        if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) return {};
        return rgba;
    }
    fs::path dir;
};

TEST_F(FillCli, FillsTheRegionAroundTheSeedUpToTheWall) {
    // 4 x 2: white, white, black wall, near white (10 away in red: 100 squared).
    std::vector<std::uint8_t> rgba;
    for (int y = 0; y < 2; ++y)
        for (std::uint8_t v : {250, 250, 0, 240}) rgba.insert(rgba.end(), {v, 250, 250, 255});
    for (int i : {8, 24}) rgba[i] = 0, rgba[i + 1] = 0, rgba[i + 2] = 0;
    const fs::path in = dir / "in.png", out = dir / "out.png";
    ASSERT_TRUE(write(in, 4, 2, rgba));
    ASSERT_EQ(run(in.string() + " " + out.string() + " --at 0,1 --color 10,20,30"), 0);
    std::vector<std::uint8_t> expected = rgba;
    for (int i : {0, 4, 16, 20}) expected[i] = 10, expected[i + 1] = 20, expected[i + 2] = 30;
    EXPECT_EQ(read(out), expected);
    // 1 % is 500, squared tolerance trunc(500 * 0.00002 * 195075) = 1950: the wall stops it, not the near white.
    ASSERT_EQ(run(in.string() + " " + out.string() + " --at 3,0 --color 10,20,30 --tolerance 1 --mode \"Paint Non-connected\""), 0);
    expected = rgba;
    for (int i : {0, 4, 12, 16, 20, 28}) expected[i] = 10, expected[i + 1] = 20, expected[i + 2] = 30;
    EXPECT_EQ(read(out), expected);
}

TEST_F(FillCli, WrongUsageIsRefused) {
    const fs::path in = dir / "in.png", out = dir / "out.png";
    ASSERT_TRUE(write(in, 2, 2, std::vector<std::uint8_t>(16, 255)));
    EXPECT_EQ(run(in.string() + " " + out.string() + " --at 2,0 --color 1,2,3"), 2) << "seed outside";
    EXPECT_EQ(run(in.string() + " " + out.string() + " --at 0,0"), 2) << "no colour";
    EXPECT_EQ(run(in.string() + " " + out.string() + " --at 0,0 --color 1,2,3 --mode \"paint connected\""), 2);
    EXPECT_EQ(run(in.string() + " " + out.string() + " --at 0,0 --color 1,2,300"), 2);
    EXPECT_FALSE(fs::exists(out));
    EXPECT_EQ(run((dir / "missing.png").string() + " " + out.string() + " --at 0,0 --color 1,2,3"), 1);
}

}  // namespace
#endif
