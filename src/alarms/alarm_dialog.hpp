#pragma once
#include <cstdint>
#include <string>

#include "alarms/alarm_table.hpp"
#include "platform/ui/form.hpp"
#include "platform/ui/handles.hpp"

namespace orvane {

class TForm6;

// The dialog that edits one alarm. Its controls keep what they last held from
// one opening to the next; it is never loaded from a slot.
class TForm7 final : public DialogForm {
public:
    enum ControlId : int {
        GroupBox1 = 100,  // "Heure de l'alarme "
        UpDown2,          // hour
        Label3,           // two-digit hour
        Label2,           // ":"
        Label1,           // two-digit minute
        UpDown1,          // minute
        GroupBox2,        // "Options de l'alarme"
        Label5,
        Edit2,            // title
        Label4,
        Edit1,            // message
        CheckBox1,        // open a file when the alarm fires
        Button1,          // "Parcourir..."
        Label6,           // the chosen file's path
        Button2,          // "OK"
        Button3,          // "Annuler"
    };

    TForm7(Program& program, TForm6& alarmsWindow) : DialogForm(program), alarmsWindow_(alarmsWindow) {}
    void create(HWND owner) override;

    // The slot that "OK" writes to, 1..AlarmCount, set before the dialog is shown.
    std::int8_t EditedSlot = 1;
    // OpenDialog1's current file name: what "OK" stores as the slot's file.
    const std::wstring& chosenFile() const { return OpenDialog1FileName_; }

    void UpDown1Click();
    void UpDown2Click();
    void CheckBox1Click();
    void Button1Click();  // "Parcourir..."
    void Button2Click();  // "OK"
    void Button3Click();  // "Annuler"

protected:
    ui::Window& servedWindow() override;
    void onCommand(int id, int code, HWND control) override;
    void onScroll(HWND control, int code) override;

private:
    TForm6& alarmsWindow_;
    void createControls();
    int position(int upDown) const;

    std::wstring OpenDialog1FileName_;
    HFONT defaultFont_ = nullptr;
    HFONT groupFont_ = nullptr;
    HFONT timeFont_ = nullptr;
};

}  // namespace orvane
