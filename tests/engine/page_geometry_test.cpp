// Whole-page geometry through the exports: every layer in use changes, in
// all four channels and at full 16-bit depth, whatever its alpha lock; the
// page waits for the host's new size; a failure half way keeps what was done.
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "adapters/imaging/filter_kernels.h"
#include "adapters/imaging/raster.h"
#include "adapters/imaging/raster_geometry.h"
#include "adapters/imaging/raster_resize.h"
#include "engine/page_geometry.h"
#include "engine_fixture.h"

namespace plr::test {
namespace {

constexpr int kW = 9, kH = 6;
constexpr int kLayers[] = {1, 2, 3, 5};  // slot 4 stays empty

using Plane = std::vector<std::uint16_t>;

class PageGeometry : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        makePage();
    }
    void makePage() {
        resetEngine();
        PLR_CreateImage(nullptr, kW, kH, 8, 0);
        PLR_CreateLayer(0, kW, kH);
        std::mt19937 rng(21);
        for (int i : kLayers) {
            PLR_CreateLayer(i, kW, kH);
            Plane p(std::size_t(kW) * kH * 4);
            for (auto& v : p) v = static_cast<std::uint16_t>(rng());
            PLR_SetRGBA64Layer(p.data(), kW * 8, i);
            before[i] = p;
        }
        PLR_SetLayerOptions(3, 1, 1, 100, "Normal");  // alpha-locked
        PLR_SetLayer(2);
        PLR_SetLastError("");
    }
    static Plane plane(int i) {
        const LayerRecord& l = page().layers[i];
        return Plane(l.pixels.data(), l.pixels.data() + l.pixels.size());
    }
    static std::string lastError() { return PLR_GetLastError(); }
    // What the library makes of the original plane of layer i.
    template <class Call>
    Plane expected(int i, int w, int h, Call call) {
        Plane out(std::size_t(w) * h * 4);
        EXPECT_EQ(call(before[i].data(), out.data()), 1);
        return out;
    }
    void expectEveryLayer(int w, int h, const std::function<Plane(int)>& want) {
        for (int i : kLayers) {
            EXPECT_EQ(page().layers[i].width, w) << i;
            EXPECT_EQ(page().layers[i].height, h) << i;
            EXPECT_EQ(plane(i), want(i)) << "layer " << i;
        }
        EXPECT_EQ(page().layers[3].alphaLock, 1);
        EXPECT_EQ(page().layers[0].width, kW);  // the tracing slot is not a layer in use
        EXPECT_FALSE(page().layers[4].hasPixels());
        EXPECT_EQ(page().width, kW);  // the host sets the page size itself
    }
    Plane before[8];
};

TEST_F(PageGeometry, FlipsAndQuarterTurnsMoveEveryChannelOfEveryLayer) {
    PLR_IPLFlipHorizontal();
    expectEveryLayer(kW, kH, [&](int i) {
        return expected(i, kW, kH, [](const void* s, void* d) {
            std::memcpy(d, s, kW * kH * 8);
            return imaging_lib::HorizontalFlipImage(d, kW, kH, 8, kW * 8);
        });
    });
    PLR_IPLFlipHorizontal();
    PLR_IPLFlipVertical();
    expectEveryLayer(kW, kH, [&](int i) {
        return expected(i, kW, kH, [](const void* s, void* d) {
            std::memcpy(d, s, kW * kH * 8);
            return imaging_lib::VerticalFlipImage(d, kW * 8, kH);
        });
    });
    makePage();
    PLR_IPLRotateLeft();
    expectEveryLayer(kH, kW, [&](int i) {
        return expected(i, kH, kW, [](const void* s, void* d) {
            return imaging_lib::QuickRotateImage(s, kW, kH, kW * 8, d, kH * 8, 2, 8);
        });
    });
    makePage();
    PLR_IPLRotateRight();
    expectEveryLayer(kH, kW, [&](int i) {
        return expected(i, kH, kW, [](const void* s, void* d) {
            return imaging_lib::QuickRotateImage(s, kW, kH, kW * 8, d, kH * 8, 0, 8);
        });
    });
    EXPECT_EQ(lastError(), "");
}

