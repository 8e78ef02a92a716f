#pragma once
#include <string>

#include "platform/shell.hpp"

namespace orvane {

// The help beside the program: the document first, and the same help as a
// web page when nothing on the computer opens the document (a Windows
// without a word processor). When neither opens, UserError names the page.
void openHelp(Shell& shell, const std::wstring& exeFolder);

}  // namespace orvane
