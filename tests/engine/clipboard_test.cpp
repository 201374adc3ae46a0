// Copy and paste through the process clipboard, the placed pastes, DIBs from
// other programs, and screen capture.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine_fixture.h"
#include "engine/page_clipboard.h"
#include "exchange/clipboard_dib.h"
#include "platform/clipboard.h"

namespace plr::test {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr int kW = 24, kH = 32;

// A picture whose every pixel differs, alpha 1..255 (never all zero).
Bytes patterned(int w, int h) {
    Bytes p(static_cast<std::size_t>(w) * h * 4);
    for (std::size_t i = 0; i < p.size(); ++i) p[i] = static_cast<std::uint8_t>((i * 37 + i / 7) & 0xFF);
    for (std::size_t i = 3; i < p.size(); i += 4) p[i] = static_cast<std::uint8_t>(1 + i % 255);
    return p;
}
Bytes solid(int w, int h, std::array<std::uint8_t, 4> c) {
    Bytes p(static_cast<std::size_t>(w) * h * 4);
    for (std::size_t i = 0; i < p.size(); ++i) p[i] = c[i % 4];
    return p;
}

// Raw bytes on the clipboard, as another program might leave them.
void putRaw(const Bytes& bytes) {
    Bytes copy = bytes;
    ASSERT_TRUE(platform::putClipboardDib(
        copy.size(),
        [](void* c, std::uint8_t* block, std::size_t n) {
            std::memcpy(block, static_cast<Bytes*>(c)->data(), n);
            return true;
        },
        &copy));
}

void le32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
// A 40-byte info header.
Bytes header(std::int32_t w, std::int32_t h, std::uint16_t bits, std::uint32_t compression = 0,
             std::uint32_t used = 0) {
    Bytes b(40, 0);
    le32(b, 0, 40);
    le32(b, 4, static_cast<std::uint32_t>(w));
    le32(b, 8, static_cast<std::uint32_t>(h));
    b[12] = 1;
    b[14] = static_cast<std::uint8_t>(bits);
    b[15] = static_cast<std::uint8_t>(bits >> 8);
    le32(b, 16, compression);
    le32(b, 32, used);
    return b;
}

class ClipboardTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        platform::emptyClipboard();
        PLR_CreateImage(nullptr, kW, kH, 16, 0);
        for (int i = 0; i < 3; ++i) ASSERT_NE(PLR_CreateLayer(i, kW, kH), 0);
        PLR_SetLayer(2);
    }
    void TearDown() override {
        platform::emptyClipboard();
        EngineTest::TearDown();
    }
    void load(const Bytes& p) { ASSERT_NE(PLR_LoadRGBA32Layer(p.data(), kW * 4, 2, 0, 0, kW, kH, 0), 0); }
    Bytes layer() {
        Bytes out(kW * kH * 4);
        EXPECT_NE(PLR_GetRGBA32Layer(out.data(), kW * 4, 2), 0);
        return out;
    }
    std::vector<std::uint16_t> layer64() {
        std::vector<std::uint16_t> out(kW * kH * 4);
        EXPECT_NE(PLR_GetRGBA64Layer(out.data(), kW * 8, 2), 0);
        return out;
    }
    Bytes transfer() {
        const TransferImage& t = engine().transfer;
        Bytes out(static_cast<std::size_t>(t.width) * t.height * 4);
        PLR_GetNewRGBA32(out.data());
        return out;
    }
    static const std::uint8_t* at(const Bytes& p, int w, int x, int y) { return p.data() + (y * w + x) * 4; }
    void setMask(int openFromX) {
        std::vector<std::uint16_t> m(kW * kH);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) m[y * kW + x] = x >= openFromX ? 0xFFFF : 0;
        PLR_SetMaskData16(m.data());
        PLR_EnableMask(1);
    }
};

TEST_F(ClipboardTest, CopyThenPasteRoundTripsExactly) {
    const Bytes picture = patterned(kW, kH);
    load(picture);
    PLR_ToClipboard();
    ASSERT_EQ(PLR_FromClipboard(), 1);
    EXPECT_EQ(engine().transfer.width, kW);
    EXPECT_EQ(engine().transfer.height, kH);
    EXPECT_EQ(transfer(), picture);

    // A rectangle: right and bottom edges excluded.
    PLR_ToClipboardRect(10, 10, 20, 30);
    ASSERT_EQ(PLR_FromClipboard(), 1);
    ASSERT_EQ(engine().transfer.width, 10);
    ASSERT_EQ(engine().transfer.height, 20);
    const Bytes crop = transfer();
    for (int y = 0; y < 20; ++y)
        ASSERT_EQ(std::memcmp(at(crop, 10, 0, y), at(picture, kW, 10, 10 + y), 40), 0) << y;

    // Pasting it back at the same place changes nothing.
    ASSERT_EQ(PLR_FromClipboardInto(10, 10, 0), 1);
    EXPECT_EQ(layer(), picture);
    EXPECT_FALSE(engine().transfer.present());  // the paste deleted it
}