TEST_F(PageGeometry, CropKeepsTheRectangleAndRefusesOneOffThePage) {
    PLR_IPLCrop(2, 1, 7, 6);
    expectEveryLayer(5, 5, [&](int i) {
        return expected(i, 5, 5, [](const void* s, void* d) {
            const imaging_lib::LibRect r{2, 1, 7, 6};
            return imaging_lib::CropImage(s, kW, kH, kW * 8, d, 5 * 8, &r, 8);
        });
    });
    makePage();
    PLR_IPLCrop(2, 1, 10, 6);
    EXPECT_EQ(lastError(), "IPLCrop Excpt");
    for (int i : kLayers) EXPECT_EQ(plane(i), before[i]);
}

TEST_F(PageGeometry, ResizeTakesExactlyTheEighteenMethodNames) {
    const char* names[] = {"Area Average", "Nearest Neighbor", "Bilinear", "Bicubic", "Box", "Triangle", "Hamming",
                           "Gaussian", "Bell", "B-Spline", "Cubic 1", "Cubic 2", "Lanczos3", "Mitchell", "Sinc",
                           "Hermite", "Hanning", "Catrom"};
    for (const char* name : names) {
        makePage();
        PLR_IPLResize(5, 4, name);
        for (int i : kLayers) EXPECT_EQ(page().layers[i].width, 5) << name;
        EXPECT_EQ(page().layers[3].alphaLock, 1);
    }
    makePage();
    PLR_IPLResize(5, 4, "Lanczos3");
    expectEveryLayer(5, 4, [&](int i) {
        return expected(i, 5, 4, [](const void* s, void* d) {
            return imaging_lib::ResizeFilterImage(s, kW, kH, kW * 8, d, 5, 4, 5 * 8, 8, 8);
        });
    });
    for (const char* near : {"bilinear", "Area average", "Lanczos3 ", "Cubic1", "", "Nearest Neighbour"}) {
        makePage();
        PLR_IPLResize(5, 4, near);
        for (int i : kLayers) EXPECT_EQ(plane(i), before[i]) << near;
    }
    PLR_IPLResize(5, 4, nullptr);
    PLR_IPLResize(0, 4, "Bilinear");
    EXPECT_EQ(lastError(), "IPLResize Excpt");
    for (int i : kLayers) EXPECT_EQ(plane(i), before[i]);
}

TEST_F(PageGeometry, CanvasAnchorsPlaceTheOldPicture) {
    struct Case {
        const char* anchor;
        int w, h, x, y;
    };
    // Halves truncate toward zero: a difference of -3 gives -1.
    const Case cases[] = {{"TL", 12, 10, 0, 0}, {"TC", 12, 10, 1, 0},  {"TR", 12, 10, 3, 0}, {"ML", 12, 9, 0, 1},
                          {"MC", 6, 3, -1, -1}, {"MR", 6, 10, -3, 2},  {"BL", 12, 3, 0, -3}, {"BC", 10, 10, 0, 4},
                          {"BR", 6, 3, -3, -3}, {"mc", 12, 10, 0, 0},  {"MCX", 12, 10, 0, 0}};
    for (const Case& c : cases) {
        const CanvasOffset at = canvasOffset(c.anchor, kW, kH, c.w, c.h);
        EXPECT_EQ(at.x, c.x) << c.anchor;
        EXPECT_EQ(at.y, c.y) << c.anchor;
    }
    PLR_IPLResizePage(12, 4, "BR", 10, 20, 30);
    expectEveryLayer(12, 4, [&](int i) {
        Plane want(12 * 4 * 4, 0);
        for (int p = 0; i == 1 && p < 12 * 4; ++p) {
            want[std::size_t(p) * 4 + 0] = 10 << 8;
            want[std::size_t(p) * 4 + 1] = 20 << 8;
            want[std::size_t(p) * 4 + 2] = 30 << 8;
            want[std::size_t(p) * 4 + 3] = 0xFF00;
        }
        imaging_lib::OverlayImage(before[i].data(), kW, kH, 8, kW * 8, want.data(), 12, 4, 12 * 8, 3, -2, 1.0);
        return want;
    });
}

