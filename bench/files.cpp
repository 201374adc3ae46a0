// Picture files at 4000 x 3000, one thread: PNG, JPEG and TIFF read and
// written through the engine beside libpng, libjpeg-turbo and libtiff called
// directly with the same settings (the yardsticks), and the engine's own
// readers of uncompressed BMP, TGA, PSD (and run-length PCX) in bytes of
// RGBA output per second. Files live in the temporary folder.
#include <benchmark/benchmark.h>

#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <png.h>
#include <tiffio.h>

#include "bench_images.h"
#include "exchange/formats/image_formats.h"

namespace {

using namespace plr::formats;

constexpr int kW = 4000, kH = 3000;

const std::vector<std::uint8_t>& picture() {
    static const std::vector<std::uint8_t> p = plr::bench::paintingRgba(kW, kH);
    return p;
}
ImageView view() { return {picture().data(), kW, kH, kW * 4, 4}; }

std::string file(const char* name) {
    return (std::filesystem::temp_directory_path() / (std::string("paloran_bench_") + name)).string();
}

// Each format's file, written once by the engine.
const std::string& written(const ImageFormat& f, const char* name) {
    static std::vector<std::pair<std::string, std::string>> done;
    for (auto& d : done)
        if (d.first == name) return d.second;
    done.emplace_back(name, file(name));
    WriteSettings s;
    s.jpeg.quality = 90;
    writeImage(f, done.back().second.c_str(), view(), s);
    return done.back().second;
}

void pixelsProcessed(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kW * kH * 4);
}

// The anchors' output: one buffer reused by every read (the library's own
// speed), or a fresh one each read, as a reader handing out a new picture
// must, the way the engine's reader does (its first touch is part of a read).
class AnchorOutput {
public:
    explicit AnchorOutput(bool fresh) : fresh_(fresh) { renew(); }
    std::uint8_t* row(int y) { return data_.get() + static_cast<std::size_t>(y) * kW * 4; }
    void renew() {
        if (fresh_ || !data_) data_.reset(new std::uint8_t[static_cast<std::size_t>(kW) * kH * 4]);
    }
    std::uint8_t* data() { return data_.get(); }

private:
    bool fresh_;
    std::unique_ptr<std::uint8_t[]> data_;
};

// ---- engine ----

void engineWrite(benchmark::State& state, const ImageFormat& f, const char* name) {
    WriteSettings s;
    s.jpeg.quality = 90;
    const std::string path = file(name);
    for (auto _ : state) benchmark::DoNotOptimize(writeImage(f, path.c_str(), view(), s));
    pixelsProcessed(state);
}

void engineRead(benchmark::State& state, const ImageFormat& f, const char* name) {
    const std::string& path = written(f, name);
    for (auto _ : state) {
        RgbaImage img;
        benchmark::DoNotOptimize(readImage(path.c_str(), img));
    }
    pixelsProcessed(state);
}

BENCHMARK_CAPTURE(engineWrite, png, kPngFormat, "w.png")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(engineRead, png, kPngFormat, "r.png")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(engineWrite, jpeg, kJpegFormat, "w.jpg")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(engineRead, jpeg, kJpegFormat, "r.jpg")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(engineWrite, tiff, kTiffFormat, "w.tif")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(engineRead, tiff, kTiffFormat, "r.tif")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(engineRead, bmp32, kBmpFormat, "r.bmp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(engineRead, tga32, kTgaFormat, "r.tga")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(engineRead, psd_rle, kPsdFormat, "r.psd")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(engineRead, pcx_rle, kPcxFormat, "r.pcx")->Unit(benchmark::kMillisecond);

// Uncompressed RGB PSD and 24-bit BMP, which the engine's writers do not make.
const std::string& rawPsd() {
    static const std::string path = [] {
        const std::string p = file("raw.psd");
        std::FILE* f = std::fopen(p.c_str(), "wb");
        const unsigned char head[26] = {'8', 'B', 'P', 'S', 0, 1, 0, 0, 0, 0, 0, 0, 0, 3,
                                        0, 0, kH >> 8, kH & 255, 0, 0, kW >> 8, kW & 255, 0, 8, 0, 3};
        std::fwrite(head, 1, sizeof head, f);
        const unsigned char zeros[14] = {};  // three empty sections, raw data
        std::fwrite(zeros, 1, sizeof zeros, f);
        std::vector<std::uint8_t> plane(static_cast<std::size_t>(kW) * kH);
        for (int c = 0; c < 3; ++c) {
            for (std::size_t i = 0; i < plane.size(); ++i) plane[i] = picture()[i * 4 + c];
            std::fwrite(plane.data(), 1, plane.size(), f);
        }
        std::fclose(f);
        return p;
    }();
    return path;
}
void engineReadRawPsd(benchmark::State& state) {
    for (auto _ : state) {
        RgbaImage img;
        benchmark::DoNotOptimize(readImage(rawPsd().c_str(), img));
    }
    pixelsProcessed(state);
}
BENCHMARK(engineReadRawPsd)->Unit(benchmark::kMillisecond);

void engineReadBmp24(benchmark::State& state) {
    static const std::string path = [] {
        const std::string p = file("r24.bmp");
        std::vector<std::uint8_t> rgb(static_cast<std::size_t>(kW) * kH * 3);
        for (std::size_t i = 0; i < rgb.size() / 3; ++i)
            for (int c = 0; c < 3; ++c) rgb[i * 3 + c] = picture()[i * 4 + c];
        writeImage(kBmpFormat, p.c_str(), {rgb.data(), kW, kH, kW * 3, 3}, {});
        return p;
    }();
    for (auto _ : state) {
        RgbaImage img;
        benchmark::DoNotOptimize(readImage(path.c_str(), img));
    }
    pixelsProcessed(state);
}
BENCHMARK(engineReadBmp24)->Unit(benchmark::kMillisecond);

// ---- the libraries directly, same settings ----

void libpngWrite(benchmark::State& state) {
    const std::string path = file("lib.png");
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        png_init_io(png, f);
        png_set_IHDR(png, info, kW, kH, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < kH; ++y) png_write_row(png, picture().data() + static_cast<std::size_t>(y) * kW * 4);
        png_write_end(png, info);
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
    }
    pixelsProcessed(state);
}
BENCHMARK(libpngWrite)->Unit(benchmark::kMillisecond);

