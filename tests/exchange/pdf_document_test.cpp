// PDF documents of pictures: the page layout in worked values, and the
// documents as poppler reads them (page count and sizes from pdfinfo, the
// pictures rendered back by pdftoppm).
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "engine/devices.h"
#include "engine_fixture.h"
#include "exchange/pdf_document.h"
#include "external_tools.h"

namespace plr::test {
namespace {

using PdfDocumentTest = EngineTest;

TEST_F(PdfDocumentTest, PageIsThePictureAt96DpiInsideA20PixelBorder) {
    const PdfPageBox b = pdfPageBox(PdfLayout{}, 100, 50);
    // 72 points an inch, 96 pixels an inch: 0.75 points a pixel.
    EXPECT_DOUBLE_EQ(b.pageWidth, 105.0);
    EXPECT_DOUBLE_EQ(b.pageHeight, 67.5);
    EXPECT_DOUBLE_EQ(b.x, 15.0);
    EXPECT_DOUBLE_EQ(b.y, 15.0);
    EXPECT_DOUBLE_EQ(b.width, 75.0);
    EXPECT_DOUBLE_EQ(b.height, 37.5);
    PdfLayout uneven;
    uneven.dpi = 72;
    uneven.border[0] = 1;  // left
    uneven.border[1] = 2;  // top
    uneven.border[2] = 3;  // right
    uneven.border[3] = 4;  // bottom
    const PdfPageBox u = pdfPageBox(uneven, 10, 20);
    EXPECT_DOUBLE_EQ(u.pageWidth, 14.0);
    EXPECT_DOUBLE_EQ(u.pageHeight, 26.0);
    EXPECT_DOUBLE_EQ(u.x, 1.0);
    EXPECT_DOUBLE_EQ(u.y, 4.0);
}

// The value pdfinfo prints after `label`, blanks trimmed.
std::string infoField(const std::string& info, const std::string& label) {
    const std::size_t at = info.find(label);
    if (at == std::string::npos) return {};
    const std::size_t from = info.find_first_not_of(' ', at + label.size());
    return info.substr(from, info.find('\n', from) - from);
}

std::vector<std::uint8_t> readPpm(const std::string& path, int& width, int& height) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxValue = 0;
    in >> magic >> width >> height >> maxValue;
    in.get();
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 3);
    in.read(reinterpret_cast<char*>(pixels.data()), static_cast<std::streamsize>(pixels.size()));
    return magic == "P6" && maxValue == 255 && in ? pixels : std::vector<std::uint8_t>{};
}

TEST_F(PdfDocumentTest, PopplerSeesOnePageAPictureAndRendersThePicturesBack) {
    if (!haveProgram("pdfinfo") || !haveProgram("pdftoppm"))
        GTEST_SKIP() << "poppler-utils are not installed: the PDF files were not checked by an outside reader";
    const auto dir = std::filesystem::temp_directory_path() / ("paloran_pdf_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    constexpr int w1 = 24, h1 = 16, w2 = 8, h2 = 12;
    std::vector<std::uint8_t> rgb1(w1 * h1 * 3), rgb2(w2 * h2 * 3);
    for (std::size_t i = 0; i < rgb1.size(); ++i) rgb1[i] = static_cast<std::uint8_t>(i * 11 + i / 3);
    for (std::size_t i = 0; i < rgb2.size(); ++i) rgb2[i] = static_cast<std::uint8_t>(255 - i * 5);
    const std::string p1 = (dir / "one.png").string(), p2 = (dir / "two.bmp").string();
    const std::string missing = (dir / "missing.png").string(), pdf = (dir / "out.pdf").string();
    ASSERT_EQ(PLR_WriteToFileRGB24(rgb1.data(), w1, h1, p1.c_str(), ".png", 96), 1);
    ASSERT_EQ(PLR_WriteToFileRGB24(rgb2.data(), w2, h2, p2.c_str(), ".bmp", 96), 1);

    PLR_I2PDF_AddImage(p2.c_str());
    PLR_I2PDF_Reset();  // forgotten
    PLR_I2PDF_AddImage(p1.c_str());
    PLR_I2PDF_AddImage(missing.c_str());  // left out
    PLR_I2PDF_AddImage(p2.c_str());
    PLR_I2PDF_MakePDF(pdf.c_str());
    // The converted pictures are gone, and the collection with them.
    EXPECT_FALSE(std::filesystem::exists(p1));
    EXPECT_FALSE(std::filesystem::exists(p2));
    EXPECT_TRUE(devices().pdfPictures.empty());

    bool ok = false;
    const std::string info = commandText("pdfinfo -f 1 -l 2 '" + pdf + "'", ok);
    ASSERT_TRUE(ok) << info;
    EXPECT_EQ(infoField(info, "Pages:"), "2");
    EXPECT_EQ(infoField(info, "Page    1 size:"), "48 x 42 pts");  // (24 + 40) x (16 + 40) x 0.75
    EXPECT_EQ(infoField(info, "Page    2 size:"), "36 x 39 pts");

    // Rendered at 4 device pixels a picture pixel (poppler smooths pictures
    // it enlarges less than fourfold), each picture pixel read at its centre.
    const std::vector<std::uint8_t>* pictures[] = {&rgb1, &rgb2};
    const int widths[] = {w1, w2}, heights[] = {h1, h2};
    for (int page = 1; page <= 2; ++page) {
        const std::string prefix = (dir / ("page" + std::to_string(page))).string();
        commandText("pdftoppm -r 384 -singlefile -f " + std::to_string(page) + " -l " + std::to_string(page) + " '" +
                        pdf + "' '" + prefix + "'",
                    ok);
        ASSERT_TRUE(ok);
        int rw = 0, rh = 0;
        const std::vector<std::uint8_t> shown = readPpm(prefix + ".ppm", rw, rh);
        const int pw = widths[page - 1] + 40, ph = heights[page - 1] + 40;
        ASSERT_EQ(rw, pw * 4);
        ASSERT_EQ(rh, ph * 4);
        int wrong = 0;
        for (int y = 0; y < ph; ++y)
            for (int x = 0; x < pw; ++x)
                for (int c = 0; c < 3; ++c) {
                    const bool inside = x >= 20 && y >= 20 && x < pw - 20 && y < ph - 20;
                    const int expected =
                        inside ? (*pictures[page - 1])[((y - 20) * widths[page - 1] + (x - 20)) * 3 + c] : 196;
                    wrong += shown[((static_cast<std::size_t>(y) * 4 + 2) * rw + x * 4 + 2) * 3 + c] != expected;
                }
        EXPECT_EQ(wrong, 0) << "page " << page;
    }

    // A slide show of one picture; nothing readable: no document at all.
    ASSERT_EQ(PLR_WriteToFileRGB24(rgb2.data(), w2, h2, p2.c_str(), ".bmp", 96), 1);
    PLR_I2PDF_AddImage(p2.c_str());
    const std::string show = (dir / "show.pdf").string();
    PLR_I2PDF_MakePDFSlideshow(show.c_str());
    const std::string showInfo = commandText("pdfinfo '" + show + "'", ok);
    EXPECT_TRUE(ok) << showInfo;
    EXPECT_EQ(infoField(showInfo, "Pages:"), "1");
    PLR_I2PDF_AddImage(missing.c_str());
    const std::string none = (dir / "none.pdf").string();
    PLR_I2PDF_MakePDF(none.c_str());
    EXPECT_FALSE(std::filesystem::exists(none));
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace plr::test
