#pragma once
// One running clock per program folder: two copies started from one folder
// would both ring every hour and both write the one Configuration.ini at
// their end, the last one wiping out the other's changes. Copies in two
// folders, with two files, run side by side.
#include <windows.h>

#include <string>

namespace orvane::win32 {

// The message a later start sends to the running clock's main window: come
// back on screen, out of the tray if it is there.
UINT comeBackMessage();

class RunningCopy {
public:
    explicit RunningCopy(const std::wstring& exeFolder);
    ~RunningCopy();
    RunningCopy(const RunningCopy&) = delete;
    RunningCopy& operator=(const RunningCopy&) = delete;

    // When another copy runs from the same folder: asks it to come back and
    // answers true; this copy then ends. A copy that is ending is waited for
    // (a few seconds at most), so that this one reads what it writes; one
    // that cannot be reached leaves this copy to start.
    bool handOver();
    // This copy's main window, found by the next start from the folder.
    void publish(HWND mainWindow);
    // This copy ends: a start from now on waits for it instead.
    void withdraw();

private:
    struct Slot;
    HANDLE mapping_ = nullptr;
    Slot* slot_ = nullptr;
    bool first_ = false;
};

}  // namespace orvane::win32
