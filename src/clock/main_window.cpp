#include "clock/main_window.hpp"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "clock/dial_geometry.hpp"
#include "clock/help_document.hpp"
#include "common/calendar.hpp"
#include "common/error_text.hpp"
#include "common/user_error.hpp"
#include "common/window_shake.hpp"
#include "platform/ui/controls.hpp"
#include "platform/ui/picture.hpp"
#include "platform/ui/window_mover.hpp"
#include "platform/win32/running_copy.hpp"
#include "platform/win32/services.hpp"

namespace orvane {

namespace {

constexpr wchar_t aboutText[] =
    L"Orvane v.2, l'horloge de bureau.\r\nÉcrite et maintenue par l'équipe Orvane.";
constexpr wchar_t defaultFace[] = L"MS Sans Serif";

void appendItem(HMENU menu, int id, const wchar_t* caption) {
    AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(id), caption);
}

// Whether the user left the tray menu with Escape, while it is up.
bool trayMenuEscaped = false;

LRESULT CALLBACK watchTrayMenuKeys(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (code == MSGF_MENU && message->message == WM_KEYDOWN && message->wParam == VK_ESCAPE) trayMenuEscaped = true;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

HMENU appendPopup(HMENU bar, const wchar_t* caption) {
    const HMENU popup = CreatePopupMenu();
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), caption);
    return popup;
}

}  // namespace

TForm1::TForm1(Program& program, ClockHost& host)
    : Form(program),
      host_(host),
      plugins_(program.services().fileSearch, program.services().pluginLibraries, program.services().boxes,
               program.services().exeFolder),
      settingsFile_(program.services().profile, program.services().files, program.services().exeFolder,
                    program.services().userFolder) {}

TForm1::~TForm1() = default;

void TForm1::create(HWND /*owner*/) {
    // FormCreate: settings, tray icons, then the plug-in menu.
    settings = settingsFile_.load();
    extractTrayIcons();
    trayIconIndex_ = 0;
    QuitRequested = false;
    LastTrayHour = 0;
    LastTrayMinute = 0;

    const HMENU bar = CreateMenu();
    createForm({L"TForm1", L"Orvane", 274, 89, static_cast<int>(CW_USEDEFAULT),
                static_cast<int>(CW_USEDEFAULT), WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX},
               nullptr, bar);
    buildMenuBar();
    buildPluginMenu();
    buildTrayMenu();
    createControls();
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    armClockTimer();
}

void TForm1::showAtStart() {
    ShowWindow(hwnd(), SW_SHOW);
    UpdateWindow(hwnd());
    SetForegroundWindow(hwnd());
}

void TForm1::buildMenuBar() {
    const HMENU bar = GetMenu(hwnd());
    HMENU menus[std::size(mainMenuCaptions)] = {};
    for (std::size_t m = 0; m < std::size(mainMenuCaptions); ++m) menus[m] = appendPopup(bar, mainMenuCaptions[m]);
    for (const MainMenuItem& item : mainMenuItems)
        if (item.menu != MainMenu::Tray) appendItem(menus[static_cast<std::size_t>(item.menu)], item.id, item.caption);
    ools1_ = menus[static_cast<std::size_t>(MainMenu::Plugins)];
    DrawMenuBar(hwnd());
    fitClientArea();
}

void TForm1::buildTrayMenu() {
    PopUpDroit_.reset(CreatePopupMenu());
    for (const MainMenuItem& item : mainMenuItems)
        if (item.menu == MainMenu::Tray) appendItem(PopUpDroit_.get(), item.id, item.caption);
    SetMenuDefaultItem(PopUpDroit_.get(), QuitterItem, FALSE);
}

