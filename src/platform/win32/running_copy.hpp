#pragma once
// One running clock per program folder: two copies started from one folder
// would both ring every hour and both write the one Configuration.ini at
// their end, the last one wiping out the other's changes. Copies in two
// folders, with two files, run side by side.
#include <windows.h>

#include <memory>
#include <string>

namespace orvane::win32 {

// The message a later start sends to the running clock's main window: come
// back on screen, out of the tray if it is there.
UINT comeBackMessage();

// What a start says when the clock of its folder runs but cannot be reached
// (another user's, or one whose memory or window keeps a plain start out):
// it does not start a second one.
inline constexpr wchar_t unreachableCopyText[] =
    L"Orvane fonctionne déjà depuis ce dossier, mais ce démarrage ne peut pas le ramener à l'écran "
    L"(il a été démarré en tant qu'administrateur ou par un autre utilisateur).\r\n"
    L"Retrouvez-le dans la zone de notification ou dans la barre des tâches.";

// The calls by which one copy reaches the other, whatever the integrity
// level of each (an elevated clock and a plain start by the same user).
// Tests put their own in.
struct CopyCalls {
    BOOL(WINAPI* allowMessage)(HWND, UINT, DWORD, PCHANGEFILTERSTRUCT) = ChangeWindowMessageFilterEx;
    BOOL(WINAPI* allowForeground)(DWORD) = AllowSetForegroundWindow;
    BOOL(WINAPI* post)(HWND, UINT, WPARAM, LPARAM) = PostMessageW;
};

struct LocalFreer {
    void operator()(void* memory) const { LocalFree(memory); }
};
using SecurityDescriptor = std::unique_ptr<void, LocalFreer>;
// The shared memory's security: every start of this user may open it,
// elevated or not. Its access list grants the user (and the system), where
// an elevated token's own would grant only the administrators; its label is
// medium, where an elevated token's would be high and keep a plain start
// out. Nothing when the user cannot be told.
SecurityDescriptor runningCopySecurity();

class RunningCopy {
public:
    explicit RunningCopy(const std::wstring& exeFolder, CopyCalls calls = {});
    ~RunningCopy();
    RunningCopy(const RunningCopy&) = delete;
    RunningCopy& operator=(const RunningCopy&) = delete;

    // When another copy runs from the same folder: asks it to come back and
    // answers true; this copy then ends. A copy that is ending is waited for
    // (a few seconds at most), so that this one reads what it writes; one
    // that cannot be reached leaves this copy to start.
    bool handOver();
    // The clock of the folder runs, but this start could not reach it: say
    // so before ending.
    bool unreachable() const { return unreachable_; }
    // This copy's main window, found by the next start from the folder.
    void publish(HWND mainWindow);
    // This copy ends: a start from now on waits for it instead.
    void withdraw();

private:
    struct Slot;
    HANDLE mapping_ = nullptr;
    Slot* slot_ = nullptr;
    bool first_ = false;
    bool unreachable_ = false;
    CopyCalls calls_;
};

}  // namespace orvane::win32
