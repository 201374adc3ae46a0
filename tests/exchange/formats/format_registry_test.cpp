// The format table: sniffers, extensions and the lookups that pick a format.
#include <cstdio>
#include <string>
#include <vector>

#include "brush_test_support.h"
#include "engine_fixture.h"
#include "exchange/formats/image_formats.h"

namespace plr::test {
namespace {

using FormatRegistry = EngineTest;
using formats::FileType;
using formats::ImageFormat;

struct Signature {
    FileType type;
    std::vector<std::uint8_t> head;
};

std::vector<std::uint8_t> bytes(const char* s, std::size_t n) { return {s, s + n}; }

// The leading bytes of a real file of each format.
std::vector<Signature> signatures() {
    return {{FileType::Png, bytes("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)},
            {FileType::Jpeg, bytes("\xFF\xD8\xFF\xE0\0\x10JFIF\0", 11)},
            {FileType::Tiff, bytes("II*\0\x08\0\0\0", 8)},
            {FileType::Tiff, bytes("MM\0*\0\0\0\x08", 8)},
            {FileType::Gif, bytes("GIF87a\x01\0\x01\0", 10)},
            {FileType::Gif, bytes("GIF89a\x01\0\x01\0", 10)},
            {FileType::Bmp, bytes("BM\x3a\0\0\0\0\0\0\0\x36\0\0\0", 14)}};
}

TEST_F(FormatRegistry, EachSignatureIsClaimedByItsFormatAloneAndNoPrefixIsClaimed) {
    for (const Signature& s : signatures()) {
        int claims = 0;
        for (const ImageFormat* f : formats::imageFormats()) {
            const bool mine = f->isA(s.head.data(), s.head.size());
            claims += mine;
            EXPECT_EQ(mine, f->type == s.type) << f->name;
        }
        EXPECT_EQ(claims, 1);
        const ImageFormat* found = formats::formatOfBytes(s.head.data(), s.head.size());
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(found->type, s.type);
        // A signature cut short is no signature: the sniffers read no more than they are given.
        const std::size_t shortest = s.type == FileType::Bmp ? 2 : s.type == FileType::Jpeg ? 3 : s.type == FileType::Tiff ? 4
                                     : s.type == FileType::Gif                              ? 6
                                                                                            : 8;
        for (std::size_t n = 0; n < shortest; ++n) {
            std::vector<std::uint8_t> cut(s.head.begin(), s.head.begin() + static_cast<std::ptrdiff_t>(n));
            EXPECT_EQ(formats::formatOfBytes(cut.data(), cut.size()), nullptr) << found->name << " " << n;
        }
    }
    const std::vector<std::uint8_t> text = bytes("plain text here!", 16);
    EXPECT_EQ(formats::formatOfBytes(text.data(), text.size()), nullptr);
    EXPECT_EQ(formats::formatOfBytes(nullptr, 16), nullptr);
}

TEST_F(FormatRegistry, ExtensionsAreUniqueLowerCaseAndFoundIgnoringCase) {
    std::vector<std::string> seen;
    for (const ImageFormat* f : formats::imageFormats()) {
        EXPECT_FALSE(f->extensions[0].empty()) << f->name;
        EXPECT_NE(f->read, nullptr) << f->name;
        for (std::string_view e : f->extensions) {
            if (e.empty()) continue;
            const std::string ext(e);
            for (const std::string& other : seen) EXPECT_NE(ext, other);
            seen.push_back(ext);
            std::string upper = ext, mixed = ext;
            for (char& c : upper) c = static_cast<char>(c - 'a' + 'A');
            mixed[0] = upper[0];
            for (const std::string& name : {"picture." + ext, "C:\\dir.x\\P." + upper, "/a.b/c." + mixed, "." + ext, ext})
                EXPECT_EQ(formats::formatOfExtension(name), f) << name;
        }
    }
    EXPECT_EQ(formats::formatOfExtension("photo.JPEG")->type, FileType::Jpeg);
    EXPECT_EQ(formats::formatOfExtension("scan.TiF")->type, FileType::Tiff);
    for (const char* none : {"", "noext", "archive.png.txt", "dir.png/readme", "picture.", "a.pn", "a.pngx"})
        EXPECT_EQ(formats::formatOfExtension(none), nullptr) << none;
}

TEST_F(FormatRegistry, FilesAreKnownByTheirBytesNotTheirNames) {
    const std::string path = (scratchDir() / "gif.png").string();
    const std::vector<std::uint8_t> gif = signatures()[4].head;
    writeBytes(path, gif);
    EXPECT_EQ(formats::sniffFile(path.c_str()), FileType::Gif);
    formats::RgbaImage img;
    EXPECT_FALSE(formats::readImage(path.c_str(), img)) << "a truncated GIF under a PNG name";
    EXPECT_EQ(img.width, 0);
    std::remove(path.c_str());
    EXPECT_EQ(formats::sniffFile(path.c_str()), FileType::Unknown);
    EXPECT_EQ(formats::sniffFile(nullptr), FileType::Unknown);
}

}  // namespace
}  // namespace plr::test
