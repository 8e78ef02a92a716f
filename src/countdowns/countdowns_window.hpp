#pragma once
#include "app/form.hpp"

namespace orvane {

// The window of the five countdowns, one per tab.
class TForm4 final : public Form {
public:
    using Form::Form;
    void create(HWND owner) {
        createForm({L"TForm4", L"Comptes à rebours", 304, 168, CW_USEDEFAULT, CW_USEDEFAULT}, owner);
    }
};

}  // namespace orvane
