#pragma once
#include "app/form.hpp"

namespace orvane {

// The dialog that edits the clock settings.
class TForm3 final : public DialogForm {
public:
    using DialogForm::DialogForm;
    void create(HWND owner) {
        createForm({L"TForm3", L"Options...", 425, 364, 281, 199}, owner);
    }

protected:
    ui::Window& servedWindow() override;
};

}  // namespace orvane
