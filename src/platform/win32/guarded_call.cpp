// The one call into a plug-in's code. A plug-in is native code built by
// anybody with any compiler: whatever it raises must not end the clock.
//
// A frame handler is put around the call, so that it sees only what the
// plug-in did not handle itself (a plug-in may well raise and catch its own
// exceptions): in the 32-bit program a registration record on the thread's
// handler chain, left by longjmp; in the 64-bit program a small function
// whose unwind data names the handler, left by the system's own unwinding.
// Inside that frame a C++ catch takes what the program's runtime can
// recognise, and a runtime that aborts (the 32-bit case of a C++ exception
// that no frame can catch across modules) is turned into a structured
// exception the frame handler takes.
#include <windows.h>

#include <csetjmp>
#include <csignal>
#include <cstdlib>
#include <exception>
#include <malloc.h>
#include <string>

#include "platform/win32/plugin_services.hpp"

namespace orvane::win32 {

namespace {

// Raised in place of an abort; the customer bit keeps it apart from the system's codes.
constexpr DWORD abortedCode = 0xE0AB0127;

std::wstring widenMessage(const char* text) {
    // UTF-8 when the bytes are UTF-8, else the system's code page.
    for (const UINT codePage : {static_cast<UINT>(CP_UTF8), static_cast<UINT>(CP_ACP)}) {
        const DWORD flags = codePage == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0;
        const int length = MultiByteToWideChar(codePage, flags, text, -1, nullptr, 0);
        if (length <= 0) continue;
        std::wstring wide(static_cast<std::size_t>(length), L'\0');
        MultiByteToWideChar(codePage, flags, text, -1, wide.data(), length);
        wide.pop_back();
        return wide;
    }
    return {};
}

void describe(const EXCEPTION_RECORD& record, PluginCallResult& result) {
    result.code = record.ExceptionCode;
    if (record.ExceptionCode == abortedCode) {
        result.outcome = PluginCallResult::Outcome::aborted;
        return;
    }
    result.outcome = PluginCallResult::Outcome::structuredException;
    if (record.ExceptionCode == EXCEPTION_ACCESS_VIOLATION && record.NumberParameters >= 2) {
        switch (record.ExceptionInformation[0]) {
        case 0:
            result.access = PluginCallResult::Access::read;
            break;
        case 1:
            result.access = PluginCallResult::Access::write;
            break;
        case 8:
            result.access = PluginCallResult::Access::execute;
            break;
        default:
            break;
        }
        result.accessAddress = record.ExceptionInformation[1];
    }
}

void __cdecl raiseInsteadOfAbort(int) {
    RaiseException(abortedCode, EXCEPTION_NONCONTINUABLE, 0, nullptr);
}

// What must hold only while a plug-in runs: an abort becomes an exception the
// guard takes, and the runtime shows no box of its own before aborting (both
// modules share the system's C runtime, so the settings reach the plug-in).
class AbortCatcher {
public:
    AbortCatcher()
        : previousHandler_(std::signal(SIGABRT, raiseInsteadOfAbort)),
          previousErrorMode_(_set_error_mode(_OUT_TO_STDERR)) {}
    ~AbortCatcher() {
        _set_error_mode(previousErrorMode_);
        std::signal(SIGABRT, previousHandler_);
    }
    AbortCatcher(const AbortCatcher&) = delete;
    AbortCatcher& operator=(const AbortCatcher&) = delete;

private:
    void (*previousHandler_)(int);
    int previousErrorMode_;
};

}  // namespace

// Called from inside the frame guard: the C++ exceptions the program's runtime
// can take (in the 64-bit program, those of plug-ins built by the same kind of
// compiler).
extern "C" void orvane_call_plugin_entry(PluginLibraries::Entry entry, PluginCallResult* result) {
    try {
        entry();
    } catch (const std::exception& error) {
        result->outcome = PluginCallResult::Outcome::cppException;
        result->message = widenMessage(error.what());
    } catch (...) {
        result->outcome = PluginCallResult::Outcome::cppException;
    }
}

#if defined(__i386__)

namespace {

// The registration record comes first: the handler is given its address.
struct Guard {
    EXCEPTION_REGISTRATION_RECORD registration;
    PluginCallResult* result;
    jmp_buf resume;
};

EXCEPTION_DISPOSITION NTAPI guardHandler(EXCEPTION_RECORD* record, void* establisherFrame, CONTEXT*, void*) {
    if ((record->ExceptionFlags & EXCEPTION_UNWIND) != 0) return ExceptionContinueSearch;
    Guard* guard = static_cast<Guard*>(establisherFrame);
    describe(*record, *guard->result);
    // The runtime's longjmp unwinds the handler chain down to the record that
    // was current at setjmp, running the plug-in's own clean-up on the way.
    longjmp(guard->resume, 1);
}

// The head of the thread's handler chain, at fs:0.
EXCEPTION_REGISTRATION_RECORD* handlerChain() {
    EXCEPTION_REGISTRATION_RECORD* head;
    asm volatile("movl %%fs:0, %0" : "=r"(head));
    return head;
}

void setHandlerChain(EXCEPTION_REGISTRATION_RECORD* head) { asm volatile("movl %0, %%fs:0" : : "r"(head) : "memory"); }

}  // namespace

PluginCallResult callGuarded(PluginLibraries::Entry entry) {
    PluginCallResult result;
    const AbortCatcher abortCatcher;
    EXCEPTION_REGISTRATION_RECORD* const outer = handlerChain();
    Guard guard{};
    guard.result = &result;
    if (setjmp(guard.resume) == 0) {
        guard.registration.Next = outer;
        guard.registration.Handler = guardHandler;
        setHandlerChain(&guard.registration);
        orvane_call_plugin_entry(entry, &result);
    }
    // The handler wrote into the result behind the compiler's back.
    asm volatile("" ::: "memory");
    // Whichever way it came back, the chain is the caller's again.
    setHandlerChain(outer);
    if (result.code == EXCEPTION_STACK_OVERFLOW) _resetstkoflw();
    return result;
}

#elif defined(__x86_64__)

extern "C" int orvane_plugin_guard(PluginLibraries::Entry entry, PluginCallResult* result);
extern "C" char orvane_plugin_guard_resume[];

// The guard's frame: the result's address at rbp-8 for the handler; the
// normal return gives 0, the handler's unwinding resumes at the label with 1.
asm(R"(
    .text
    .globl orvane_plugin_guard
    .def orvane_plugin_guard; .scl 2; .type 32; .endef
    .seh_proc orvane_plugin_guard
orvane_plugin_guard:
    pushq %rbp
    .seh_pushreg %rbp
    movq %rsp, %rbp
    .seh_setframe %rbp, 0
    subq $48, %rsp
    .seh_stackalloc 48
    .seh_endprologue
    .seh_handler orvane_plugin_guard_handler, @except
    movq %rdx, -8(%rbp)
    call orvane_call_plugin_entry
    xorl %eax, %eax
    .globl orvane_plugin_guard_resume
orvane_plugin_guard_resume:
    nop
    leaq 0(%rbp), %rsp
    popq %rbp
    ret
    .seh_endproc
)");

extern "C" EXCEPTION_DISPOSITION orvane_plugin_guard_handler(EXCEPTION_RECORD* record, void* establisherFrame,
                                                             CONTEXT* context, DISPATCHER_CONTEXT* dispatcher) {
    if ((record->ExceptionFlags & EXCEPTION_UNWIND) != 0) return ExceptionContinueSearch;
    auto* const result = *reinterpret_cast<PluginCallResult**>(static_cast<char*>(establisherFrame) - 8);
    describe(*record, *result);
    // Unwinds the plug-in's frames (running their clean-up) and resumes the
    // guard after its call, returning 1.
    RtlUnwindEx(establisherFrame, orvane_plugin_guard_resume, record, reinterpret_cast<void*>(1), context,
                dispatcher->HistoryTable);
    return ExceptionContinueSearch;
}

PluginCallResult callGuarded(PluginLibraries::Entry entry) {
    PluginCallResult result;
    const AbortCatcher abortCatcher;
    orvane_plugin_guard(entry, &result);
    if (result.code == EXCEPTION_STACK_OVERFLOW) _resetstkoflw();
    return result;
}

#else
#error "plug-ins are called on i686 and x86_64 only"
#endif

}  // namespace orvane::win32
