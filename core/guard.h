#pragma once
// The failure guard. Runs `body`; any failure raised inside it (EngineFailure
// for a missing block, std::bad_alloc or any other exception) ends the body
// there, copies "<operation> Excpt" into the last-error text and yields
// `failValue`. Work done before the failure stays done.
//
// Processor faults: the Windows build also catches access violations, divide
// by zero and the like (platform/fault_guard.h). Elsewhere there is no sound
// way to resume after a fault, so the engine is written so it cannot fault:
// every index is checked against the table, every page-sized walk checks the
// plane it walks has the page's size, and every size product is computed in
// 64 bits before allocating.
#include <type_traits>

#include "core/last_error.h"
#include "platform/fault_guard.h"

namespace plr {

namespace detail {

// Runs body() and reports whether it ran to its end: false for an exception
// or (Windows) a processor fault. `store` receives the result when it did.
template <class F, class Store>
bool runGuardedBody(F& body, Store& store) noexcept {
    struct Run {
        F* body;
        Store* store;
        bool finished;
    } run{&body, &store, false};
    const bool noFault = platform::runFaultGuarded(
        [](void* p) noexcept {
            Run& r = *static_cast<Run*>(p);
            try {
                (*r.store)(*r.body);
                r.finished = true;
            } catch (...) {
            }
        },
        &run);
    return noFault && run.finished;
}

}  // namespace detail

template <class R, class F>
R guarded(const char* operation, R failValue, F&& body) noexcept {
    R result = failValue;
    auto store = [&result](auto& b) { result = static_cast<R>(b()); };
    if (detail::runGuardedBody(body, store)) return result;
    setFailureText(operation);
    return failValue;
}

// For operations without a result: true when the body ran to its end.
template <class F>
bool guardedVoid(const char* operation, F&& body) noexcept {
    auto store = [](auto& b) { b(); };
    if (detail::runGuardedBody(body, store)) return true;
    setFailureText(operation);
    return false;
}

// For exports whose failures the host is never told of: a failure ends the
// body and yields `failValue`; the last-error text stays as it was.
template <class R, class F>
R guardedQuietly(R failValue, F&& body) noexcept {
    R result = failValue;
    auto store = [&result](auto& b) { result = static_cast<R>(b()); };
    return detail::runGuardedBody(body, store) ? result : failValue;
}
template <class F>
void guardedQuietly(F&& body) noexcept {
    auto store = [](auto& b) { b(); };
    detail::runGuardedBody(body, store);
}

}  // namespace plr
