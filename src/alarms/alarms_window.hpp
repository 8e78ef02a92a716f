#pragma once
#include "app/form.hpp"

namespace orvane {

// The window of the five daily alarms, one per tab.
class TForm6 final : public Form {
public:
    using Form::Form;
    void create(HWND owner) {
        createForm({L"TForm6", L"Alarmes", 329, 167, 306, 229}, owner);
    }
};

}  // namespace orvane
