// The library's entry point: process attach registers the hidden window.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "engine/engine.h"
#include "platform/fault_guard.h"
#include "platform/platform.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) plr::platform::attach(plr::engine().host, instance);
    // A FreeLibrary while the process goes on (reserved is null) must not
    // leave the window behind with a procedure that is no longer mapped. At
    // process exit (reserved non-null) the system cleans up by itself.
    // The same holds for the fault guard's exception handler, which every
    // exception in the process would otherwise call into unmapped memory.
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        plr::platform::detach(plr::engine().host);
        plr::platform::removeFaultGuard();
    }
    return TRUE;
}
