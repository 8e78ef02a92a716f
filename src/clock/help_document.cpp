#include "clock/help_document.hpp"

#include "common/user_error.hpp"

namespace orvane {

namespace {
constexpr wchar_t helpDocument[] = L"Aidez-moi.doc";
constexpr wchar_t helpPage[] = L"Aidez-moi.html";
}  // namespace

void openHelp(Shell& shell, const std::wstring& exeFolder) {
    if (shell.open(exeFolder + helpDocument)) return;
    const std::wstring page = exeFolder + helpPage;
    if (shell.open(page)) return;
    throw UserError(L"Impossible d'ouvrir le fichier d'aide " + page);
}

}  // namespace orvane
