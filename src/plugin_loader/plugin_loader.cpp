#include "plugin_loader/plugin_loader.hpp"

#include <cwchar>
#include <string_view>
#include <utility>

#include "common/user_error.hpp"

namespace orvane {

namespace {

wchar_t asciiLower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

std::wstring hex(std::uint64_t value) {
    wchar_t text[24];
    std::swprintf(text, 24, L"0x%08llX", static_cast<unsigned long long>(value));
    return text;
}

std::wstring accessViolationText(const PluginCallResult& result) {
    const std::wstring where = hex(result.accessAddress);
    switch (result.access) {
    case PluginCallResult::Access::read:
        return L"violation d'accès en lecture à l'adresse " + where;
    case PluginCallResult::Access::write:
        return L"violation d'accès en écriture à l'adresse " + where;
    case PluginCallResult::Access::execute:
        return L"violation d'accès en exécution à l'adresse " + where;
    case PluginCallResult::Access::none:
        break;
    }
    return L"violation d'accès";
}

constexpr wchar_t uncaughtCppException[] = L"exception C++ non traitée";

// After these the program's own memory may be damaged.
constexpr std::uint32_t heapCorruption = 0xC0000374u;
constexpr std::uint32_t stackBufferOverrun = 0xC0000409u;

// The structured exceptions a user may meet, in words.
std::wstring structuredExceptionText(const PluginCallResult& result) {
    static const struct {
        std::uint32_t code;
        const wchar_t* text;
    } known[] = {
        {0xC0000006u, L"page de mémoire illisible (fichier ou réseau devenu inaccessible)"},
        {0xC000001Du, L"instruction illégale"},
        {0xC0000096u, L"instruction privilégiée"},
        {0xC0000094u, L"division entière par zéro"},
        {0xC0000095u, L"dépassement de capacité d'un entier"},
        {0xC000008Eu, L"division par zéro en virgule flottante"},
        {0xC0000091u, L"dépassement de capacité en virgule flottante"},
        {0xC0000090u, L"opération invalide en virgule flottante"},
        {0xC00000FDu, L"débordement de pile"},
        {heapCorruption, L"tas de mémoire corrompu"},
        {stackBufferOverrun, L"dépassement d'une mémoire tampon sur la pile"},
        {0x80000002u, L"donnée mal alignée"},
        {0x80000003u, L"point d'arrêt"},
        // The C++ exceptions of other compilers arrive as these.
        {0xE06D7363u, uncaughtCppException},
        {0x20474343u, uncaughtCppException},
    };
    if (result.code == 0xC0000005u) return accessViolationText(result);
    for (const auto& entry : known)
        if (entry.code == result.code) return entry.text;
    wchar_t text[48];
    std::swprintf(text, 48, L"exception système 0x%08X", static_cast<unsigned>(result.code));
    return text;
}

}  // namespace

std::wstring pluginCaption(const std::wstring& fileName) {
    const std::size_t dot = fileName.rfind(L'.');
    if (dot == std::wstring::npos) return fileName;
    return fileName.substr(0, dot);
}

bool hasPluginExtension(const std::wstring& fileName) {
    static constexpr std::wstring_view extension = L".dll";
    if (fileName.size() < extension.size()) return false;
    const std::size_t start = fileName.size() - extension.size();
    for (std::size_t i = 0; i < extension.size(); ++i)
        if (asciiLower(fileName[start + i]) != extension[i]) return false;
    return true;
}

std::wstring pluginFailureText(const std::wstring& caption, const PluginCallResult& result) {
    std::wstring reason;
    switch (result.outcome) {
    case PluginCallResult::Outcome::cppException:
        reason = uncaughtCppException;
        if (!result.message.empty()) reason += L" : " + result.message;
        break;
    case PluginCallResult::Outcome::aborted:
        reason = L"arrêt brutal demandé par son code (abort, ou exception C++ que rien n'a rattrapée)";
        break;
    case PluginCallResult::Outcome::structuredException:
        reason = structuredExceptionText(result);
        break;
    case PluginCallResult::Outcome::returned:
        reason = L"aucune erreur";
        break;
    }
    return L"Le plug-in « " + caption + L" » a été interrompu : " + reason;
}

PluginLoader::PluginLoader(const FileSearch& search, PluginLibraries& libraries, MessageBoxes& boxes,
                           std::wstring exeFolder)
    : search_(search), libraries_(libraries), boxes_(boxes), pluginFolder_(std::move(exeFolder) + pluginFolderName) {}

std::vector<std::wstring> PluginLoader::entries() const {
    std::vector<std::wstring> names = search_.find(pluginFolder_ + pluginNamePattern);
    std::erase_if(names, [](const std::wstring& name) { return !hasPluginExtension(name); });
    return names;
}

std::vector<PluginItem> PluginLoader::discover() {
    listed_ = entries();
    std::vector<PluginItem> items;
    std::int32_t ordinal = 0;
    for (const std::wstring& name : listed_) items.push_back({pluginCaption(name), ordinal++});
    return items;
}

void PluginLoader::RunPlugin(std::int32_t ordinal) {
    // The item runs the file it was listed for, even if the folder changed
    // since: a file that is gone does not load.
    if (ordinal < 0 || static_cast<std::size_t>(ordinal) >= listed_.size()) return;
    const std::wstring& name = listed_[static_cast<std::size_t>(ordinal)];

    // By its full path only: a relative name would also be looked for in the
    // current folder and along PATH, where anybody could leave a library.
    lastLibrary_ = libraries_.load(pluginFolder_ + name);
    if (lastLibrary_ == nullptr) {
        boxes_.show(pluginNotLoadedText, pluginBoxTitle, box::ok);
        return;
    }
    const PluginLibraries::Entry entry = libraries_.find(lastLibrary_, pluginEntryName);
    if (entry == nullptr) {
        boxes_.show(notAPluginText, pluginBoxTitle, box::ok);
        return;
    }
    const PluginCallResult result = libraries_.call(entry);
    if (result.outcome == PluginCallResult::Outcome::returned) return;
    const std::wstring text = pluginFailureText(pluginCaption(name), result);
    if (result.outcome == PluginCallResult::Outcome::structuredException &&
        (result.code == heapCorruption || result.code == stackBufferOverrun))
        throw UnsoundProcessError(text);
    throw UserError(text);
}

}  // namespace orvane
