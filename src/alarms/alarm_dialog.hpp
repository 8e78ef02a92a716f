#pragma once
#include "app/form.hpp"

namespace orvane {

// The dialog that edits one alarm.
class TForm7 final : public DialogForm {
public:
    using DialogForm::DialogForm;
    void create(HWND owner) {
        createForm({L"TForm7", L"Configuration de l'alarme", 395, 284, 393, 275}, owner);
    }

protected:
    ui::Window& servedWindow() override;
};

}  // namespace orvane
