#pragma once
// Helpers for the brush and imaging tests: a scratch directory, tiny image
// files written through the codec libraries, and the run-time generator
// written out independently of the engine's.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>
#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace plr::test {

// srand/rand of the C run-time, from its definition.
struct RefRand {
    std::uint32_t s;
    int next() {
        s = s * 214013u + 2531011u;
        return static_cast<int>((s >> 16) & 0x7FFF);
    }
};

inline std::filesystem::path scratchDir() {
    // The process id keeps suites run side by side (other build trees, ctest -j) apart.
#ifdef _WIN32
    const long process = static_cast<long>(::_getpid());
#else
    const long process = static_cast<long>(::getpid());
#endif
    const auto dir = std::filesystem::temp_directory_path() /
                     ("paloran_brush_" + std::to_string(process) + "_" +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir);
    return dir;
}

inline void writeBytes(const std::filesystem::path& p, const std::vector<std::uint8_t>& bytes) {
    std::FILE* f = std::fopen(p.string().c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

inline void writeText(const std::filesystem::path& p, const std::string& text) {
    writeBytes(p, std::vector<std::uint8_t>(text.begin(), text.end()));
}

inline std::vector<std::uint8_t> readBytes(const std::filesystem::path& p) {
    std::vector<std::uint8_t> out;
    std::FILE* f = std::fopen(p.string().c_str(), "rb");
    if (!f) return out;
    int c;
    while ((c = std::fgetc(f)) != EOF) out.push_back(static_cast<std::uint8_t>(c));
    std::fclose(f);
    return out;
}

inline void writePng(const std::filesystem::path& p, int w, int h, const std::vector<std::uint8_t>& rgba) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(w);
    image.height = static_cast<png_uint_32>(h);
    image.format = PNG_FORMAT_RGBA;
    ASSERT_TRUE(png_image_write_to_file(&image, p.string().c_str(), 0, rgba.data(), w * 4, nullptr));
}

// A grey picture with value v(x, y) in red, green and blue, alpha 255.
template <class F>
std::vector<std::uint8_t> greyPicture(int w, int h, F v) {
    std::vector<std::uint8_t> px(static_cast<std::size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = &px[(static_cast<std::size_t>(y) * w + x) * 4];
            p[0] = p[1] = p[2] = static_cast<std::uint8_t>(v(x, y));
            p[3] = 255;
        }
    return px;
}

}  // namespace plr::test
