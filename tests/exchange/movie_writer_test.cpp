// The movie writer's own logic, over a movie file that records what it is
// asked: streams made on the first frame only, the compression chosen once
// a movie, and the latch that refuses every frame after a failure.
#include <memory>
#include <string>
#include <vector>

#include "engine/devices.h"
#include "engine_fixture.h"
#include "exchange/movie_writer.h"

namespace plr::test {
namespace {

struct Log {
    std::vector<std::string> calls;
    bool failStream = false, cancel = false;
    std::int32_t failIndex = -1;
    platform::MovieStreamSetup setup;
    bool closed = false;
};
Log movieLog;

class RecordingMovie final : public platform::MovieFile {
public:
    ~RecordingMovie() override { movieLog.closed = true; }
    bool createStream(const platform::MovieStreamSetup& s) override {
        movieLog.calls.push_back("stream");
        movieLog.setup = s;
        return !movieLog.failStream;
    }
    bool chooseCompression(void*) override {
        movieLog.calls.push_back("dialog");
        return !movieLog.cancel;
    }
    bool makeCompressedStream(const std::uint8_t*, std::uint32_t bytes) override {
        movieLog.calls.push_back("format " + std::to_string(bytes));
        return true;
    }
    bool writeFrame(std::int32_t index, const std::uint8_t*, std::uint32_t bytes) override {
        movieLog.calls.push_back("frame " + std::to_string(index) + " " + std::to_string(bytes));
        return index != movieLog.failIndex;
    }
};

std::unique_ptr<platform::MovieFile> openRecording(const char*) { return std::make_unique<RecordingMovie>(); }

using MovieWriterTest = EngineTest;

std::vector<std::string> record(const Log& settings, int frames) {
    movieLog = settings;
    devices().movieFileOpener = openRecording;
    const std::uint8_t rgb[5 * 2 * 3] = {};
    PLR_WriteAVI_RGB24(rgb, 5, 2);  // no movie yet: nothing happens
    EXPECT_TRUE(movieLog.calls.empty());
    EXPECT_NE(PLR_CreateAVI("unused.avi", 40), nullptr);
    for (int i = 0; i < frames; ++i) PLR_WriteAVI_RGB24(rgb, 5, 2);
    EXPECT_EQ(PLR_CloseAVI(), 0);
    EXPECT_TRUE(movieLog.closed);
    EXPECT_EQ(PLR_CloseAVI(), 0);  // nothing open: nothing to do
    return movieLog.calls;
}

TEST_F(MovieWriterTest, StreamsOnTheFirstFrameAndALatchAfterAnyFailure) {
    // 5 x 2 pixels of RGB24: rows of 15 bytes padded to 16.
    using V = std::vector<std::string>;
    EXPECT_EQ(record({}, 3), (V{"stream", "dialog", "format 40", "frame 0 32", "frame 1 32", "frame 2 32"}));
    EXPECT_EQ(movieLog.setup.scale, 40u);  // 40 ms a frame against 1000: 25 frames a second
    EXPECT_EQ(movieLog.setup.rate, 1000u);
    EXPECT_EQ(movieLog.setup.suggestedBufferSize, 32u);
    EXPECT_EQ(movieLog.setup.width, 5);
    EXPECT_EQ(movieLog.setup.height, 2);

    Log cancelled;
    cancelled.cancel = true;
    EXPECT_EQ(record(cancelled, 3), (V{"stream", "dialog"}));
    Log noStream;
    noStream.failStream = true;
    EXPECT_EQ(record(noStream, 3), (V{"stream"}));
    Log badWrite;
    badWrite.failIndex = 1;
    EXPECT_EQ(record(badWrite, 4), (V{"stream", "dialog", "format 40", "frame 0 32", "frame 1 32"}));
}

TEST_F(MovieWriterTest, UnreadableBmpGivesNoFrameAndNoLatch) {
    movieLog = {};
    devices().movieFileOpener = openRecording;
    ASSERT_NE(PLR_CreateAVI("unused.avi", 100), nullptr);
    PLR_WriteAVI(PALORAN_TEST_DATA "/images/does_not_exist.bmp");
    PLR_WriteAVI(PALORAN_TEST_DATA "/images/png_rgb.png");  // not a BMP
    const std::uint8_t rgb[3] = {1, 2, 3};
    PLR_WriteAVI_RGB24(rgb, 1, 1);
    EXPECT_EQ(movieLog.calls, (std::vector<std::string>{"stream", "dialog", "format 40", "frame 0 4"}));
    // A new movie finishes the one still open.
    movieLog.closed = false;
    ASSERT_NE(PLR_CreateAVI("unused.avi", 100), nullptr);
    EXPECT_TRUE(movieLog.closed);
    PLR_CloseAVI();
}

}  // namespace
}  // namespace plr::test
