// A plug-in that raises and handles its own exceptions, the C++ way and, in
// the 32-bit build, the way another compiler's code does (a frame handler of
// its own on the thread's chain). None of it is the program's business.
#include <windows.h>

#include <stdexcept>

#include "orvane_plugin.h"

namespace {

int completed = 0;

#if defined(__i386__)
EXCEPTION_DISPOSITION NTAPI ownHandler(EXCEPTION_RECORD* record, void*, CONTEXT*, void*) {
    if ((record->ExceptionFlags & EXCEPTION_UNWIND) != 0) return ExceptionContinueSearch;
    return record->ExceptionCode == 0xE06D7363 ? ExceptionContinueExecution : ExceptionContinueSearch;
}

void raiseAndHandle() {
    EXCEPTION_REGISTRATION_RECORD record{};
    asm volatile("movl %%fs:0, %0" : "=r"(record.Next));
    record.Handler = ownHandler;
    asm volatile("movl %0, %%fs:0" : : "r"(&record) : "memory");
    RaiseException(0xE06D7363, 0, 0, nullptr);
    asm volatile("movl %0, %%fs:0" : : "r"(record.Next) : "memory");
}
#else
void raiseAndHandle() {}
#endif

}  // namespace

ORVANE_PLUGIN void __cdecl plugin(void) {
    try {
        throw std::runtime_error("attrapée sur place");
    } catch (const std::exception&) {
    }
    raiseAndHandle();
    ++completed;
}

extern "C" __declspec(dllexport) int interne_appels(void) { return completed; }
