#pragma once
#include <cstdint>
#include <string>

#include "platform/ui/form.hpp"
#include "platform/ui/handles.hpp"
#include "platform/ui/tabs.hpp"
#include "platform/ui/window_mover.hpp"
#include "settings/options_rules.hpp"

namespace orvane {

// The clock the options work on, as the program that holds both reaches it:
// its window, which the dialog serves, its settings, the saving of what the
// user confirms, and its sound player for the sound test.
class OptionsHost {
public:
    virtual ui::Window& clockWindow() = 0;
    virtual ClockSettings& clockSettings() = 0;
    virtual void saveConfirmedSettings() = 0;
    virtual void PlayMediaFile(const std::wstring& path) = 0;

protected:
    ~OptionsHost() = default;
};

// The options dialog: the hourly sound, the shake and the dial, with tests of
// the beep, the sound and the shake. It works on its own controls and stores
// them into the settings only on "OK".
class TForm3 final : public DialogForm {
public:
    enum ControlId : int {
        PageControl1 = 100,
        Button3,  // "OK"
        Button4,  // "Annuler"
        // Sonnerie
        GroupBox1,
        RadioButton1,
        Label2,
        TrackBar2,
        Label3,
        TrackBar1,
        Button1,
        RadioButton2,
        Edit1,
        Button2,
        Button5,
        RadioButton3,
        // Vibration
        GroupBox3,
        Label4,
        TrackBar3,
        Label5,
        TrackBar4,
        Button7,
        // Pendule
        GroupBox2,
        Label1,
        Edit2,
        Button6,
        Image1,
        GroupBox4,
        Panel1,
        Button8,
        GroupBox5,
        ComboBox1,
        Panel2,
    };

    TForm3(Program& program, OptionsHost& host) : DialogForm(program), host_(host) {}
    void create(HWND owner) override;

    // Every control reloaded from the settings; unconfirmed changes are dropped.
    void FormActivate();
    // What the controls hold now, as "OK" would read them.
    OptionsControls controls() const;

protected:
    ui::Window& servedWindow() override;
    void onActivate() override;
    void onCommand(int id, int code, HWND control) override;
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void onScaleChanged() override;
    void onTimer(UINT_PTR id) override;

private:
    OptionsHost& host_;
    void createControls();
    void Button3Click();  // "OK"
    void Button2Click();  // sound browse
    void Button6Click();  // picture browse
    void Button8Click();  // colour
    void ComboBox1Change(int code);
    void ShakeTest();
    // The preview keeps its size: the layout's until a face is browsed for.
    void showPreview(const std::wstring& path);
    void showScaledPreview();
    void selectSound(int radio);
    void setColourSample(std::uint32_t colour);
    void setLineSample(int width);
    int trackPosition(int id) const;
    void setTrackPosition(int id, int position);

    ui::TabPages pages_;
    static constexpr UINT_PTR ShakeTimer = 1;  // the shake test's steps
    ui::PacedMoves shake_{ShakeTimer};
    HFONT font_ = nullptr;
    HFONT boldFont_ = nullptr;
    HFONT underlinedFont_ = nullptr;
    ui::BitmapHandle previewSource_;  // as read, at 96 DPI
    ui::BitmapHandle preview_;        // as shown
    ui::BrushHandle colourBrush_;
    std::wstring soundFileName_;    // OpenDialog1's file name
    std::wstring pictureFileName_;  // OpenDialog2's file name
    std::uint32_t colour_ = 0;      // ColorDialog1's colour
    std::wstring reportedPicture_;  // a picture whose failure was already shown
    int previewSize_ = 57;
    int lineSample_ = 1;
};

}  // namespace orvane
