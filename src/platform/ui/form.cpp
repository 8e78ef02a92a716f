#include "platform/ui/form.hpp"

namespace orvane {

Form::Form(Program& program) : ui::Window(program), program_(program) {}

void Form::createForm(const ui::FrameSpec& layout, HWND owner, HMENU menu) {
    createFrame(layout, owner, menu, resource::programIcon);
}

ui::BitmapHandle Form::ownPicture(int id) {
    return ui::loadResourcePicture(id, dpi(), services().contrast.textColour());
}

ui::BitmapHandle Form::picture(const std::wstring& path) {
    return ui::loadPicture(path, services().contrast.textColour());
}

void DialogForm::open() {
    // In front first, so that the keyboard focus goes to the dialog: a
    // window disabled while it is the active one leaves it with nothing.
    show();
    servedWindow().setEnabled(false);
}

void DialogForm::dismiss() {
    servedWindow().setEnabled(true);
    hide();
}

}  // namespace orvane
