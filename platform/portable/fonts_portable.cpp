// Fonts without the Windows API: fontconfig finds the files, the font record
// comes from the environment instead of a dialog, and text that is not UTF-8
// is read as Windows-1252.
#include <fontconfig/fontconfig.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/fonts.h"

namespace plr::platform {

namespace {

bool sameFamily(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// True when any of the match's family names (fontconfig lists a face's
// names in several languages) is the one asked for.
bool matchHasFamily(FcPattern* match, const std::string& family) {
    FcChar8* name = nullptr;
    for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i)
        if (sameFamily(reinterpret_cast<const char*>(name), family)) return true;
    return false;
}

// Reads a decimal integer from the whole of `field`.
bool parseInt(const std::string& field, std::int32_t& out) {
    if (field.empty()) return false;
    char* end = nullptr;
    const long v = std::strtol(field.c_str(), &end, 10);
    if (*end != '\0' || v < -100000 || v > 100000) return false;
    out = static_cast<std::int32_t>(v);
    return true;
}

}  // namespace

bool findFontFile(const FontQuery& query, FontFile& out) {
    out = FontFile{};
    FcConfig* config = FcConfigGetCurrent();  // initialises fontconfig on first use
    if (!config) return false;
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return false;
    const std::string family = query.family.empty() ? std::string("sans-serif") : query.family;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(query.weight));
    FcPatternAddInteger(pattern, FC_SLANT, query.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return false;
    FcChar8* file = nullptr;
    int index = 0;
    bool found = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch;
    if (found) {
        out.path = reinterpret_cast<const char*>(file);
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) out.faceIndex = index;
        // A generic name ("sans-serif") or no name at all asks for the default face: that is exact.
        out.exactFamily = query.family.empty() || matchHasFamily(match, query.family);
    }
    FcPatternDestroy(match);
    return found;
}

std::int32_t chooseFont(void* /*owner*/, LogFontA& font, std::uint32_t /*flags*/, std::uint32_t& extendedError) {
    extendedError = 0;
    const char* answer = std::getenv("PALORAN_FONT");
    if (!answer || !*answer) return 0;
    // FAMILY[,HEIGHT[,WEIGHT[,ITALIC]]]
    std::string fields[4];
    int count = 1;
    for (const char* p = answer; *p; ++p) {
        if (*p == ',' && count < 4) ++count;
        else fields[count - 1] += *p;
    }
    LogFontA chosen;
    std::int32_t italic = 0;
    const bool ok = !fields[0].empty() && fields[0].size() < sizeof chosen.faceName &&
                    (count < 2 || parseInt(fields[1], chosen.height)) &&
                    (count < 3 || (parseInt(fields[2], chosen.weight) && chosen.weight >= 0 && chosen.weight <= 1000)) &&
                    (count < 4 || (parseInt(fields[3], italic) && (italic == 0 || italic == 1)));
    if (!ok) {
        extendedError = 0xFFFF;  // CDERR_DIALOGFAILURE
        return 0;
    }
    std::memcpy(chosen.faceName, fields[0].c_str(), fields[0].size() + 1);
    chosen.italic = static_cast<std::uint8_t>(italic);
    font = chosen;
    return 1;
}

void decodeSystemCodePage(const char* text, std::u32string& out) {
    // Windows-1252: Latin-1 except 0x80..0x9F; the five unassigned bytes keep their own value.
    static constexpr char16_t k80[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                         0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                         0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                         0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p)
        out.push_back(*p >= 0x80 && *p < 0xA0 ? char32_t{k80[*p - 0x80]} : char32_t{*p});
}

}  // namespace plr::platform
