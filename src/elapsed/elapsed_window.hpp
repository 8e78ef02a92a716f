#pragma once
#include "app/form.hpp"

namespace orvane {

// The window of the time elapsed since a chosen moment.
class Tpasttime final : public Form {
public:
    using Form::Form;
    void create(HWND owner) {
        createForm({L"Tpasttime", L"PastTime", 364, 171, CW_USEDEFAULT, CW_USEDEFAULT}, owner);
    }
};

}  // namespace orvane
