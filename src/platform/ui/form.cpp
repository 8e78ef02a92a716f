#include "platform/ui/form.hpp"

namespace orvane {

Form::Form(Program& program) : ui::Window(program), program_(program) {}

void Form::createForm(const ui::FrameSpec& layout, HWND owner, HMENU menu) {
    createFrame(layout, owner, menu, resource::programIcon);
}

void DialogForm::open() {
    servedWindow().setEnabled(false);
    show();
}

void DialogForm::dismiss() {
    servedWindow().setEnabled(true);
    hide();
}

}  // namespace orvane
