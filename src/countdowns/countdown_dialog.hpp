#pragma once
#include "app/form.hpp"

namespace orvane {

// The dialog that edits one countdown.
class TForm5 final : public DialogForm {
public:
    using DialogForm::DialogForm;
    void create(HWND owner) {
        createForm({L"TForm5", L"Configuration d'un compte à rebours", 396, 473, CW_USEDEFAULT, CW_USEDEFAULT}, owner);
    }

protected:
    ui::Window& servedWindow() override;
};

}  // namespace orvane
