// Process attach for programs that link the engine in (the tests, tools):
// there DllMain is never called, so a constructor does its work. In
// paloran.dll the constructor finds it is not in the program's own module and
// leaves attaching to DllMain.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "engine/engine.h"
#include "platform/platform.h"

namespace {

[[gnu::constructor]] void attachLinkedEngine() {
    HMODULE self = nullptr;
    const auto flags = GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
    if (!GetModuleHandleExA(flags, reinterpret_cast<LPCSTR>(&attachLinkedEngine), &self)) return;
    if (self == GetModuleHandleA(nullptr)) plr::platform::attach(plr::engine().host, self);
}

}  // namespace
