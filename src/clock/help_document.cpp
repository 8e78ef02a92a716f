#include "clock/help_document.hpp"

#include "common/user_error.hpp"

namespace orvane {

namespace {
constexpr wchar_t helpDocument[] = L"Aidez-moi.doc";
constexpr wchar_t helpPage[] = L"Aidez-moi.html";
}  // namespace

void openHelp(Shell& shell, const std::wstring& exeFolder) {
    // Asked first: on a computer with nothing for the document, the shell
    // may put up its own prompt and answer that it opened it.
    const std::wstring document = exeFolder + helpDocument;
    if (shell.hasProgramFor(document) && shell.open(document)) return;
    const std::wstring page = exeFolder + helpPage;
    if (shell.open(page)) return;
    throw UserError(L"Impossible d'ouvrir le fichier d'aide " + page);
}

}  // namespace orvane