TEST_F(ClipboardTest, MaskCutsAlphaOfCopiesAndAllTransparentPastesOpaque) {
    const Bytes picture = patterned(kW, kH);
    load(picture);
    setMask(12);
    PLR_ToClipboard();
    ASSERT_EQ(PLR_FromClipboard(), 1);
    Bytes pasted = transfer();
    EXPECT_EQ(at(pasted, kW, 3, 5)[3], 0);                        // protected
    EXPECT_EQ(at(pasted, kW, 15, 5)[3], at(picture, kW, 15, 5)[3]);  // open
    EXPECT_EQ(std::memcmp(at(pasted, kW, 3, 5), at(picture, kW, 3, 5), 3), 0);

    // The host buffer: flag 0 ignores the mask, a low byte set applies it at (x, y).
    Bytes buffer = solid(4, 2, {9, 8, 7, 200});
    PLR_RGBA32ToClipboardRect(buffer.data(), 10, 0, 4, 2, 0x100);
    ASSERT_EQ(PLR_FromClipboard(), 1);
    EXPECT_EQ(transfer(), solid(4, 2, {9, 8, 7, 200}));
    PLR_RGBA32ToClipboardRect(buffer.data(), 10, 0, 4, 2, 1);
    ASSERT_EQ(PLR_FromClipboard(), 1);
    pasted = transfer();
    EXPECT_EQ(at(pasted, 4, 1, 0)[3], 0);    // page x 11: protected
    EXPECT_EQ(at(pasted, 4, 2, 1)[3], 200);  // page x 12: open

    // Everything masked: the copy's alpha bytes are all 0, which a DIB
    // cannot tell from "no alpha", so the paste is opaque.
    setMask(kW);
    PLR_ToClipboard();
    ASSERT_EQ(PLR_FromClipboard(), 1);
    pasted = transfer();
    for (std::size_t i = 0; i < pasted.size(); i += 4) {
        ASSERT_EQ(pasted[i + 3], 255);
        ASSERT_EQ(std::memcmp(&pasted[i], &picture[i], 3), 0);
    }
}

TEST_F(ClipboardTest, PasteIntoPlacesCentresAndKeepsToTheMask) {
    const Bytes white = solid(kW, kH, {255, 255, 255, 255});
    load(white);
    const Bytes picture = patterned(5, 4);
    ASSERT_TRUE(putPictureOnClipboard(picture.data(), 5, 4));
    setMask(4);
    ASSERT_EQ(PLR_FromClipboardInto(5, 6, 1), 1);  // centre (5, 6): top-left (3, 4)
    const Bytes out = layer();
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const bool inside = x >= 4 && x < 8 && y >= 4 && y < 8;  // column 3 is masked
            const std::uint8_t* want = inside ? at(picture, 5, x - 3, y - 4) : at(white, kW, x, y);
            ASSERT_EQ(std::memcmp(at(out, kW, x, y), want, 4), 0) << x << "," << y;
        }
}

