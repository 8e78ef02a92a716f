#include "platform/ui/form.hpp"

namespace orvane {

Form::Form(Program& program) : ui::Window(program), program_(program) {}

void Form::createForm(const ui::FrameSpec& layout, HWND owner, HMENU menu) {
    const HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource::programIcon));
    createFrame(layout, owner, menu, icon);
}

void DialogForm::dismiss() {
    servedWindow().setEnabled(true);
    hide();
}

}  // namespace orvane
