// The engine's own AVI files as an outside reader sees them: ffprobe reads
// the frame count, size and rate, ffmpeg decodes the frames back to the
// pixels written.
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "engine_fixture.h"
#include "engine/devices.h"
#include "exchange/avi_file.h"
#include "external_tools.h"

namespace plr::test {
namespace {

using AviFileTest = EngineTest;

std::vector<std::uint8_t> pattern(int width, int height, int seed) {
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<std::uint8_t>(i * 37 + seed * 71 + (i / 3) * 5);
    return rgb;
}

TEST_F(AviFileTest, FfmpegReadsBackTheFramesRateAndSize) {
    if (!haveProgram("ffprobe") || !haveProgram("ffmpeg"))
        GTEST_SKIP() << "ffprobe/ffmpeg are not installed: the movie files were not checked by an outside reader";
    const auto dir = std::filesystem::temp_directory_path() / ("paloran_avi_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string movie = (dir / "movie.avi").string(), bmp = (dir / "frame.bmp").string();
    // An odd width, so that the rows are padded.
    constexpr int w = 13, h = 7;
    std::vector<std::vector<std::uint8_t>> frames = {pattern(w, h, 1), pattern(w, h, 2), pattern(w, h, 3)};
    ASSERT_EQ(PLR_WriteToFileRGB24(frames[2].data(), w, h, bmp.c_str(), ".bmp", 72), 1);

    devices().movieFileOpener = openRiffMovieFile;
    ASSERT_NE(PLR_CreateAVI(movie.c_str(), 40), nullptr);
    PLR_WriteAVI_RGB24(frames[0].data(), w, h);
    PLR_WriteAVI_RGB24(frames[1].data(), w, h);
    PLR_WriteAVI(bmp.c_str());
    const std::vector<std::uint8_t> other = pattern(w + 1, h, 4);
    PLR_WriteAVI_RGB24(other.data(), w + 1, h);  // not the stream's format: latches
    PLR_WriteAVI_RGB24(frames[0].data(), w, h);  // refused
    PLR_CloseAVI();

    bool ok = false;
    const std::string info = commandText("ffprobe -v error -count_frames -select_streams v:0 -show_entries "
                                         "stream=width,height,r_frame_rate,nb_read_frames -of default=nw=1 '" +
                                             movie + "'",
                                         ok);
    ASSERT_TRUE(ok) << info;
    EXPECT_NE(info.find("width=13\n"), std::string::npos) << info;
    EXPECT_NE(info.find("height=7\n"), std::string::npos) << info;
    EXPECT_NE(info.find("r_frame_rate=25/1\n"), std::string::npos) << info;
    EXPECT_NE(info.find("nb_read_frames=3\n"), std::string::npos) << info;

    const std::vector<std::uint8_t> decoded =
        commandOutput("ffmpeg -v error -i '" + movie + "' -f rawvideo -pix_fmt rgb24 -", ok);
    ASSERT_TRUE(ok);
    std::vector<std::uint8_t> expected;
    for (const auto& f : frames) expected.insert(expected.end(), f.begin(), f.end());
    EXPECT_TRUE(decoded == expected) << decoded.size() << " bytes decoded, " << expected.size() << " written";

    // A movie closed before any frame is still a file a reader opens.
    ASSERT_NE(PLR_CreateAVI(movie.c_str(), 1000), nullptr);
    PLR_CloseAVI();
    const std::string empty = commandText("ffprobe -v error -show_entries stream=codec_type -of default=nw=1 '" + movie + "'", ok);
    EXPECT_TRUE(ok) << empty;
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace plr::test