void TForm1::createControls() {
    defaultFont_ = font({defaultFace, 11});
    clockFont_ = font({defaultFace, 20});
    SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(defaultFont_), FALSE);

    const ui::ControlRow rows[] = {
        {Image1, WC_STATICW, nullptr, 8, 8, 57, 57, WS_VISIBLE | SS_BITMAP | WS_CLIPSIBLINGS},
        {Label2, WC_STATICW, L"00:00:00", 72, 8, 0, 0, WS_VISIBLE | SS_NOPREFIX},
        {Label1, WC_STATICW, L"00/00/0000", 72, 32, 0, 0, WS_VISIBLE | SS_NOPREFIX},
        {Label3, WC_STATICW, L"Lundi", 176, 32, 0, 0, WS_VISIBLE | SS_NOPREFIX},
        {Image2, WC_STATICW, nullptr, 152, 13, 13, 13, SS_BITMAP},
        {StatusBar1, STATUSCLASSNAMEW, L"", 0, 70, 274, 19,
         WS_VISIBLE | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER},
    };
    for (const ui::ControlRow& row : rows) {
        const bool isLabel = row.id == Label1 || row.id == Label2 || row.id == Label3;
        const HWND control =
            addControl(hwnd(), row, isLabel ? clockFont_ : defaultFont_);
        if (isLabel) ui::setLabelText(control, row.text);
    }
    // A face up to 71 pixels reaches under the texts and the status bar: it
    // lies beneath them and leaves them out of its painting.
    SetWindowPos(control(Image1), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    int wholeWidth = -1;
    SendMessageW(control(StatusBar1), SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&wholeWidth));

    ui::nameControl(control(Image1), L"Horloge analogique");
    ui::nameControl(control(Image2), L"Alarme armée");
    ui::setStaticPicture(control(Image1), dialPicture_, ownPicture(resource::dialPicture));
    dialDpi_ = dpi();
    // Setting a picture fits the control to it; the layout's size holds at start.
    SetWindowPos(control(Image1), nullptr, 0, 0, scale(57), scale(57), SWP_NOMOVE | SWP_NOZORDER);
    showBellPicture();
}

void TForm1::showBellPicture() {
    ui::setStaticPicture(control(Image2), bellPicture_, ownPicture(resource::bellPicture));
    SetWindowPos(control(Image2), nullptr, 0, 0, scale(13), scale(13), SWP_NOMOVE | SWP_NOZORDER);
}

void TForm1::onScaleChanged() {
    showBellPicture();
    if (face_.picture) {
        // The face is read again and drawn at the new scale.
        forgetFace();
        DrawDial();
    } else {
        // No face shown yet, or it went missing: the dial keeps what it
        // showed, at the new scale; the built-in face in the theme's colours.
        ui::setStaticPicture(control(Image1), dialPicture_,
                             dialIsBuiltIn_ ? ownPicture(resource::dialPicture)
                                            : ui::scalePicture(dialPicture_.get(), dpi(), dialDpi_));
        ui::fitPictureControl(control(Image1), scale(dialShownSize));
    }
    dialDpi_ = dpi();
    placeDayName();
    // The tray icon stays: the notification area has the taskbar's scale,
    // not that of the monitor this window moved to.
}

void TForm1::extractTrayIcons() {
    const std::wstring& exe = services().exePath;
    for (UINT k = 0; k < trayIcons_.size(); ++k) trayIcons_[k].reset(win32::extractTrayIcon(exe, k));
}

void TForm1::remakeTrayIcons() {
    // Drawn anew for the new size rather than stretched; the shell takes its
    // copy of the new one before the old ones go.
    const std::array<ui::ExtractedIconHandle, trayIconCount> previous = std::move(trayIcons_);
    extractTrayIcons();
    if (inTray_) services().tray.changeIcon(hwnd(), TrayIconId, trayIcons_[trayIconIndex_].get());
}

void TForm1::releaseTrayIcons() {
    for (ui::ExtractedIconHandle& icon : trayIcons_) icon.reset();
}

void TForm1::armClockTimer() {
    SetTimer(hwnd(), Timer1, static_cast<UINT>(clockTimer_.set(clockTimerDelay(services().clock.now().millisecond))),
             nullptr);
}

