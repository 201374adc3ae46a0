// libFuzzer target for one image reader (PALORAN_FUZZ_FORMAT names its
// table entry): the input is written to a scratch file, then read through the
// format's reader and dimension query, and for metafiles rendered at a
// fixed size. Nothing may crash, leak, read out of bounds or hang.
#include <cstdint>
#include <cstdio>
#include <string>

#include "exchange/formats/image_formats.h"
#include "fuzz/fuzz_input.h"

namespace {

const std::string& scratchFile() {
    static const std::string path = plr::fuzz::scratchPath("paloran_fuzz_", "");
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace plr::formats;
    const ImageFormat& format = PALORAN_FUZZ_FORMAT;
    std::FILE* f = std::fopen(scratchFile().c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    const char* path = scratchFile().c_str();
    (void)format.isA(data, size);
    RgbaImage image;
    if (format.read(path, image) && !image.pixels.empty()) {
        // Touch the whole picture so that a short buffer shows.
        volatile std::uint8_t sum = 0;
        for (std::size_t i = 0; i < image.pixels.size(); i += 64) sum = sum + image.pixels[i];
        (void)sum;
    }
    ImageInfo info;
    if (format.info) (void)format.info(path, info);
    if (format.type == FileType::Emf || format.type == FileType::Wmf) {
        const std::uint8_t background[3] = {1, 2, 3};
        RgbaImage drawn;
        (void)renderMetafile(path, 64, 48, background, drawn);
    }
    return 0;
}
