#pragma once
// The failure guard. Runs `body`; any failure raised inside it (EngineFailure
// for a missing block, std::bad_alloc or any other exception) ends the body
// there, copies "<operation> Excpt" into the last-error text and yields
// `failValue`. Work done before the failure stays done.
//
// Processor faults: the Windows build also catches structured exceptions
// (access violations, divide by zero) in the export guard; see
// platform/fault_guard.h. Elsewhere there is no sound way to resume after a
// fault, so the engine is written so it cannot fault: every index is checked
// against the table, every page-sized walk checks the plane it walks has the
// page's size, and every size product is computed in 64 bits before allocating.
#include "core/last_error.h"

namespace plr {

template <class R, class F>
R guarded(const char* operation, R failValue, F&& body) noexcept {
    try {
        return static_cast<R>(body());
    } catch (...) {
        setFailureText(operation);
        return failValue;
    }
}

// For operations without a result: true when the body ran to its end.
template <class F>
bool guardedVoid(const char* operation, F&& body) noexcept {
    try {
        body();
        return true;
    } catch (...) {
        setFailureText(operation);
        return false;
    }
}

}  // namespace plr
