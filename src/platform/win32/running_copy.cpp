#include "platform/win32/running_copy.hpp"

#include <sddl.h>

#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

namespace orvane::win32 {

// What the copies of one folder share, in a small named memory that lives as
// long as one of them holds it. Window handles are 32 bits wide in 32- and
// 64-bit programs alike.
struct RunningCopy::Slot {
    volatile LONG process;  // the running copy's process id
    volatile LONG window;   // its main window, 0 while it starts, `ending` once it ends
};

namespace {

constexpr LONG ending = -1;
constexpr auto handOverBound = std::chrono::seconds(10);

// The same folder, however it was spelt: long names, one case.
std::wstring folderKey(const std::wstring& folder) {
    std::wstring key = folder;
    const DWORD length = GetLongPathNameW(folder.c_str(), nullptr, 0);
    if (length > 0) {
        std::vector<wchar_t> buffer(length);
        const DWORD written = GetLongPathNameW(folder.c_str(), buffer.data(), length);
        if (written > 0 && written < length) key.assign(buffer.data(), written);
    }
    if (!key.empty()) CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
    return key;
}

// A name for the folder's memory: object names cannot hold a path, so a hash
// of it, in this session's name space.
std::wstring sharedName(const std::wstring& folder) {
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (const wchar_t c : folderKey(folder)) {
        hash ^= static_cast<std::uint16_t>(c);
        hash *= 1099511628211ull;
    }
    wchar_t name[48];
    wsprintfW(name, L"Local\\Orvane-%08lX%08lX", static_cast<unsigned long>(hash >> 32),
              static_cast<unsigned long>(hash & 0xFFFFFFFFu));
    return name;
}

bool processEnded(DWORD id, DWORD waitMs) {
    const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
    // An elevated copy's process keeps a plain start out: it still runs.
    if (process == nullptr) return GetLastError() != ERROR_ACCESS_DENIED;
    const bool ended = WaitForSingleObject(process, waitMs) != WAIT_TIMEOUT;
    CloseHandle(process);
    return ended;
}

// The user the process runs as, in the notation of access lists ("S-1-5-21-…").
std::wstring userSid() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
    std::wstring text;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<unsigned char> user(size);
    wchar_t* sid = nullptr;
    if (size != 0 && GetTokenInformation(token, TokenUser, user.data(), size, &size) &&
        ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &sid)) {
        text = sid;
        LocalFree(sid);
    }
    CloseHandle(token);
    return text;
}

}  // namespace

SecurityDescriptor runningCopySecurity() {
    const std::wstring user = userSid();
    if (user.empty()) return nullptr;
    // All access for the user and the system, nobody else; a medium label
    // that keeps lower levels from writing.
    const std::wstring text = L"D:P(A;;GA;;;" + user + L")(A;;GA;;;SY)S:(ML;;NW;;;ME)";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(text.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
        return nullptr;
    return SecurityDescriptor(descriptor);
}

namespace {

HANDLE openSharedMemory(const std::wstring& name, DWORD size) {
    const SecurityDescriptor security = runningCopySecurity();
    SECURITY_ATTRIBUTES attributes{sizeof attributes, security.get(), FALSE};
    const HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, security ? &attributes : nullptr, PAGE_READWRITE,
                                              0, size, name.c_str());
    // A system that refuses the label (one without integrity levels, or a
    // process below medium) makes the memory as before.
    if (mapping != nullptr || !security || GetLastError() == ERROR_ACCESS_DENIED) return mapping;
    return CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, name.c_str());
}

}  // namespace

UINT comeBackMessage() {
    static const UINT message = RegisterWindowMessageW(L"Orvane.Revenir");
    return message;
}

RunningCopy::RunningCopy(const std::wstring& exeFolder, CopyCalls calls) : calls_(calls) {
    mapping_ = openSharedMemory(sharedName(exeFolder), sizeof(Slot));
    // Memory that exists but keeps this start out belongs to a running
    // clock it cannot reach; without the memory at all, each copy runs on
    // its own, as before.
    if (mapping_ == nullptr) {
        unreachable_ = GetLastError() == ERROR_ACCESS_DENIED;
        return;
    }
    first_ = GetLastError() != ERROR_ALREADY_EXISTS;
    slot_ = static_cast<Slot*>(MapViewOfFile(mapping_, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(Slot)));
    if (slot_ != nullptr && first_) InterlockedExchange(&slot_->process, static_cast<LONG>(GetCurrentProcessId()));
}

RunningCopy::~RunningCopy() {
    if (slot_ != nullptr) UnmapViewOfFile(slot_);
    if (mapping_ != nullptr) CloseHandle(mapping_);
}

bool RunningCopy::handOver() {
    if (unreachable_) return true;
    if (first_ || slot_ == nullptr) return false;
    const auto deadline = std::chrono::steady_clock::now() + handOverBound;
    for (;;) {
        const LONG window = InterlockedCompareExchange(&slot_->window, 0, 0);
        const auto other = static_cast<DWORD>(InterlockedCompareExchange(&slot_->process, 0, 0));
        const HWND target = reinterpret_cast<HWND>(static_cast<LONG_PTR>(window));
        if (window != 0 && window != ending && IsWindow(target)) {
            // This start is the user's gesture: it lends the right to come
            // to the front to the copy that was asked.
            calls_.allowForeground(other);
            if (calls_.post(target, comeBackMessage(), 0, 0) != FALSE) return true;
            // Refused (a clock that does not let the message in): this start
            // still ends rather than run a second clock. Otherwise the window
            // went as it was asked: look again.
            if (GetLastError() == ERROR_ACCESS_DENIED) {
                unreachable_ = true;
                return true;
            }
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        // An ending copy is waited for; one that is gone leaves the folder free.
        if (window == ending ? processEnded(other, static_cast<DWORD>(left.count())) : processEnded(other, 0)) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    // This copy runs in its place.
    first_ = true;
    InterlockedExchange(&slot_->window, 0);
    InterlockedExchange(&slot_->process, static_cast<LONG>(GetCurrentProcessId()));
    return false;
}

void RunningCopy::publish(HWND mainWindow) {
    if (slot_ == nullptr || !first_) return;
    // A plain start by the same user may call back an elevated clock.
    calls_.allowMessage(mainWindow, comeBackMessage(), MSGFLT_ALLOW, nullptr);
    InterlockedExchange(&slot_->window, static_cast<LONG>(reinterpret_cast<LONG_PTR>(mainWindow)));
}

void RunningCopy::withdraw() {
    if (slot_ == nullptr || !first_) return;
    InterlockedExchange(&slot_->window, ending);
}

}  // namespace orvane::win32