void TForm1::onTimer(UINT_PTR id) {
    if (shake_.onTimer(id) || id != Timer1) return;
    // Kept in step before the tick, so that a tick abandoned on an error
    // still has a next one. The timer repeats on its own: a long beep or a
    // box during the tick does not shift it.
    if (const auto period = clockTimer_.follow(clockTimerDelay(services().clock.now().millisecond)))
        SetTimer(hwnd(), Timer1, static_cast<UINT>(*period), nullptr);
    ClockTick();
}

void TForm1::ClockTick() {
    tick = decodeTick(services().clock.read());
    // Decided before anything can fail or show a box.
    const bool signalDue = fullHours_.take(signalWatch_.advance(tick.reading, services().clock.zone()), 0).rings;
    // The full hour shows before its signal starts.
    showTickTime();
    if (signalDue) HourlySignal();
    CheckAlarms();
}

void TForm1::showTickTime() {
    DrawDial();
    // Not only a new day changes the date's width: new regional formats do,
    // at any tick.
    const bool dateChanged =
        ui::setLabelText(control(Label1), services().formats.shortDate(tick.TickTime), shownTexts_.date);
    ui::setLabelText(control(Label2), services().formats.longTime(tick.TickTime), shownTexts_.time);
    ui::setLabelText(control(Label3), std::wstring(dayName(tick.TickTime)), shownTexts_.dayName);
    if (dateChanged) placeDayName();
    const LocalTime day{tick.TickTime.year, tick.TickTime.month, tick.TickTime.day, 0, 0, 0, 0};
    if (shownDay_ != day) {
        const bool dayChanged = shownDay_.has_value();
        shownDay_ = day;
        if (dayChanged) host_.dayBegan();
    }
    if (const auto caption = trayCaptionUpdate(LastTrayHour, LastTrayMinute, tick)) {
        MENUITEMINFOW item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_STRING;
        item.dwTypeData = const_cast<wchar_t*>(caption->c_str());
        SetMenuItemInfoW(PopUpDroit_.get(), QuitterItem, FALSE, &item);
    }
}