TEST_F(ClipboardTest, PlacedPastesScaleTurnClipAndBlend) {
    const Bytes white = solid(kW, kH, {255, 255, 255, 255});
    // 10 x 5: left half red, right half blue.
    Bytes picture = solid(10, 5, {255, 0, 0, 255});
    for (int y = 0; y < 5; ++y)
        for (int x = 5; x < 10; ++x) std::memcpy(picture.data() + (y * 10 + x) * 4, "\0\0\xff\xff", 4);
    ASSERT_TRUE(putPictureOnClipboard(picture.data(), 10, 5));
    auto paintedBox = [&](const Bytes& out) {
        int x0 = kW, y0 = kH, x1 = -1, y1 = -1;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                if (std::memcmp(at(out, kW, x, y), at(white, kW, x, y), 4) != 0) {
                    x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
                }
        return std::array<int, 4>{x0, y0, x1 + 1, y1 + 1};
    };

    // Size 20 doubles it; size 10 (factor exactly 1) copies it unscaled.
    load(white);
    PLR_FromClipboardIntoEX2(1, 2, 20, 0, 0, 0, 255);
    EXPECT_EQ(paintedBox(layer()), (std::array<int, 4>{1, 2, 21, 12}));
    EXPECT_EQ(std::memcmp(at(layer(), kW, 10, 2), "\xff\0\0\xff", 4), 0);
    EXPECT_EQ(std::memcmp(at(layer(), kW, 11, 11), "\0\0\xff\xff", 4), 0);
    load(white);
    PLR_FromClipboardIntoEX2(0, 0, 10, 0, 0, 1, 255);
    Bytes out = layer();
    for (int y = 0; y < 5; ++y) ASSERT_EQ(std::memcmp(at(out, kW, 0, y), at(picture, 10, 0, y), 40), 0);

    // The scale-driven paste: factor 2 the same way.
    load(white);
    PLR_FromClipboardIntoEX(0, 0, 2.0f, 0, 0, 0);
    EXPECT_EQ(paintedBox(layer()), (std::array<int, 4>{0, 0, 20, 10}));

    // A quarter turn anticlockwise: 5 x 10, the blue right half on top.
    load(white);
    PLR_FromClipboardIntoEX2(10, 10, 10, 90, 1, 0, 255);  // centred: top-left (8, 5)
    out = layer();
    EXPECT_EQ(paintedBox(out), (std::array<int, 4>{8, 5, 13, 15}));
    EXPECT_EQ(std::memcmp(at(out, kW, 10, 7), "\0\0\xff\xff", 4), 0);
    EXPECT_EQ(std::memcmp(at(out, kW, 10, 12), "\xff\0\0\xff", 4), 0);

    // At x = -3 the right 7 columns land at x = 0; beyond the page nothing changes.
    load(white);
    PLR_FromClipboardIntoEX2(-3, 0, 10, 0, 0, 0, 255);
    out = layer();
    EXPECT_EQ(paintedBox(out), (std::array<int, 4>{0, 0, 7, 5}));
    for (int y = 0; y < 5; ++y) ASSERT_EQ(std::memcmp(at(out, kW, 0, y), at(picture, 10, 3, y), 28), 0);
    load(white);
    PLR_FromClipboardIntoEX2(kW, 0, 10, 0, 0, 0, 255);
    PLR_FromClipboardIntoEX(-40, -40, 1.0f, 0, 0, 0);
    EXPECT_EQ(layer(), white);

    // Half opacity over white: half way to red; the mask keeps its part.
    load(white);
    setMask(3);
    PLR_FromClipboardIntoEX2(0, 0, 10, 0, 0, 0, 128);
    out = layer();
    EXPECT_EQ(std::memcmp(at(out, kW, 1, 1), at(white, kW, 1, 1), 4), 0);
    const std::uint8_t* half = at(out, kW, 4, 1);
    EXPECT_GE(half[0], 254);  // 0xFF00 red half over 0xFFFF white
    EXPECT_NEAR(half[1], 128, 2);
    EXPECT_EQ(half[3], 255);
}

TEST_F(ClipboardTest, MalformedDibsAreRefusedAndNothingChanges) {
    const Bytes picture = patterned(kW, kH);
    load(picture);
    const Bytes before64 = [&] {
        auto l = layer64();
        return Bytes(reinterpret_cast<std::uint8_t*>(l.data()), reinterpret_cast<std::uint8_t*>(l.data() + l.size()));
    }();
    PLR_ToClipboardRect(0, 0, 3, 2);
    ASSERT_EQ(PLR_FromClipboard(), 1);
    const Bytes transferBefore = transfer();

    auto withRows = [](Bytes h, std::size_t rowBytes) {
        h.resize(h.size() + rowBytes, 0x55);
        return h;
    };
    Bytes bitfieldsCut = header(2, 2, 32, 3);
    bitfieldsCut.resize(44);  // masks need 12 bytes
    Bytes paletteCut = header(2, 2, 8, 0, 256);
    paletteCut.resize(40 + 16 + 8);  // 4 of 256 entries, then rows
    Bytes hugeHeader = header(2, 2, 24);
    le32(hugeHeader, 0, 0x7FFFFFFF);
    const std::vector<Bytes> malformed = {
        Bytes{40, 0, 0, 0, 2, 0},                          // short
        withRows(header(-2, 2, 24), 16),                   // negative width
        withRows(header(2, 0, 24), 16),                    // no rows
        withRows(header(0x7FFFFFFF, 0x7FFFFFFF, 32), 64),  // huge sizes
        withRows(header(2, INT32_MIN, 24), 16),            // the negative height with no positive
        withRows(header(64, 2, 24), 16),                   // rows past the end
        withRows(header(2, 2, 7), 16),                     // bit count
        withRows(header(2, 2, 24, 9), 16),                 // compression
        bitfieldsCut,
        paletteCut,
        withRows(hugeHeader, 16),
    };
    for (std::size_t i = 0; i < malformed.size(); ++i) {
        SCOPED_TRACE(i);
        putRaw(malformed[i]);
        formats::RgbaImage decoded;
        EXPECT_FALSE(decodeClipboardDib(malformed[i].data(), malformed[i].size(), decoded));
        EXPECT_EQ(PLR_FromClipboard(), 0);
        EXPECT_EQ(PLR_FromClipboardInto(0, 0, 0), 0);
        PLR_FromClipboardIntoEX2(0, 0, 10, 30, 0, 1, 255);
        PLR_FromClipboardIntoEX(0, 0, 2.0f, 30, 0, 1);
        PLR_FromClipboardToImageBrush(8);
        EXPECT_TRUE(engine().imageBrush.image.empty());
        EXPECT_EQ(transfer(), transferBefore);
        auto l = layer64();
        ASSERT_EQ(std::memcmp(l.data(), before64.data(), before64.size()), 0);
    }
    platform::emptyClipboard();
    EXPECT_EQ(PLR_FromClipboard(), 0);
}

