#pragma once
// What each export's failure guard reports, from the export list
// (api/exports.inc; the build derives paloran_export_guards.inc from its guard
// columns, so every level reads them without reaching up into api/): for export X, exported::X::operation is the text written
// as "<operation> Excpt" and exported::X::failValue() the value X returns
// after a failure. Guards name the export, never a text:
//     return guardedExport<exported::PLR_CreateLayer>([&] { ... });
// A misspelt export name does not compile.
#include <cstdint>
#include <string_view>
#include <type_traits>

#include "core/guard.h"

namespace plr {

// Failure values that are engine state rather than constants; the engine
// state defines them.
std::int32_t undoLevelsInForce() noexcept;  // the history's level count

namespace exported {

#define PLR_EXPORT_GUARD(result, name, operationText, failure) \
    struct name {                                                \
        using Result = result;                                   \
        static constexpr const char* operation = operationText;  \
        static Result failValue() noexcept { return failure; }   \
    };
#include "paloran_export_guards.inc"
#undef PLR_EXPORT_GUARD

}  // namespace exported

// Operations that run under their own guard inside an export, with a text of
// their own rather than the export's.
namespace operation {
inline constexpr const char kMakeRandomTable[] = "MakeRandArrayByte";
inline constexpr const char kDropUndoneEntries[] = "RemoveAdandonedUndo";
inline constexpr const char kPluginScanCallback[] = "PhotoshopPluginScan_cb";
}  // namespace operation

// The export's guard: its text and its failure value from the export list.
template <class Export, class F>
typename Export::Result guardedExport(F&& body) noexcept {
    static_assert(std::string_view(Export::operation).size() > 0, "the export list gives this export no guard");
    if constexpr (std::is_void_v<typename Export::Result>) {
        guardedVoid(Export::operation, static_cast<F&&>(body));
    } else {
        return guarded(Export::operation, Export::failValue(), static_cast<F&&>(body));
    }
}

}  // namespace plr
