#include "platform/win32/media.hpp"

#include <windows.h>
#include <commdlg.h>
#include <mmsystem.h>

#include <vector>

#include "platform/win32/long_paths.hpp"
#include "platform/win32/system_library.hpp"

namespace orvane::win32 {

namespace {
constexpr wchar_t soundAlias[] = L"orvane_sound";

std::wstring mciError(MCIERROR code) {
    wchar_t text[256] = {};
    if (!lazy::mciErrorText(code, text, 256) || text[0] == L'\0')
        return L"Impossible de jouer le son (erreur MCI " + std::to_wstring(code) + L")";
    return text;
}
}  // namespace

SpeakerAndMediaPlayer::SpeakerAndMediaPlayer()
    : speaker_([](int frequency, int durationMs) {
          Beep(static_cast<DWORD>(frequency), static_cast<DWORD>(durationMs));
      }) {}

SpeakerAndMediaPlayer::~SpeakerAndMediaPlayer() {
    if (open_) lazy::sendMciCommand((std::wstring(L"close ") + soundAlias).c_str());
}

void SpeakerAndMediaPlayer::beep(int frequency, int durationMs) {
    // The speaker refuses frequencies outside 37..32767 Hz: silence, as asked.
    if (frequency < 37 || frequency > 32767 || durationMs <= 0) return;
    speaker_.play(frequency, durationMs);
}

std::optional<std::wstring> SpeakerAndMediaPlayer::play(const std::wstring& path) {
    if (open_) {
        lazy::sendMciCommand((std::wstring(L"close ") + soundAlias).c_str());
        open_ = false;
    }
    // The media player takes no path longer than MAX_PATH.
    const std::optional<std::wstring> spelt = pathForOlderCalls(path);
    if (!spelt) return pathTooLongText(path);
    // The device comes from the file's extension, as the media player chooses it.
    const std::wstring open = L"open \"" + *spelt + L"\" alias " + soundAlias;
    if (const MCIERROR error = lazy::sendMciCommand(open.c_str())) return mciError(error);
    open_ = true;
    if (const MCIERROR error = lazy::sendMciCommand((std::wstring(L"play ") + soundAlias).c_str()))
        return mciError(error);
    return std::nullopt;
}

void SeededRandom::reseed() {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    generator_.seed(static_cast<std::mt19937::result_type>(counter.QuadPart ^ (counter.QuadPart >> 32)));
}

int SeededRandom::below(int n) {
    if (n <= 1) return 0;
    return std::uniform_int_distribution<int>(0, n - 1)(generator_);
}

std::optional<std::uint32_t> SystemColorChooser::choose(void* owner, std::uint32_t current) {
    CHOOSECOLORW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = static_cast<HWND>(owner);
    dialog.rgbResult = current;
    dialog.lpCustColors = reinterpret_cast<COLORREF*>(customColours_);
    dialog.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!lazy::colorDialog(&dialog)) return std::nullopt;
    return dialog.rgbResult;
}

}  // namespace orvane::win32
