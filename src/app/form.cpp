#include "app/form.hpp"

#include "app/application.hpp"

namespace orvane {

Form::Form(Application& app) : ui::Window(app), app_(app) {}

void Form::createForm(const ui::FrameSpec& layout, HWND owner, HMENU menu) {
    const HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource::programIcon));
    createFrame(layout, owner, menu, icon);
}

void DialogForm::dismiss() {
    servedWindow().setEnabled(true);
    hide();
}

}  // namespace orvane
