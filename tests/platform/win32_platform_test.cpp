// The Win32 back end as the engine linked into this program sees it: the
// hidden window, its procedure, the system queries and the host's windows.
#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "engine_fixture.h"
#include "platform/platform.h"

namespace plr::test {
namespace {

using Win32Platform = EngineTest;

constexpr char kClass[] = "Quenvale DLL window";
constexpr char kTitle[] = "QV Internal WND";

TEST_F(Win32Platform, HiddenWindowExistsAfterLoad) {
    HWND found = FindWindowA(kClass, kTitle);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found, static_cast<HWND>(engine().host.hiddenWindow));
    EXPECT_EQ(engine().host.moduleInstance, static_cast<void*>(GetModuleHandleA(nullptr)));
    EXPECT_FALSE(IsWindowVisible(found));
    EXPECT_EQ(GetWindowLongPtrA(found, GWL_STYLE) & (WS_VISIBLE | WS_CHILD | WS_POPUP), 0);
    EXPECT_EQ(GetWindowLongPtrA(found, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, 0);  // the system may add an edge
    EXPECT_EQ(GetClassLongPtrA(found, GCL_STYLE), static_cast<ULONG_PTR>(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(found, GWLP_HINSTANCE)), GetModuleHandleA(nullptr));
    EXPECT_EQ(GetParent(found), nullptr);
    EXPECT_EQ(GetWindowThreadProcessId(found, nullptr), GetCurrentThreadId());
}

TEST_F(Win32Platform, DisplaySettingsMessageSetsTheFlagOnce) {
    HWND hidden = static_cast<HWND>(engine().host.hiddenWindow);
    ASSERT_NE(hidden, nullptr);
    EXPECT_EQ(PLR_IsDisplayChanged(), 0);
    // What the system sends every top-level window after a mode change: depth, width | height << 16.
    EXPECT_EQ(SendMessageA(hidden, WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768)), 0);
    EXPECT_EQ(PLR_IsDisplayChanged(), 1);
    EXPECT_EQ(PLR_IsDisplayChanged(), 0);

    SendMessageA(hidden, WM_SETTINGCHANGE, 0, 0);
    SendMessageA(hidden, WM_USERCHANGED, 0, 0);
    EXPECT_EQ(PLR_IsDisplayChanged(), 1);
    EXPECT_EQ(PLR_IsDisplayChanged(), 0);

