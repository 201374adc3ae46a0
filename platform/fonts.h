#pragma once
// Fonts from the operating system: the logical-font record hosts exchange,
// finding the font file that best answers a record, the system font dialog
// and the system code page for text that is not UTF-8.
#include <cstdint>
#include <string>

namespace plr::platform {

// The 60-byte logical-font record of the Windows API (LOGFONTA), field for
// field, so a host can hand the engine the record its own dialogs fill.
struct LogFontA {
    std::int32_t height = 0;  // < 0: character height in pixels; > 0: cell height; 0: default
    std::int32_t width = 0;
    std::int32_t escapement = 0;
    std::int32_t orientation = 0;
    std::int32_t weight = 0;  // 100..900, 400 normal, 700 bold; 0: normal
    std::uint8_t italic = 0;
    std::uint8_t underline = 0;
    std::uint8_t strikeOut = 0;
    std::uint8_t charSet = 0;
    std::uint8_t outPrecision = 0;
    std::uint8_t clipPrecision = 0;
    std::uint8_t quality = 0;
    std::uint8_t pitchAndFamily = 0;
    char faceName[32] = {};
};
static_assert(sizeof(LogFontA) == 60, "LOGFONTA is 60 bytes");

// What a text drawer asks for: a family name (empty: the system's default
// sans-serif face), a weight 100..900 and an upright or italic style.
struct FontQuery {
    std::string family;
    std::int32_t weight = 400;
    bool italic = false;
};

// A font file and the face inside it. `exactFamily` is true when the face's
// family is the one asked for, false when the lookup fell back to another.
struct FontFile {
    std::string path;
    std::int32_t faceIndex = 0;
    bool exactFamily = false;
};

// Finds the file of the installed face that best answers `query`:
//   portable: fontconfig's match for family, weight and slant; a family that
//     is not installed gets fontconfig's best match (its default sans-serif
//     face for an unknown name), reported with exactFamily false;
//   Windows: the fonts listed under the registry's Fonts key, files in the
//     Windows fonts folder, the family matched by name with the weight and
//     italic closest to the query; a family that is not listed falls back to
//     Arial, then DejaVu Sans, then the first listed TrueType font.
// False when no font file at all can be found.
bool findFontFile(const FontQuery& query, FontFile& out);

// The system font dialog (ChooseFontA) owned by `owner`, with `font` as
// initial and result record, initial colour 0 and the given flags.
// `extendedError` receives CommDlgExtendedError's code when the result is 0
// (0: the user cancelled).
//   Windows: the real dialog, comdlg32 loaded at run time; a system without
//     it answers 0 with CDERR_INITIALIZATION (2).
//   portable: there is no dialog. The answer comes from the environment
//     variable PALORAN_FONT, "FAMILY[,HEIGHT[,WEIGHT[,ITALIC]]]" (HEIGHT as
//     in the record, negative for a character height in pixels; WEIGHT
//     100..900; ITALIC 0 or 1): when it is set the record is filled from it
//     (other fields zero) and the answer is 1; when it is unset or empty the
//     answer is 0 as for a cancelled dialog; when it cannot be read the
//     answer is 0 with CDERR_DIALOGFAILURE (0xFFFF).
std::int32_t chooseFont(void* owner, LogFontA& font, std::uint32_t flags, std::uint32_t& extendedError);

// Appends the code points of `text` read in the system code page (portable:
// Windows-1252; Windows: the ANSI code page) to `out`.
void decodeSystemCodePage(const char* text, std::u32string& out);

}  // namespace plr::platform
