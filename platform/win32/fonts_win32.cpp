// Fonts through the Win32 API: the registry's font list for the files, the
// common font dialog loaded at run time, the ANSI code page for text that is
// not UTF-8.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <commdlg.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/fonts.h"

namespace plr::platform {

static_assert(sizeof(LOGFONTA) == sizeof(LogFontA));

// CommDlgExtendedError's code for a dialog that could not start (cderr.h).
constexpr std::uint32_t kDialogInitFailed = 0x0002;

namespace {

// One face the registry lists: "Arial Bold Italic (TrueType)" = "arialbi.ttf";
// a collection lists its faces joined by " & ", in file order.
struct ListedFace {
    std::string family;
    std::int32_t weight = 400;
    bool italic = false;
    std::string path;
    std::int32_t index = 0;
};

std::string lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return s;
}

bool endsWith(const std::string& s, const char* tail) {
    const std::size_t n = std::strlen(tail);
    return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

// Style words at the end of a listed name, with the weight they stand for
// (0: italic, which leaves the weight alone).
struct StyleWord {
    const char* word;
    std::int32_t weight;
};
constexpr StyleWord kStyleWords[] = {
    {" italic", 0},     {" oblique", 0},   {" regular", 400},  {" bold", 700},     {" semibold", 600},
    {" demibold", 600}, {" light", 300},   {" semilight", 350}, {" extralight", 200}, {" thin", 100},
    {" medium", 500},   {" black", 900},   {" heavy", 900},    {" extrabold", 800},
};

// Splits "Family Bold Italic" into the family and its style.
ListedFace parseListedName(std::string name) {
    ListedFace face;
    for (bool more = true; more;) {
        more = false;
        const std::string low = lower(name);
        for (const StyleWord& s : kStyleWords) {
            const std::size_t cut = std::strlen(s.word);
            if (!endsWith(low, s.word) || name.size() < cut) continue;
            if (s.weight == 0) face.italic = true;
            else face.weight = s.weight;
            name.erase(name.size() - cut);
            more = true;
            break;
        }
    }
    face.family = name;
    return face;
}

void readFontList(HKEY root, const std::string& fontsFolder, std::vector<ListedFace>& out) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return;
    for (DWORD i = 0;; ++i) {
        char name[512];
        BYTE data[MAX_PATH * 2];
        DWORD nameLength = sizeof name, dataLength = sizeof data - 1, type = 0;
        const LONG r = RegEnumValueA(key, i, name, &nameLength, nullptr, &type, data, &dataLength);
        if (r == ERROR_NO_MORE_ITEMS) break;
        if (r != ERROR_SUCCESS || type != REG_SZ) continue;
        data[dataLength] = 0;
        std::string listed(name, nameLength);
        std::string file(reinterpret_cast<const char*>(data));
        if (!file.empty() && file.back() == '\0') file.pop_back();
        // Only outline fonts FreeType can scale: "(TrueType)" and "(OpenType)" entries.
        std::size_t paren = listed.rfind(" (");
        if (paren == std::string::npos) continue;
        const std::string kind = lower(listed.substr(paren));
        if (kind != " (truetype)" && kind != " (opentype)") continue;
        listed.resize(paren);
        const bool fullPath = file.size() > 2 && (file[1] == ':' || file[0] == '\\');
        const std::string path = fullPath ? file : fontsFolder + file;
        std::int32_t index = 0;
        for (std::size_t start = 0;; ++index) {
            const std::size_t amp = listed.find(" & ", start);
            ListedFace face = parseListedName(listed.substr(start, amp == std::string::npos ? amp : amp - start));
            face.path = path;
            face.index = index;
            out.push_back(face);
            if (amp == std::string::npos) break;
            start = amp + 3;
        }
    }
    RegCloseKey(key);
}

// The listed face of `family` closest to the weight and style asked for.
const ListedFace* closestOfFamily(const std::vector<ListedFace>& faces, const std::string& family,
                                  const FontQuery& query) {
    const ListedFace* best = nullptr;
    std::int32_t bestScore = 0;
    const std::string wanted = lower(family);
    for (const ListedFace& f : faces) {
        if (lower(f.family) != wanted) continue;
        const std::int32_t score = std::abs(f.weight - query.weight) + (f.italic != query.italic ? 1000 : 0);
        if (!best || score < bestScore) best = &f, bestScore = score;
    }
    return best;
}

}  // namespace

bool findFontFile(const FontQuery& query, FontFile& out) {
    out = FontFile{};
    char windows[MAX_PATH + 1] = {};
    const UINT n = GetWindowsDirectoryA(windows, sizeof windows);
    if (n == 0 || n >= sizeof windows) return false;
    std::vector<ListedFace> faces;
    readFontList(HKEY_LOCAL_MACHINE, std::string(windows) + "\\Fonts\\", faces);
    readFontList(HKEY_CURRENT_USER, std::string(windows) + "\\Fonts\\", faces);
    if (faces.empty()) return false;
    const ListedFace* face = query.family.empty() ? nullptr : closestOfFamily(faces, query.family, query);
    out.exactFamily = face != nullptr;
    for (const char* fallback : {"Arial", "DejaVu Sans"})
        if (!face) face = closestOfFamily(faces, fallback, query);
    if (!face) face = &faces.front();
    if (query.family.empty()) out.exactFamily = true;  // the default face was asked for
    out.path = face->path;
    out.faceIndex = face->index;
    return true;
}

std::int32_t chooseFont(void* owner, LogFontA& font, std::uint32_t flags, std::uint32_t& extendedError) {
    extendedError = 0;
    using ChooseFontFn = BOOL(WINAPI*)(LPCHOOSEFONTA);
    using ExtendedErrorFn = DWORD(WINAPI*)();
    HMODULE dialogs = LoadLibraryA("comdlg32.dll");
    if (!dialogs) {
        extendedError = kDialogInitFailed;
        return 0;
    }
    auto choose = reinterpret_cast<ChooseFontFn>(reinterpret_cast<void*>(GetProcAddress(dialogs, "ChooseFontA")));
    auto lastError =
        reinterpret_cast<ExtendedErrorFn>(reinterpret_cast<void*>(GetProcAddress(dialogs, "CommDlgExtendedError")));
    std::int32_t result = 0;
    if (!choose || !lastError) {
        extendedError = kDialogInitFailed;
    } else {
        CHOOSEFONTA cf{};
        cf.lStructSize = sizeof cf;
        cf.hwndOwner = static_cast<HWND>(owner);
        cf.lpLogFont = reinterpret_cast<LOGFONTA*>(&font);
        cf.Flags = flags;
        cf.rgbColors = 0;
        result = choose(&cf);
        if (result == 0) extendedError = lastError();
    }
    FreeLibrary(dialogs);
    return result;
}

void decodeSystemCodePage(const char* text, std::u32string& out) {
    const int units = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (units <= 1) return;
    std::vector<wchar_t> wide(static_cast<std::size_t>(units));
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), units);
    for (int i = 0; i + 1 < units; ++i) {
        const char32_t u = static_cast<char16_t>(wide[static_cast<std::size_t>(i)]);
        if (u >= 0xD800 && u < 0xDC00 && i + 2 < units) {
            const char32_t low = static_cast<char16_t>(wide[static_cast<std::size_t>(i) + 1]);
            if (low >= 0xDC00 && low < 0xE000) {
                out.push_back(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        out.push_back(u);
    }
}

}  // namespace plr::platform