    SendMessageA(hidden, WM_ACTIVATEAPP, FALSE, 0);
    SendMessageA(hidden, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    SendMessageA(hidden, WM_PAINT, 0, 0);
    EXPECT_EQ(PLR_IsDisplayChanged(), 0);
    SendMessageA(hidden, WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_EQ(PLR_IsDisplayChanged(), 1);
    SendMessageA(hidden, WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
    EXPECT_EQ(PLR_IsDisplayChanged(), 1);
    EXPECT_EQ(PLR_IsDisplayChanged(), 0);
}

TEST_F(Win32Platform, BroadcastReachesTheHiddenWindow) {
    DWORD_PTR result = 0;
    // A real broadcast to every top-level window; the hidden one belongs to this
    // thread, so it is handled during the call.
    SendMessageTimeoutA(HWND_BROADCAST, WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768), SMTO_ABORTIFHUNG, 2000,
                        &result);
    EXPECT_EQ(PLR_IsDisplayChanged(), 1);
    EXPECT_EQ(PLR_IsDisplayChanged(), 0);
}

TEST_F(Win32Platform, SendToHiddenWindowGoesThroughTheProcedure) {
    platform::sendToHiddenWindow(engine().host, platform::kWmDisplayChange, 0);
    EXPECT_EQ(PLR_IsDisplayChanged(), 1);
    // The message numbers the shared rule knows are the system's.
    EXPECT_EQ(platform::kWmSettingChange, static_cast<std::uint32_t>(WM_SETTINGCHANGE));
    EXPECT_EQ(platform::kWmUserChanged, static_cast<std::uint32_t>(WM_USERCHANGED));
    EXPECT_EQ(platform::kWmDisplayChange, static_cast<std::uint32_t>(WM_DISPLAYCHANGE));
    EXPECT_EQ(platform::kWmActivateApp, static_cast<std::uint32_t>(WM_ACTIVATEAPP));
    EXPECT_EQ(platform::kWmPowerBroadcast, static_cast<std::uint32_t>(WM_POWERBROADCAST));
}

TEST_F(Win32Platform, SystemQueriesAreTheSystemsAnswers) {
    EXPECT_EQ(PLR_GetWindowBackgroundColor(), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(PLR_GetWindowTextColor(), GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(PLR_GetWindowCaptionSize(), GetSystemMetrics(SM_CYCAPTION));
    EXPECT_EQ(PLR_GetWindowSmallCaptionSize(), GetSystemMetrics(SM_CYSMCAPTION));
    EXPECT_EQ(PLR_GetWindowFixedFrameSize(), GetSystemMetrics(SM_CYDLGFRAME));
    EXPECT_GT(PLR_GetWindowCaptionSize(), 0);
    EXPECT_LT(PLR_GetWindowCaptionSize(), 200);

    MEMORYSTATUSEX ms{};
    ms.dwLength = sizeof ms;
    ASSERT_TRUE(GlobalMemoryStatusEx(&ms));
    EXPECT_EQ(PLR_GetTotalPhyMemory(), static_cast<uint32_t>(ms.ullTotalPhys >> 20));
    EXPECT_EQ(PLR_GetTotalPgMemory(), static_cast<uint32_t>(ms.ullTotalPageFile >> 20));
    EXPECT_EQ(PLR_GetTotalVirMemory(), static_cast<uint32_t>(ms.ullTotalVirtual >> 20));
    EXPECT_GT(PLR_GetTotalPhyMemory(), 0u);
    EXPECT_LE(PLR_GetAvailPhyMemory(), PLR_GetTotalPhyMemory());
    EXPECT_LE(PLR_GetAvailPgMemory(), PLR_GetTotalPgMemory());
    EXPECT_LE(PLR_GetAvailVirMemory(), PLR_GetTotalVirMemory());
    EXPECT_GT(PLR_GetAvailVirMemory(), 0u);

    char expected[MAX_PATH + 1] = {};
    ASSERT_GT(GetWindowsDirectoryA(expected, sizeof expected), 0u);
    const char* dir = PLR_GetDirInfo();
    EXPECT_STREQ(dir, expected);
    EXPECT_EQ(PLR_GetDirInfo(), dir);  // one engine-owned buffer
    ASSERT_GE(std::strlen(dir), 3u);
    EXPECT_EQ(dir[1], ':');
}

TEST_F(Win32Platform, CompositionAnswerMatchesDwmapi) {
    BOOL expected = FALSE;
    if (HMODULE dwm = LoadLibraryA("dwmapi.dll")) {
        using Fn = HRESULT(WINAPI*)(BOOL*);
        auto fn = reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(dwm, "DwmIsCompositionEnabled")));
        if (!fn || FAILED(fn(&expected))) expected = FALSE;
        FreeLibrary(dwm);
    }
    EXPECT_EQ(PLR_IsCompositionEnabled(), expected ? 1 : 0);
    EXPECT_EQ(PLR_IsCompositionEnabled(), PLR_IsCompositionEnabled());
}

// A plain top-level window that records the messages it gets.
struct RecordingWindow {
    static inline std::vector<std::pair<UINT, WPARAM>> seen;
    HWND window = nullptr;

    static LRESULT CALLBACK proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
        if (m == WM_SETREDRAW || m == WM_NCPAINT || m == WM_ERASEBKGND) seen.emplace_back(m, wp);
        return DefWindowProcA(w, m, wp, lp);
    }
    explicit RecordingWindow(DWORD style) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "paloran test window";
        RegisterClassA(&wc);  // fails harmlessly when already registered
        window = CreateWindowExA(0, wc.lpszClassName, "test", style, 100, 50, 300, 200, nullptr, nullptr,
                                 wc.hInstance, nullptr);
        seen.clear();
    }
    ~RecordingWindow() { DestroyWindow(window); }
    static bool saw(UINT m, WPARAM wp) {
        for (auto& s : seen)
            if (s.first == m && s.second == wp) return true;
        return false;
    }
    static bool saw(UINT m) {
        for (auto& s : seen)
            if (s.first == m) return true;
        return false;
    }
};

TEST_F(Win32Platform, WindowBasePosSetsTheRestoredRectangle) {
    RecordingWindow owner(WS_OVERLAPPEDWINDOW);
    ASSERT_NE(owner.window, nullptr);
    PLR_CreateImage(owner.window, 4, 4, 4, 0);
    EXPECT_EQ(PLR_SetWindowBasePos(10, 20, 410, 320), 1);
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    ASSERT_TRUE(GetWindowPlacement(owner.window, &wp));
    EXPECT_EQ(wp.rcNormalPosition.left, 10);
    EXPECT_EQ(wp.rcNormalPosition.top, 20);
    EXPECT_EQ(wp.rcNormalPosition.right, 409);
    EXPECT_EQ(wp.rcNormalPosition.bottom, 319);
    PLR_DeleteImage();

    // A window that no longer exists has no placement to read.
    HWND gone = owner.window;
    DestroyWindow(owner.window);
    owner.window = nullptr;
    PLR_CreateImage(gone, 4, 4, 4, 0);
    EXPECT_EQ(PLR_SetWindowBasePos(10, 20, 110, 220), 0);
    PLR_DeleteImage();
}

TEST_F(Win32Platform, RedrawSwitchAndRedrawReachTheWindow) {
    RecordingWindow w(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ASSERT_NE(w.window, nullptr);
    platform::setWindowRedraw(w.window, 0);
    EXPECT_TRUE(w.saw(WM_SETREDRAW, 0));
    platform::setWindowRedraw(w.window, 1);
    EXPECT_TRUE(w.saw(WM_SETREDRAW, 1));

    ValidateRect(w.window, nullptr);
    ASSERT_FALSE(GetUpdateRect(w.window, nullptr, FALSE));
    RecordingWindow::seen.clear();
    platform::redrawWindow(w.window);
    RECT update{};
    EXPECT_TRUE(GetUpdateRect(w.window, &update, FALSE));  // invalidated: the whole client area
    RECT client{};
    GetClientRect(w.window, &client);
    EXPECT_TRUE(EqualRect(&update, &client));
    UpdateWindow(w.window);
    EXPECT_TRUE(w.saw(WM_ERASEBKGND));  // erase
    EXPECT_TRUE(w.saw(WM_NCPAINT));     // frame
}

TEST_F(Win32Platform, RenameRefusesToReplaceAFile) {
    char tempDir[MAX_PATH + 1];
    ASSERT_GT(GetTempPathA(sizeof tempDir, tempDir), 0u);
    const std::string base = std::string(tempDir) + "plr_move_" + std::to_string(GetCurrentProcessId());
    const std::string a = base + "_a.txt", b = base + "_b.txt";
    for (const std::string& p : {a, b}) {
        HANDLE h = CreateFileA(p.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        CloseHandle(h);
    }
    EXPECT_EQ(PLR_RenameFile(a.c_str(), b.c_str()), 0);
    EXPECT_NE(GetFileAttributesA(a.c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileA(b.c_str());
    EXPECT_EQ(PLR_RenameFile(a.c_str(), b.c_str()), 1);
    EXPECT_EQ(GetFileAttributesA(a.c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileA(b.c_str());
}

}  // namespace
}  // namespace plr::test
#endif  // _WIN32
