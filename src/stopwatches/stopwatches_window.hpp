#pragma once
#include "app/form.hpp"

namespace orvane {

// The window of the five stopwatches, one per tab.
class TForm2 final : public Form {
public:
    using Form::Form;
    void create(HWND owner) {
        createForm({L"TForm2", L"Chronomètres", 335, 135, 305, 251}, owner);
    }
};

}  // namespace orvane
