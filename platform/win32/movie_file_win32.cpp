// Movie files through the Windows AVI file services, AVIFIL32.dll loaded at
// run time: a raw video stream, the system's video-compression dialog, a
// compressed stream made from the choice, key frames written to it.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <vfw.h>

#include <cstring>

#include "platform/movie_file.h"

namespace plr::platform {
namespace {

struct AviApi {
    HMODULE library = nullptr;
    decltype(&AVIFileInit) fileInit = nullptr;
    decltype(&AVIFileExit) fileExit = nullptr;
    decltype(&AVIFileOpenA) fileOpen = nullptr;
    decltype(&AVIFileRelease) fileRelease = nullptr;
    decltype(&AVIFileCreateStreamA) createStream = nullptr;
    decltype(&AVISaveOptions) saveOptions = nullptr;
    decltype(&AVISaveOptionsFree) saveOptionsFree = nullptr;
    decltype(&AVIMakeCompressedStream) makeCompressed = nullptr;
    decltype(&AVIStreamSetFormat) setFormat = nullptr;
    decltype(&AVIStreamWrite) write = nullptr;
    decltype(&AVIStreamRelease) streamRelease = nullptr;
};

template <class F>
bool bind(HMODULE library, const char* name, F& f) {
    f = reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
    return f != nullptr;
}

const AviApi* avi() {
    static const AviApi api = [] {
        AviApi a;
        a.library = LoadLibraryA("AVIFIL32.dll");
        if (!a.library) return a;
        const bool all = bind(a.library, "AVIFileInit", a.fileInit) && bind(a.library, "AVIFileExit", a.fileExit) &&
                         bind(a.library, "AVIFileOpenA", a.fileOpen) &&
                         bind(a.library, "AVIFileRelease", a.fileRelease) &&
                         bind(a.library, "AVIFileCreateStreamA", a.createStream) &&
                         bind(a.library, "AVISaveOptions", a.saveOptions) &&
                         bind(a.library, "AVISaveOptionsFree", a.saveOptionsFree) &&
                         bind(a.library, "AVIMakeCompressedStream", a.makeCompressed) &&
                         bind(a.library, "AVIStreamSetFormat", a.setFormat) &&
                         bind(a.library, "AVIStreamWrite", a.write) &&
                         bind(a.library, "AVIStreamRelease", a.streamRelease);
        if (!all) {
            FreeLibrary(a.library);
            a.library = nullptr;
        }
        return a;
    }();
    return api.library ? &api : nullptr;
}

class AviMovieFile final : public MovieFile {
public:
    AviMovieFile(const AviApi& api, PAVIFILE file) : api_(api), file_(file) {}
    ~AviMovieFile() override {
        if (compressed_) api_.streamRelease(compressed_);
        if (raw_) api_.streamRelease(raw_);
        api_.fileRelease(file_);
        api_.fileExit();
    }

    bool createStream(const MovieStreamSetup& setup) override {
        AVISTREAMINFOA info;
        std::memset(&info, 0, sizeof info);
        info.fccType = streamtypeVIDEO;
        info.fccHandler = 0;
        info.dwScale = setup.scale;
        info.dwRate = setup.rate;
        info.dwSuggestedBufferSize = setup.suggestedBufferSize;
        SetRect(&info.rcFrame, 0, 0, setup.width, setup.height);
        return api_.createStream(file_, &raw_, &info) == AVIERR_OK;
    }
    bool chooseCompression(void* owner) override {
        std::memset(&options_, 0, sizeof options_);
        LPAVICOMPRESSOPTIONS list[1] = {&options_};
        if (api_.saveOptions(static_cast<HWND>(owner), 0, 1, &raw_, list)) return true;
        api_.saveOptionsFree(1, list);
        return false;
    }
    bool makeCompressedStream(const std::uint8_t* format, std::uint32_t formatBytes) override {
        LPAVICOMPRESSOPTIONS list[1] = {&options_};
        const bool made = api_.makeCompressed(&compressed_, raw_, &options_, nullptr) == AVIERR_OK;
        api_.saveOptionsFree(1, list);
        return made &&
               api_.setFormat(compressed_, 0, const_cast<std::uint8_t*>(format), static_cast<LONG>(formatBytes)) ==
                   AVIERR_OK;
    }
    bool writeFrame(std::int32_t index, const std::uint8_t* bits, std::uint32_t bytes) override {
        return api_.write(compressed_, index, 1, const_cast<std::uint8_t*>(bits), static_cast<LONG>(bytes),
                          AVIIF_KEYFRAME, nullptr, nullptr) == AVIERR_OK;
    }

private:
    const AviApi& api_;
    PAVIFILE file_;
    PAVISTREAM raw_ = nullptr;
    PAVISTREAM compressed_ = nullptr;
    AVICOMPRESSOPTIONS options_{};
};

}  // namespace

std::unique_ptr<MovieFile> openSystemMovieFile(const char* path) {
    const AviApi* api = avi();
    if (!api || !path) return nullptr;
    api->fileInit();
    PAVIFILE file = nullptr;
    if (api->fileOpen(&file, path, OF_CREATE | OF_WRITE, nullptr) != AVIERR_OK) {
        api->fileExit();
        return nullptr;
    }
    return std::make_unique<AviMovieFile>(*api, file);
}

bool systemMovieFiles() noexcept { return true; }

}  // namespace plr::platform
