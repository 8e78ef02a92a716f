#pragma once
#include <array>
#include <string>

#include "common/control_ids.hpp"
#include "platform/ui/form.hpp"
#include "platform/ui/handles.hpp"

namespace orvane {

class TForm4;

// The dialog that sets up one countdown. It is never rebuilt: every entry
// stays as the user left it, so the next countdown starts from the last one.
class TForm5 final : public DialogForm {
public:
    enum ControlId : int {
        GroupBox2 = 100,
        Edit5,
        GroupBox1,
        Panel1,
        RadioButton1,
        Label1, Edit1, UpDown1,
        Label2, Edit2, UpDown2,
        Label3, Edit3, UpDown3,
        Label4, Edit4, UpDown4,
        RadioButton2,
        Label6, DateTimePicker1,
        Label7, SpinEdit1, SpinEdit1Arrows,
        Label8, SpinEdit2, SpinEdit2Arrows,
        Label9, SpinEdit3, SpinEdit3Arrows,
        GroupBox3,
        Edit6,
        GroupBox4,
        CheckBox1,
        Button3,
        Label5,
        Button2,
        Button1,
    };

    // The interval: a number box that only shows the position of its arrows.
    struct IntervalField {
        int label, box, arrows;
        const wchar_t* caption;
        int maximum;
    };
    static constexpr std::array<IntervalField, 4> IntervalFields{{
        {Label1, Edit1, UpDown1, L"Nombre de jours :", 10000},
        {Label2, Edit2, UpDown2, L"Nombre d'heures :", 23},
        {Label3, Edit3, UpDown3, L"Nombre de minutes :", 59},
        {Label4, Edit4, UpDown4, L"Nombre de secondes :", 59},
    }};
    static_assert(controlIdsStand(IntervalFields, 0, &IntervalField::label, &IntervalField::box,
                                  &IntervalField::arrows));
    // The target time: spin fields, typed into or moved by their arrows.
    struct SpinField {
        int field, arrows;
        int maximum;
    };
    static constexpr std::array<SpinField, 3> SpinFields{{
        {SpinEdit1, SpinEdit1Arrows, 23},
        {SpinEdit2, SpinEdit2Arrows, 59},
        {SpinEdit3, SpinEdit3Arrows, 59},
    }};
    static_assert(controlIdsStand(SpinFields, 0, &SpinField::field, &SpinField::arrows));

    TForm5(Program& program, TForm4& countdowns) : DialogForm(program), countdowns_(countdowns) {}
    void create(HWND owner) override;

    // The slot that OK writes; set before the dialog is shown.
    int EditedSlot = 1;
    // The open-file chooser's current file name: empty until a file is chosen.
    const std::wstring& OpenDialog1FileName() const { return fileName_; }

    // The earliest date the picker offers is today.
    void FormActivate();
    void followNewDay() override { FormActivate(); }
    void Button1Click();  // OK
    void Button2Click();  // Annuler
    void Button3Click();  // Parcourir...

protected:
    ui::Window& servedWindow() override;
    void onCommand(int id, int code, HWND control) override;
    void onScroll(HWND control, int code) override;
    LRESULT onNotify(const NMHDR& header) override;
    void onActivate() override { FormActivate(); }
    void onClose() override { leave(); }

private:
    TForm4& countdowns_;
    void createControls();
    void selectMode(int radioButton);
    void CheckBox1Click();
    // UpDown1Click to UpDown4Click.
    void copyArrowPosition(const IntervalField& field);
    // A typed value back into its range; answers the value.
    int settleSpinField(const SpinField& spin);
    bool isChecked(int id) const;
    // Without storing anything: the countdowns window comes back to the front.
    void leave();

    std::wstring fileName_;
    HFONT defaultFont_ = nullptr;
    HFONT boldFont_ = nullptr;
    HFONT smallFont_ = nullptr;
};

}  // namespace orvane
