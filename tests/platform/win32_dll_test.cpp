// paloran.dll as a host loads it: the entry point creates the hidden window,
// every listed export resolves by its plain name, the window's procedure
// feeds PLR_IsDisplayChanged, and unloading takes the window away.
#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "core/guard.h"

namespace {

constexpr char kClass[] = "Quenvale DLL window";
constexpr char kTitle[] = "QV Internal WND";

const char* const kExportNames[] = {
#define PLR_EXPORT(result, name, params) #name,
#include "paloran_exports.inc"
#undef PLR_EXPORT
};

// paloran.dll is built into the folder of this program.
std::string dllPath() {
    char path[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p(path, n);
    return p.substr(0, p.find_last_of("\\/") + 1) + "paloran.dll";
}

// The hidden window that belongs to `module` (this program links an engine
// of its own, with a window of the same class and title).
HWND hiddenWindowOf(HMODULE module) {
    for (HWND w = FindWindowExA(nullptr, nullptr, kClass, kTitle); w;
         w = FindWindowExA(nullptr, w, kClass, kTitle)) {
        if (reinterpret_cast<HMODULE>(GetWindowLongPtrA(w, GWLP_HINSTANCE)) == module) return w;
    }
    return nullptr;
}

template <class Fn>
Fn entry(HMODULE dll, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(dll, name)));
}

bool quitPosted(WPARAM& code) {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return false;
    code = msg.wParam;
    return true;
}

TEST(Win32Dll, LoadCreatesTheWindowAndExportsEveryName) {
    HMODULE dll = LoadLibraryA(dllPath().c_str());
    ASSERT_NE(dll, nullptr) << dllPath();
    HWND hidden = hiddenWindowOf(dll);
    ASSERT_NE(hidden, nullptr);
    EXPECT_FALSE(IsWindowVisible(hidden));
    EXPECT_EQ(GetWindowThreadProcessId(hidden, nullptr), GetCurrentThreadId());

    for (const char* name : kExportNames) EXPECT_NE(GetProcAddress(dll, name), nullptr) << name;

    // Display-change notices through the window's procedure, reported once.
    auto isDisplayChanged = entry<int32_t(WINAPI*)()>(dll, "PLR_IsDisplayChanged");
    ASSERT_NE(isDisplayChanged, nullptr);
    EXPECT_EQ(isDisplayChanged(), 0);
    SendMessageA(hidden, WM_DISPLAYCHANGE, 32, MAKELPARAM(800, 600));
    EXPECT_EQ(isDisplayChanged(), 1);
    EXPECT_EQ(isDisplayChanged(), 0);

    // A page lifecycle through the exports.
    auto createImage = entry<void(WINAPI*)(void*, int32_t, int32_t, int32_t, int32_t)>(dll, "PLR_CreateImage");
    auto createLayer = entry<int32_t(WINAPI*)(int32_t, int32_t, int32_t)>(dll, "PLR_CreateLayer");
    auto deleteImage = entry<void(WINAPI*)()>(dll, "PLR_DeleteImage");
    auto lastError = entry<const char*(WINAPI*)()>(dll, "PLR_GetLastError");
    ASSERT_TRUE(createImage && createLayer && deleteImage && lastError);
    createImage(nullptr, 32, 16, 8, 0);
    EXPECT_NE(createLayer(1, 32, 16), 0);
    deleteImage();
    EXPECT_STREQ(lastError(), "");

    // WM_CLOSE destroys the window, and its destruction asks the loop to end.
    SendMessageA(hidden, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(hidden));
    WPARAM code = 99;
    EXPECT_TRUE(quitPosted(code));
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(FreeLibrary(dll));

    // The unloaded library's fault handler is gone with it: exceptions and
    // faults in this program are handled as before.
    int caught = 0;
    try {
        throw 5;
    } catch (int v) {
        caught = v;
    }
    EXPECT_EQ(caught, 5);
    static volatile std::uintptr_t bad = 8;
    EXPECT_EQ(plr::guarded("AfterUnload", -1, [] { return *reinterpret_cast<volatile int*>(bad); }), -1);
}

TEST(Win32Dll, UnloadTakesTheWindowAwayWithoutEndingTheLoop) {
    HMODULE dll = LoadLibraryA(dllPath().c_str());
    ASSERT_NE(dll, nullptr);
    HWND hidden = hiddenWindowOf(dll);
    ASSERT_NE(hidden, nullptr);
    EXPECT_TRUE(FreeLibrary(dll));
    EXPECT_FALSE(IsWindow(hidden));
    WPARAM code = 0;
    EXPECT_FALSE(quitPosted(code));
    // Loading again registers the class again.
    dll = LoadLibraryA(dllPath().c_str());
    ASSERT_NE(dll, nullptr);
    EXPECT_NE(hiddenWindowOf(dll), nullptr);
    EXPECT_TRUE(FreeLibrary(dll));
}

}  // namespace
#endif  // _WIN32
