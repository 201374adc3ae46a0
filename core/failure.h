#pragma once
// Inside the engine a failed step raises EngineFailure; the export's guard
// (api/guard.h) turns it, and anything else raised, into the "<Name> Excpt"
// last-error text and the export's failure value. One funnel: put a
// breakpoint on fail() to see every failure.
namespace plr {

struct EngineFailure {
    const char* what;
};

[[noreturn]] void fail(const char* what);

// Allocation results the step cannot do without.
inline void need(bool ok, const char* what = "allocation") {
    if (!ok) fail(what);
}
template <class T>
T* need(T* p, const char* what = "allocation") {
    if (!p) fail(what);
    return p;
}

}  // namespace plr
