// Processor faults inside the failure guard; see platform/fault_guard.h for
// the design and what it skips.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <float.h>

#include "platform/fault_guard.h"

namespace plr::platform {
namespace {

// One per active guard, on the guard's stack; the innermost is in the
// thread's TLS slot.
struct GuardFrame {
    void* jump[5];  // __builtin_setjmp buffer
    GuardFrame* outer;
#if !defined(_WIN64)
    void* handlerChain;  // fs:[0] on entry
#endif
};

DWORD gSlot = TLS_OUT_OF_INDEXES;
void* gHandler = nullptr;

// The innermost guard of this thread. TlsGetValue resets the thread's
// last-error code, which belongs to the host and to the body's system calls.
GuardFrame* innermost() {
    const DWORD lastError = GetLastError();
    auto* frame = static_cast<GuardFrame*>(TlsGetValue(gSlot));
    SetLastError(lastError);
    return frame;
}

#if !defined(_WIN64)
// fs:[0] heads the thread's chain of frame-based handlers.
void* handlerChainHead() {
    void* head;
    asm volatile("movl %%fs:0, %0" : "=r"(head));
    return head;
}
void setHandlerChainHead(void* head) { asm volatile("movl %0, %%fs:0" : : "r"(head) : "memory"); }
#endif

bool isProcessorFault(DWORD code) {
    switch (code) {
        case EXCEPTION_ACCESS_VIOLATION:
        case EXCEPTION_IN_PAGE_ERROR:
        case EXCEPTION_DATATYPE_MISALIGNMENT:
        case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
        case EXCEPTION_INT_DIVIDE_BY_ZERO:
        case EXCEPTION_INT_OVERFLOW:
        case EXCEPTION_ILLEGAL_INSTRUCTION:
        case EXCEPTION_PRIV_INSTRUCTION:
        case EXCEPTION_FLT_DENORMAL_OPERAND:
        case EXCEPTION_FLT_DIVIDE_BY_ZERO:
        case EXCEPTION_FLT_INEXACT_RESULT:
        case EXCEPTION_FLT_INVALID_OPERATION:
        case EXCEPTION_FLT_OVERFLOW:
        case EXCEPTION_FLT_STACK_CHECK:
        case EXCEPTION_FLT_UNDERFLOW:
        case 0xC00002B4:  // STATUS_FLOAT_MULTIPLE_FAULTS (SSE)
        case 0xC00002B5:  // STATUS_FLOAT_MULTIPLE_TRAPS (SSE)
            return true;
        default:
            return false;
    }
}

// Runs in place of the faulting instruction, outside exception dispatch.
[[noreturn]] void landInGuard() {
    GuardFrame* frame = innermost();
    _clearfp();  // a pending x87 exception would fault again at the next instruction
    __builtin_longjmp(frame->jump, 1);
}

LONG CALLBACK onException(EXCEPTION_POINTERS* info) {
    if (!isProcessorFault(info->ExceptionRecord->ExceptionCode)) return EXCEPTION_CONTINUE_SEARCH;
    if (!innermost()) return EXCEPTION_CONTINUE_SEARCH;  // no guard on this thread
    CONTEXT* c = info->ContextRecord;
    // Resume in landInGuard as if it had been called: some room below the
    // faulting stack pointer, aligned as after a call instruction.
#if defined(_WIN64)
    c->Rsp = ((c->Rsp - 256) & ~DWORD64{15}) - 8;
    c->Rip = reinterpret_cast<DWORD64>(&landInGuard);
#else
    c->Esp = ((c->Esp - 256) & ~DWORD{15}) - 4;
    c->Eip = reinterpret_cast<DWORD>(&landInGuard);
#endif
    return EXCEPTION_CONTINUE_EXECUTION;
}

struct Installed {
    Installed() {
        gSlot = TlsAlloc();
        if (gSlot != TLS_OUT_OF_INDEXES) gHandler = AddVectoredExceptionHandler(1, onException);
    }
};

}  // namespace

void removeFaultGuard() noexcept {
    if (gHandler) RemoveVectoredExceptionHandler(gHandler);
    gHandler = nullptr;
    if (gSlot != TLS_OUT_OF_INDEXES) TlsFree(gSlot);
    gSlot = TLS_OUT_OF_INDEXES;
}

bool runFaultGuarded(FaultGuardedFn fn, void* context) noexcept {
    static const Installed installed;
    if (gSlot == TLS_OUT_OF_INDEXES) {  // no TLS slot: run unguarded
        fn(context);
        return true;
    }
    GuardFrame frame;
    frame.outer = innermost();
#if !defined(_WIN64)
    frame.handlerChain = handlerChainHead();
#endif
    if (__builtin_setjmp(frame.jump)) {
        // Landed here from a fault inside fn.
#if !defined(_WIN64)
        setHandlerChainHead(frame.handlerChain);
#endif
        TlsSetValue(gSlot, frame.outer);
        return false;
    }
    TlsSetValue(gSlot, &frame);
    fn(context);
    TlsSetValue(gSlot, frame.outer);
    return true;
}

}  // namespace plr::platform