TEST_F(PageGeometry, AFailureHalfWayKeepsEarlierLayersAndLeavesTheRestWhole) {
    const int allocations = forEachAllocationFailure([&] { makePage(); }, [] { PLR_IPLRotateLeft(); },
                                                     [&](int n) {
                                                         EXPECT_EQ(lastError(), "IPLRotateLeft Excpt") << n;
                                                         bool stillOld = false;
                                                         for (int i : kLayers) {
                                                             const bool turned = page().layers[i].width == kH;
                                                             EXPECT_FALSE(turned && stillOld) << "layer " << i;
                                                             stillOld |= !turned;
                                                             if (!turned) {
                                                                 EXPECT_EQ(plane(i), before[i]);
                                                             }
                                                         }
                                                     });
    EXPECT_GE(allocations, 4);
}

TEST_F(PageGeometry, SeamCarvingChangesTheWidthAndPadsTallerLayers) {
    PLR_IPLSeamCarvingRGBA(kW - 3, kH + 2, 12345);
    for (int i : kLayers) {
        ASSERT_EQ(page().layers[i].width, kW - 3);
        ASSERT_EQ(page().layers[i].height, kH + 2);
        const Plane p = plane(i);
        for (int x = 0; x < kW - 3; ++x) EXPECT_EQ(p[(std::size_t(kH + 1) * (kW - 3) + x) * 4 + 3], 0);
    }
    EXPECT_EQ(page().layers[3].alphaLock, 1);
    // The host then sets the new size and reads the layers as usual.
    PLR_NewSize(nullptr, kW - 3, kH + 2, 8, 0);
    std::vector<std::uint8_t> rgba(std::size_t(kW - 3) * (kH + 2) * 4);
    EXPECT_NE(PLR_GetRGBA32Layer(rgba.data(), (kW - 3) * 4, 1), 0);
}

TEST_F(PageGeometry, PanShiftsTheSourceBufferByEdgeMode) {
    PLR_IPLPan(1, 1, 0, 0, 0, 0, 0, 0);  // no buffers: nothing
    EXPECT_EQ(plane(2), before[2]);
    PLR_IPLAllocSrcBuffer32();
    PLR_IPLAllocDstBuffer32();
    const std::vector<std::uint8_t> src(page().processing.src32.data(),
                                        page().processing.src32.data() + page().processing.src32.size());
    auto pixel = [](const std::uint8_t* b, int x, int y) {
        std::uint32_t p;
        std::memcpy(&p, b + (std::size_t(y) * kW + x) * 4, 4);
        return p;
    };
    const std::uint32_t fill = 0x44332211u;
    for (int mode : {0, 1, 4}) {
        PLR_IPLPan(2, -1, mode, 0x11, 0x22, 0x33, 0x44, 0);
        const std::uint8_t* dst = page().processing.dst32.data();
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                const int sx = x - 2, sy = y + 1;
                const bool inside = sx >= 0 && sy < kH;
                std::uint32_t want = inside ? pixel(src.data(), sx, sy) : mode == 0 ? 0u : fill;
                if (mode == 1) want = pixel(src.data(), (sx + kW) % kW, sy % kH);
                ASSERT_EQ(pixel(dst, x, y), want) << "mode " << mode << " at " << x << "," << y;
            }
    }
    EXPECT_NE(plane(2), before[2]);  // merged into the current layer
    EXPECT_EQ(plane(1), before[1]);
}

}  // namespace
}  // namespace plr::test
