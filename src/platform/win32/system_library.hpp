#pragma once
// Functions of system libraries that the clock needs only now and then (the
// choosers, the media player, the shell), loaded the first time one is
// called: an idle clock then carries none of those libraries.
#include <windows.h>
#include <commdlg.h>
#include <mmsystem.h>
#include <powrprof.h>
#include <shellapi.h>
#include <shlwapi.h>
#include <uxtheme.h>

namespace orvane::win32::lazy {

// Each answers as the system function does, or as a failure when the
// library or the function cannot be had.
MCIERROR sendMciCommand(const wchar_t* command);
bool mciErrorText(MCIERROR error, wchar_t* text, UINT length);
bool openFileDialog(OPENFILENAMEW* request);
DWORD fileDialogError();
bool colorDialog(CHOOSECOLORW* request);
// The value index of a setting of the power plan in force, on mains or on
// battery; false when the system cannot tell.
bool activePowerSetting(const GUID& subgroup, const GUID& setting, bool onBattery, DWORD* index);
bool powerCapabilities(SYSTEM_POWER_CAPABILITIES* capabilities);
// True when the shell started something (its answer above 32).
bool shellOpen(const wchar_t* verb, const wchar_t* file, int show);
// True when a program (a desktop program or an app) is registered to open
// files of the extension (".doc"); the shell's "open with" prompt is not one.
bool programRegisteredFor(const wchar_t* extension);
bool notifyIcon(DWORD message, NOTIFYICONDATAW* data);
// Shell_NotifyIconGetRect: false when the shell cannot say.
bool notifyIconRect(const NOTIFYICONIDENTIFIER* icon, RECT* where);
// False where visual styles cannot give the window a dialog texture.
bool enableThemeDialogTexture(HWND window, DWORD flags);

}  // namespace orvane::win32::lazy
