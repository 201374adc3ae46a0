#pragma once
// Processor faults inside the failure guard.
//
// runFaultGuarded(fn, context) calls fn(context). On Windows a processor fault
// raised on this thread while fn runs (access violation, in-page error, integer
// divide by zero or overflow, illegal instruction, an unmasked floating-point
// exception) ends fn there and the call returns false; otherwise it returns
// true. Faults outside a guarded call, on other threads, and every other
// exception code pass on to whatever handler the host has.
//
// How (platform/win32/fault_guard_win32.cpp): GCC has no __try, so a vectored
// exception handler, installed at the first guarded call, claims the fault
// codes above while a guard is active on the faulting thread. It does not jump
// from inside the handler: it points the faulting context at a landing routine
// and lets the system resume there, out of exception dispatch, and the landing
// routine __builtin_longjmp()s back to the innermost active guard (guards nest).
// __builtin_setjmp/__builtin_longjmp restore the stack and frame pointers and
// the guard's frame saves every callee-saved register, without consulting any
// unwinder. On 32-bit Windows the frame-based handler chain (fs:[0]) is put
// back to what it was on entry, in case the fault came from inside a system
// function that had registered a handler.
//
// What this skips: nothing between the fault and the guard is unwound. The
// destructors of the frames fn had entered do not run (a Block<T> there is not
// released, a lock is not unlocked), and work done before the fault stays
// done, as the guard promises for every failure. A fault inside a C++ catch
// block leaves that exception object behind. This is the price of resuming
// after a fault at all; the engine is written so that it does not fault (every
// index and size is checked), and this guard is the last line that keeps a
// host alive when it does. Because the handler is vectored it runs before any
// frame-based handler below the guard: a system function that would have
// handled a fault inside itself (a probe of a bad pointer) sees the guard
// end instead. Stack overflow is not claimed: there is no stack to land on.
//
// Elsewhere there is no sound way to resume after a fault (a signal handler
// cannot know what the faulting code left half done in the C library), so the
// portable back end just calls fn.

namespace plr::platform {

using FaultGuardedFn = void (*)(void* context);

#if defined(_WIN32)
bool runFaultGuarded(FaultGuardedFn fn, void* context) noexcept;
// Unloading: the handler must not outlive the code it points at.
void removeFaultGuard() noexcept;
#else
inline bool runFaultGuarded(FaultGuardedFn fn, void* context) noexcept {
    fn(context);
    return true;
}
#endif

}  // namespace plr::platform