TEST_F(ClipboardTest, OtherProgramsLayoutsDecode) {
    // 24-bit bottom-up, rows padded to 4 bytes: blue, green, red.
    Bytes dib = header(1, 2, 24);
    const std::uint8_t rows24[] = {1, 2, 3, 0, 4, 5, 6, 0};  // bottom row first
    dib.insert(dib.end(), rows24, rows24 + 8);
    formats::RgbaImage out;
    ASSERT_TRUE(decodeClipboardDib(dib.data(), dib.size(), out));
    EXPECT_EQ(Bytes(out.pixels.data(), out.pixels.data() + 8), (Bytes{6, 5, 4, 255, 3, 2, 1, 255}));

    // 8-bit with a two-entry palette, top-down.
    dib = header(3, -1, 8, 0, 2);
    const std::uint8_t palette[] = {10, 20, 30, 0, 40, 50, 60, 0}, row8[] = {1, 0, 1, 0};
    dib.insert(dib.end(), palette, palette + 8);
    dib.insert(dib.end(), row8, row8 + 4);
    ASSERT_TRUE(decodeClipboardDib(dib.data(), dib.size(), out));
    EXPECT_EQ(Bytes(out.pixels.data(), out.pixels.data() + 12), (Bytes{60, 50, 40, 255, 30, 20, 10, 255, 60, 50, 40, 255}));

    // 16-bit 5-6-5 bit fields after the header.
    dib = header(1, 1, 16, 3);
    dib.resize(52);
    le32(dib, 40, 0xF800);
    le32(dib, 44, 0x07E0);
    le32(dib, 48, 0x001F);
    const std::uint8_t px16[] = {0x1F, 0xF8, 0, 0};  // red 31, green 0, blue 31
    dib.insert(dib.end(), px16, px16 + 4);
    ASSERT_TRUE(decodeClipboardDib(dib.data(), dib.size(), out));
    EXPECT_EQ(Bytes(out.pixels.data(), out.pixels.data() + 4), (Bytes{255, 0, 255, 255}));
}

TEST_F(ClipboardTest, ScreenCaptureReadsTheDisplayOrFails) {
    load(patterned(kW, kH));
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        // No screen: both captures fail and change nothing.
        const Bytes before = layer();
        EXPECT_EQ(PLR_ScreenCapture(), 0);
        EXPECT_EQ(PLR_ScreenCaptureInto(), 0);
        EXPECT_FALSE(engine().transfer.present());
        EXPECT_EQ(layer(), before);
        GTEST_SKIP() << "DISPLAY is not set: the capture itself needs an X server (run the suite under xvfb-run)";
    }
    ASSERT_EQ(PLR_ScreenCapture(), 1);
    const TransferImage& t = engine().transfer;
    ASSERT_GT(t.width, 0);
    ASSERT_GT(t.height, 0);
    const Bytes screen = transfer();
    for (std::size_t i = 3; i < screen.size(); i += 4) ASSERT_EQ(screen[i], 255);
    ASSERT_EQ(PLR_ScreenCaptureInto(), 1);
    const Bytes out = layer();
    const int w = std::min(kW, t.width), h = std::min(kH, t.height);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) ASSERT_EQ(at(out, kW, x, y)[3], 255);
    EXPECT_FALSE(engine().transfer.present());
}

}  // namespace
}  // namespace plr::test