void libpngRead(benchmark::State& state, bool fresh) {
    const std::string& path = written(kPngFormat, "r.png");
    AnchorOutput out(fresh);
    for (auto _ : state) {
        out.renew();
        std::FILE* f = std::fopen(path.c_str(), "rb");
        png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        png_init_io(png, f);
        png_read_info(png, info);
        png_set_strip_16(png);
        png_read_update_info(png, info);
        for (int y = 0; y < kH; ++y) png_read_row(png, out.row(y), nullptr);
        png_read_end(png, nullptr);
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(f);
        benchmark::DoNotOptimize(out.data());
    }
    pixelsProcessed(state);
}
BENCHMARK_CAPTURE(libpngRead, reused, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(libpngRead, fresh, true)->Unit(benchmark::kMillisecond);

void libjpegWrite(benchmark::State& state) {
    const std::string path = file("lib.jpg");
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        jpeg_compress_struct c{};
        jpeg_error_mgr err{};
        c.err = jpeg_std_error(&err);
        jpeg_create_compress(&c);
        jpeg_stdio_dest(&c, f);
        c.image_width = kW;
        c.image_height = kH;
        c.input_components = 4;
        c.in_color_space = JCS_EXT_RGBX;
        jpeg_set_defaults(&c);
        jpeg_set_quality(&c, 90, TRUE);
        jpeg_start_compress(&c, TRUE);
        while (c.next_scanline < c.image_height) {
            JSAMPROW row = const_cast<JSAMPROW>(picture().data() + static_cast<std::size_t>(c.next_scanline) * kW * 4);
            jpeg_write_scanlines(&c, &row, 1);
        }
        jpeg_finish_compress(&c);
        jpeg_destroy_compress(&c);
        std::fclose(f);
    }
    pixelsProcessed(state);
}
BENCHMARK(libjpegWrite)->Unit(benchmark::kMillisecond);

void libjpegRead(benchmark::State& state, bool fresh) {
    const std::string& path = written(kJpegFormat, "r.jpg");
    AnchorOutput out(fresh);
    for (auto _ : state) {
        out.renew();
        std::FILE* f = std::fopen(path.c_str(), "rb");
        jpeg_decompress_struct d{};
        jpeg_error_mgr err{};
        d.err = jpeg_std_error(&err);
        jpeg_create_decompress(&d);
        jpeg_stdio_src(&d, f);
        jpeg_read_header(&d, TRUE);
        d.out_color_space = JCS_EXT_RGBA;
        jpeg_start_decompress(&d);
        while (d.output_scanline < d.output_height) {
            JSAMPROW row = out.row(static_cast<int>(d.output_scanline));
            jpeg_read_scanlines(&d, &row, 1);
        }
        jpeg_finish_decompress(&d);
        jpeg_destroy_decompress(&d);
        std::fclose(f);
        benchmark::DoNotOptimize(out.data());
    }
    pixelsProcessed(state);
}
BENCHMARK_CAPTURE(libjpegRead, reused, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(libjpegRead, fresh, true)->Unit(benchmark::kMillisecond);

void libtiffWrite(benchmark::State& state) {
    const std::string path = file("lib.tif");
    for (auto _ : state) {
        TIFF* t = TIFFOpen(path.c_str(), "w");
        TIFFSetField(t, TIFFTAG_IMAGEWIDTH, kW);
        TIFFSetField(t, TIFFTAG_IMAGELENGTH, kH);
        TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 4);
        TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
        const std::uint16_t extra[1] = {EXTRASAMPLE_UNASSALPHA};
        TIFFSetField(t, TIFFTAG_EXTRASAMPLES, 1, extra);
        TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 65536 / (kW * 4) ? 65536 / (kW * 4) : 1);
        for (int y = 0; y < kH; ++y)
            TIFFWriteScanline(t, const_cast<std::uint8_t*>(picture().data() + static_cast<std::size_t>(y) * kW * 4), y, 0);
        TIFFClose(t);
    }
    pixelsProcessed(state);
}
BENCHMARK(libtiffWrite)->Unit(benchmark::kMillisecond);

void libtiffRead(benchmark::State& state, bool fresh) {
    const std::string& path = written(kTiffFormat, "r.tif");
    AnchorOutput out(fresh);
    for (auto _ : state) {
        out.renew();
        TIFF* t = TIFFOpen(path.c_str(), "r");
        for (int y = 0; y < kH; ++y) TIFFReadScanline(t, out.row(y), y, 0);
        TIFFClose(t);
        benchmark::DoNotOptimize(out.data());
    }
    pixelsProcessed(state);
}
BENCHMARK_CAPTURE(libtiffRead, reused, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(libtiffRead, fresh, true)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