void TForm1::placeDayName() {
    // Just right of the date: where the font draws the date wider than
    // planned (a face standing in for the one asked), the day name moves
    // right rather than run into it.
    constexpr int planned = 176, gap = 6;
    RECT date, name;
    GetWindowRect(control(Label1), &date);
    GetWindowRect(control(Label3), &name);
    MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&date), 2);
    MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&name), 2);
    const int left = std::max(scale(planned), static_cast<int>(date.right) + scale(gap));
    if (left != name.left)
        SetWindowPos(control(Label3), nullptr, left, name.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm1::followTimeChange() {
    // The time, the zone or the formats changed: a tick at once shows it, and
    // rings or lists what the step of the clock went over.
    services().clock.zoneMayHaveChanged();
    host_.clockChanged();
    ClockTick();
    armClockTimer();
}

void TForm1::afterSleep() {
    // The timers come back late and out of step. The tick comes at once (and
    // sets its timer back in step); a box it may show waits until this
    // message is answered. The counts catch up with the time asleep.
    SetTimer(hwnd(), Timer1, static_cast<UINT>(clockTimer_.set(1)), nullptr);
    signalWatch_.resumed();
    host_.resumed();
}

void TForm1::HourlySignal() {
    // The shake plays over the next frames, then the beep or the sound.
    const ui::WindowMover mover(hwnd());
    shake_.start(hwnd(), planShake(mover, services().random, settings.intensevibre, settings.dureevibre, 0, dpi()),
                 shakeRoundMoves, [this] { return services().clock.monotonicMilliseconds(); },
                 [this] {
                     // The alarms of the hour wait for its sound to start,
                     // not for a box that says it could not: the ticks
                     // inside that box check theirs after these.
                     const std::optional<std::wstring> failure = soundTheHour();
                     checkAlarmsAfterTheSignal();
                     if (failure) reportHourlyFailure(*failure);
                 });
}

std::optional<std::wstring> TForm1::soundTheHour() {
    if (settings.Bip) {
        services().sound.beep(settings.FrequenceBip, std::min(settings.DureeBip, beepDurationLimit));
        return std::nullopt;
    }
    try {
        PlayMediaFile(settings.Musique);
    } catch (const UserError& failure) {
        return failure.text();
    }
    return std::nullopt;
}

void TForm1::reportHourlyFailure(const std::wstring& text) {
    if (std::find(openHourlyFailures_.begin(), openHourlyFailures_.end(), text) != openHourlyFailures_.end())
        return;
    openHourlyFailures_.push_back(text);
    struct Closed {
        std::vector<std::wstring>& open;
        ~Closed() { open.pop_back(); }  // boxes close in the reverse order they opened
    } closed{openHourlyFailures_};
    program().reportError(text);
}

void TForm1::PlayMediaFile(const std::wstring& path) {
    if (const auto error = services().sound.play(path)) throw UserError(*error);
}

void TForm1::DrawDial() {
    // A face that is missing or unreadable leaves the dial as it was, with a
    // word in the status bar; the tick goes on.
    constexpr wchar_t failed[] = L"Erreur Chargement Pendule !";
    const std::optional<FileStamp> stamp = services().files.fileStamp(settings.Pendule);
    if (!stamp) {
        forgetFace();  // read anew when it comes back
        setStatusText(failed);
        return;
    }
    // Decoding the file costs more than all the rest of a tick: it is read
    // again only when it is another file or was written or replaced since,
    // or when the last read failed (another program may have held it).
    if (!face_.read || !face_.picture || face_.path != settings.Pendule || face_.stamp != *stamp)
        readFace(*stamp);
    if (!face_.picture) {  // unreadable, or not a kind of picture we read
        setStatusText(failed);
        return;
    }
    const DialHands hands{tick.TickHour, tick.TickMinute, tick.TickSecond, settings.Couleur, settings.penwidth};
    if (shownHands_ != hands) {
        composeDial(hands);
        shownHands_ = hands;
    }
    setStatusText(L"");
}

void TForm1::forgetFace() {
    faceSelected_.reset();  // the picture leaves its DC before it goes
    face_ = {};
}

void TForm1::readFace(const FileStamp& stamp) {
    forgetFace();
    face_.path = settings.Pendule;
    face_.stamp = stamp;
    face_.read = true;
    face_.picture = picture(face_.path);
    if (!face_.picture) return;
    dialIsBuiltIn_ = false;
    // Kept at the window's scale, so that each second only draws hands.
    if (dpi() != 96) face_.picture = ui::scalePicture(face_.picture.get(), dpi());
    faceSelected_.emplace(faceDc_.dc(), face_.picture.get());
    dialDpi_ = dpi();
    // The dial shows a picture of the face's size, redrawn in place.
    const SIZE size = ui::bitmapSize(face_.picture.get());
    ui::setStaticPicture(control(Image1), dialPicture_, ui::createPictureBitmap(size.cx, size.cy));
    ui::fitPictureControl(control(Image1), scale(dialShownSize));
    shownHands_.reset();
}

void TForm1::composeDial(const DialHands& hands) {
    const SIZE size = ui::bitmapSize(face_.picture.get());
    {
        // Only while drawing: the control selects the picture itself to paint it.
        ui::Selected canvas(dialDc_.dc(), dialPicture_.get());
        const HDC dc = dialDc_.dc();
        BitBlt(dc, 0, 0, size.cx, size.cy, faceDc_.dc(), 0, 0, SRCCOPY);
        // Wider than the face, a hand looks the same; a bound keeps GDI reasonable.
        const int width = scaledPenWidth(std::clamp(hands.penWidth, 0, 1000), dpi());
        const auto colour = static_cast<COLORREF>(hands.colour);
        if (!handsPen_.pen || handsPen_.colour != colour || handsPen_.width != width)
            handsPen_ = {colour, width, ui::PenHandle(CreatePen(PS_SOLID, width, colour))};
        const HGDIOBJ previousPen =
            SelectObject(dc, handsPen_.pen ? handsPen_.pen.get() : GetStockObject(BLACK_PEN));
        const auto lines = scaledHands(dialHands(hands.hour, hands.minute, hands.second), dpi());
        // In one call, in their order (the second hand on top).
        std::array<POINT, 2 * lines.size()> ends{};
        std::array<DWORD, lines.size()> pointsPerHand{};
        for (std::size_t i = 0; i < lines.size(); ++i) {
            ends[2 * i] = {lines[i].fromX, lines[i].fromY};
            ends[2 * i + 1] = {lines[i].toX, lines[i].toY};
            pointsPerHand[i] = 2;
        }
        PolyPolyline(dc, ends.data(), pointsPerHand.data(), static_cast<DWORD>(lines.size()));
        SelectObject(dc, previousPen);
        // Shown at once, as a label shows its new text: asking the control to
        // repaint would cost a round of paint messages every second. Only the
        // hands that moved are copied to the screen; the control paints the
        // whole picture itself whenever it is uncovered.
        DialArea moved{0, 0, size.cx, size.cy};
        if (shownHands_ && shownHands_->colour == hands.colour && shownHands_->penWidth == hands.penWidth) {
            const auto area = movedHandsArea(
                scaledHands(dialHands(shownHands_->hour, shownHands_->minute, shownHands_->second), dpi()), lines,
                width);
            if (!area) return;
            moved = {std::max(area->left, 0), std::max(area->top, 0), std::min<int>(area->right, size.cx),
                     std::min<int>(area->bottom, size.cy)};
        }
        const HWND dial = control(Image1);
        if (IsWindowVisible(dial) && moved.right > moved.left && moved.bottom > moved.top) {
            const ui::WindowDC screen(dial);
            BitBlt(screen.get(), moved.left, moved.top, moved.right - moved.left, moved.bottom - moved.top, dc,
                   moved.left, moved.top, SRCCOPY);
        }
    }
}

void TForm1::setStatusText(const std::wstring& text) {
    if (shownTexts_.status == text) return;
    SetWindowTextW(control(StatusBar1), text.c_str());
    shownTexts_.status = text;
}

void TForm1::CheckAlarms() {
    // The alarms of a full hour come after its shake and its signal: the
    // checks of the ticks meanwhile wait for them, in their order.
    if (shaking()) {
        checksAfterTheSignal_.push_back(tick);
        return;
    }
    host_.CheckAlarms(tick);
}

void TForm1::checkAlarmsAfterTheSignal() {
    for (const TickFields& waited : std::exchange(checksAfterTheSignal_, {})) host_.CheckAlarms(waited);
}

void TForm1::showAlarmBell(bool shown) { ui::showControl(control(Image2), shown); }

void TForm1::onCommand(int id, int /*code*/, HWND /*control*/) {
    switch (id) {
    case Quitter1:
    case Quitter2:
        host_.quit();
        break;
    case Aide1:
        openHelp(services().shell, services().exeFolder);
        break;
    case Apropos1:
        services().boxes.show(aboutText, L"A propos...", box::ok | box::iconInformation);
        break;
    case RestaurerItem:
        RestaurerItemClick();
        break;
    default:  // the windows' items; QuitterItem only closes the menu
        if (id >= PluginItems) TMenuItemClick(id);
        else host_.open(id);
        break;
    }
}

void TForm1::buildPluginMenu() {
    // FormCreate's last step: the plug-ins found now stay listed until the end.
    for (const PluginItem& plugin : plugins_.discover()) {
        // Command numbers are 16 bits wide; past that, items could not be told apart.
        if (plugin.tag > 0xFFFF - PluginItems) break;
        // A menu takes "&" for the underlined letter; the file's name shows as it is.
        std::wstring caption;
        for (const wchar_t c : plugin.caption) caption += c == L'&' ? std::wstring(L"&&") : std::wstring(1, c);
        MENUITEMINFOW item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_ID | MIIM_STRING | MIIM_DATA | MIIM_FTYPE;
        item.fType = MFT_STRING;
        item.wID = static_cast<UINT>(PluginItems + plugin.tag);
        item.dwTypeData = caption.data();
        item.dwItemData = static_cast<ULONG_PTR>(plugin.tag);
        InsertMenuItemW(ools1_, static_cast<UINT>(GetMenuItemCount(ools1_)), TRUE, &item);
    }
}

void TForm1::TMenuItemClick(int commandId) {
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_DATA;
    if (!GetMenuItemInfoW(ools1_, static_cast<UINT>(commandId), FALSE, &item)) return;
    try {
        plugins_.RunPlugin(static_cast<std::int32_t>(item.dwItemData));
    } catch (const UnsoundProcessError& error) {
        host_.abandon(error.text());
    }
}

void TForm1::onClose() {
    // FormCloseQuery: the window closes only after a quit command; otherwise
    // the program goes to the tray and everything keeps running.
    if (QuitRequested) {
        host_.quit();
        return;
    }
    host_.hideOtherWindows();
    AddTrayIcon();
}

void TForm1::AddTrayIcon() {
    if (inTray_ && trayIconShown_) return;
    inTray_ = true;
    if (showTrayIcon()) hide();
    else if (!IsIconic(hwnd())) ShowWindow(hwnd(), SW_MINIMIZE);
}

bool TForm1::showTrayIcon() {
    trayIconShown_ =
        services().tray.add(hwnd(), TrayIconId, TrayCallbackMessage, trayIcons_[trayIconIndex_].get(), TrayTip);
    // New icons may land in the hidden part of the notification area: without
    // a word the clock would seem to have quit, and the user start it again.
    if (trayIconShown_ && !trayNoticeGiven_) {
        trayNoticeGiven_ = true;
        services().tray.notify(hwnd(), TrayIconId, TrayNoticeTitle, TrayNoticeText);
    }
    return trayIconShown_;
}

void TForm1::DeleteTrayIcon() {
    services().tray.remove(hwnd(), TrayIconId);
    inTray_ = false;
    trayIconShown_ = false;
}

void TForm1::TrayCallback(WPARAM anchor, LPARAM event) {
    // Version 4 puts the icon's number in the high word; the first version
    // sends the mouse message alone, and knows no keyboard.
    const bool version4 = HIWORD(event) == TrayIconId;
    switch (LOWORD(event)) {
    case WM_RBUTTONUP: {
        // Version 4 follows the right click with WM_CONTEXTMENU: one menu.
        if (version4) break;
        POINT cursor{};
        GetCursorPos(&cursor);
        showTrayMenu(cursor);
        break;
    }
    case WM_CONTEXTMENU: {
        // A right click, the menu key or Shift+F10. The anchor is where the
        // pointer clicked, or the icon's corner for the keyboard; the shell
        // documents it only for its other events, so one that lies outside
        // the icon gives way to the icon's own place when the shell says it.
        if (!version4) break;
        POINT at{GET_X_LPARAM(anchor), GET_Y_LPARAM(anchor)};
        const std::optional<IconPlace> icon = services().tray.place(hwnd(), TrayIconId);
        if (icon && !icon->holds(at.x, at.y)) at = {icon->left, icon->top};
        showTrayMenu(at);
        break;
    }
    case NIN_KEYSELECT:  // Enter or Space on the icon
    case WM_LBUTTONDBLCLK:
        comeBack();
        break;
    default:  // a single click (NIN_SELECT) or a move shows nothing
        break;
    }
}

void TForm1::showTrayMenu(POINT at) {
    // The menu must belong to a foreground window to close when the user
    // clicks elsewhere.
    SetForegroundWindow(hwnd());
    trayMenuEscaped = false;
    const HHOOK watch = SetWindowsHookExW(WH_MSGFILTER, watchTrayMenuKeys, nullptr, GetCurrentThreadId());
    TrackPopupMenu(PopUpDroit_.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd(),
                   nullptr);
    if (watch != nullptr) UnhookWindowsHookEx(watch);
    PostMessageW(hwnd(), WM_NULL, 0, 0);
    // Left with Escape: the keyboard goes back to where the user was.
    if (trayMenuEscaped) services().tray.giveFocusBack(hwnd(), TrayIconId);
}

void TForm1::RestaurerItemClick() { comeBack(); }

void TForm1::comeBack() {
    if (IsIconic(hwnd())) ShowWindow(hwnd(), SW_RESTORE);
    show();
    if (inTray_) DeleteTrayIcon();
    SetForegroundWindow(hwnd());
}

void TForm1::abandon() {
    if (ended_) return;
    ended_ = true;  // nothing is written from here on
    KillTimer(hwnd(), Timer1);
    clockTimer_.stopped();
    DeleteTrayIcon();
}

void TForm1::FormDestroy(bool reportFailure) {
    if (ended_) return;
    ended_ = true;
    KillTimer(hwnd(), Timer1);
    clockTimer_.stopped();
    DeleteTrayIcon();
    releaseTrayIcons();
    try {
        saveSettings(reportFailure);
    } catch (const UserError& error) {
        if (reportFailure) program().reportError(error.text());
    }
}

void TForm1::saveSettings(bool tellPlace) {
    const std::optional<std::wstring> movedTo = settingsFile_.save(settings);
    if (movedTo && tellPlace)
        services().boxes.show(settingsPlaceText(*movedTo), applicationTitle, box::ok | box::iconInformation);
}

LRESULT TForm1::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case TrayCallbackMessage:
        TrayCallback(wParam, lParam);
        return 0;
    case WM_QUERYENDSESSION:
        // Never stand in the way of a log-off or a shut-down.
        return TRUE;
    case WM_ENDSESSION:
        if (wParam != FALSE) host_.endSession();
        return 0;
    case WM_TIMECHANGE:
        followTimeChange();
        return 0;
    case WM_SETTINGCHANGE:
        // The zone or the regional formats may have changed; or the system's
        // scale, which the notification area follows.
        followTimeChange();
        if (wParam == SPI_SETNONCLIENTMETRICS || wParam == SPI_SETICONMETRICS)
            remakeTrayIcons();
        return Form::handleMessage(message, wParam, lParam);
    case WM_DISPLAYCHANGE:
        remakeTrayIcons();
        return Form::handleMessage(message, wParam, lParam);
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND) afterSleep();
        if (wParam == PBT_APMSUSPEND) host_.suspending();
        return TRUE;
    case WM_SIZE:
        // Brought back from the taskbar, where it waited for want of an icon:
        // it is no longer on its way to the tray.
        if (wParam != SIZE_MINIMIZED && inTray_ && !trayIconShown_ && IsWindowVisible(hwnd())) inTray_ = false;
        return Form::handleMessage(message, wParam, lParam);
    default:
        if (message == taskbarCreated_ && taskbarCreated_ != 0) {
            // The shell restarted and forgot our icon: without it a program
            // in the tray could be neither restored nor quit. A window that
            // waited minimised for the icon now goes behind it; a hidden one
            // whose icon the new shell refuses waits minimised for it, as
            // at start.
            if (!inTray_) return 0;
            if (showTrayIcon()) {
                if (IsWindowVisible(hwnd())) hide();
            } else if (!IsWindowVisible(hwnd())) {
                ShowWindow(hwnd(), SW_SHOWMINNOACTIVE);
            }
            return 0;
        }
        if (message == win32::comeBackMessage()) {
            comeBack();
            return 0;
        }
        return Form::handleMessage(message, wParam, lParam);
    }
}

}  // namespace orvane
