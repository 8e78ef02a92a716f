#include "platform/win32/system_library.hpp"

#include <initializer_list>

namespace orvane::win32::lazy {

namespace {

// The function, or nullptr. Libraries come from the system folder only.
template <typename Function>
Function* systemFunction(const wchar_t* library, const char* name) {
    HMODULE module = GetModuleHandleW(library);
    if (module == nullptr) module = LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Systems without the restricted search refuse the flag; a system
    // library's name is then found in the system folder first anyway.
    if (module == nullptr && GetLastError() == ERROR_INVALID_PARAMETER) module = LoadLibraryW(library);
    if (module == nullptr) return nullptr;
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

constexpr wchar_t winmm[] = L"winmm.dll";
constexpr wchar_t comdlg32[] = L"comdlg32.dll";
constexpr wchar_t shell32[] = L"shell32.dll";
constexpr wchar_t shlwapi[] = L"shlwapi.dll";
constexpr wchar_t uxtheme[] = L"uxtheme.dll";
constexpr wchar_t powrprof[] = L"powrprof.dll";

}  // namespace

MCIERROR sendMciCommand(const wchar_t* command) {
    static auto* const call = systemFunction<decltype(::mciSendStringW)>(winmm, "mciSendStringW");
    return call != nullptr ? call(command, nullptr, 0, nullptr) : MCIERR_DEVICE_NOT_INSTALLED;
}

bool mciErrorText(MCIERROR error, wchar_t* text, UINT length) {
    static auto* const call = systemFunction<decltype(::mciGetErrorStringW)>(winmm, "mciGetErrorStringW");
    return call != nullptr && call(error, text, length) != FALSE;
}

bool openFileDialog(OPENFILENAMEW* request) {
    static auto* const call = systemFunction<decltype(::GetOpenFileNameW)>(comdlg32, "GetOpenFileNameW");
    return call != nullptr && call(request) != FALSE;
}

DWORD fileDialogError() {
    static auto* const call = systemFunction<decltype(::CommDlgExtendedError)>(comdlg32, "CommDlgExtendedError");
    return call != nullptr ? call() : 0;
}

bool colorDialog(CHOOSECOLORW* request) {
    static auto* const call = systemFunction<decltype(::ChooseColorW)>(comdlg32, "ChooseColorW");
    return call != nullptr && call(request) != FALSE;
}

bool activePowerSetting(const GUID& subgroup, const GUID& setting, bool onBattery, DWORD* index) {
    static auto* const activeScheme =
        systemFunction<decltype(::PowerGetActiveScheme)>(powrprof, "PowerGetActiveScheme");
    static auto* const readMains = systemFunction<decltype(::PowerReadACValueIndex)>(powrprof, "PowerReadACValueIndex");
    static auto* const readBattery =
        systemFunction<decltype(::PowerReadDCValueIndex)>(powrprof, "PowerReadDCValueIndex");
    auto* const read = onBattery ? readBattery : readMains;
    GUID* scheme = nullptr;
    if (activeScheme == nullptr || read == nullptr || activeScheme(nullptr, &scheme) != ERROR_SUCCESS) return false;
    const bool found = read(nullptr, scheme, &subgroup, &setting, index) == ERROR_SUCCESS;
    LocalFree(scheme);
    return found;
}

bool powerCapabilities(SYSTEM_POWER_CAPABILITIES* capabilities) {
    static auto* const call = systemFunction<decltype(::GetPwrCapabilities)>(powrprof, "GetPwrCapabilities");
    return call != nullptr && call(capabilities) != FALSE;
}

bool shellOpen(const wchar_t* verb, const wchar_t* file, int show) {
    static auto* const call = systemFunction<decltype(::ShellExecuteW)>(shell32, "ShellExecuteW");
    return call != nullptr &&
           reinterpret_cast<INT_PTR>(call(nullptr, verb, file, nullptr, nullptr, show)) > 32;
}

bool programRegisteredFor(const wchar_t* extension) {
    static auto* const call = systemFunction<decltype(::AssocQueryStringW)>(shlwapi, "AssocQueryStringW");
    if (call == nullptr) return false;
    // A desktop program, a handler the shell starts itself, or an app (its
    // user model ID: ASSOCSTR_APPID, which the headers name from Windows 10 on).
    const auto appId = static_cast<ASSOCSTR>(ASSOCSTR_SUPPORTED_URI_PROTOCOLS + 2);
    for (const ASSOCSTR asked : {ASSOCSTR_EXECUTABLE, ASSOCSTR_DELEGATEEXECUTE, appId}) {
        DWORD length = 0;
        const HRESULT found = call(ASSOCF_INIT_IGNOREUNKNOWN | ASSOCF_NOTRUNCATE, asked, extension, L"open", nullptr,
                                   &length);
        if ((found == S_OK || found == S_FALSE) && length > 1) return true;
    }
    return false;
}

bool notifyIcon(DWORD message, NOTIFYICONDATAW* data) {
    static auto* const call = systemFunction<decltype(::Shell_NotifyIconW)>(shell32, "Shell_NotifyIconW");
    return call != nullptr && call(message, data) != FALSE;
}

bool notifyIconRect(const NOTIFYICONIDENTIFIER* icon, RECT* where) {
    static auto* const call = systemFunction<decltype(::Shell_NotifyIconGetRect)>(shell32, "Shell_NotifyIconGetRect");
    return call != nullptr && call(icon, where) == S_OK;
}

bool enableThemeDialogTexture(HWND window, DWORD flags) {
    static auto* const call = systemFunction<decltype(::EnableThemeDialogTexture)>(uxtheme, "EnableThemeDialogTexture");
    return call != nullptr && SUCCEEDED(call(window, flags));
}

}  // namespace orvane::win32::lazy
