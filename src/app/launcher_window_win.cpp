#include "app/launcher_window_win.h"

#include "app/closing.h"
#include "app/control_ids.h"
#include "app/docking.h"
#include "app/resolve.h"
#include "app/texts.h"
#include "app/twips.h"
#include "platform/list_box_win.h"
#include "platform/shell_win.h"
#include "platform/window_win.h"
#include "store/entry_file.h"

#include "../res/resource.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cstdlib>

namespace corvantis::app {
namespace {

constexpr UINT kShowTopmost = SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW; // 0x43
constexpr UINT kKeepTopmost = SWP_NOSIZE | SWP_NOMOVE;                  // 3
constexpr UINT_PTR kTimer1 = 1;

} // namespace

LauncherWindow::LauncherWindow(store::Pubstr& pubstr)
    : pubstr_(pubstr), entryFile_(store::EntryFilePath(platform::ProgramFolder())),
      editor_(*this, pubstr) {}

HICON LauncherWindow::ClassIcon(HINSTANCE instance) {
    return LoadIconW(instance, MAKEINTRESOURCEW(IDI_CORVANTIS));
}

bool LauncherWindow::Create() {
    // Created hidden and empty: its size depends on the DPI of the screen it is on.
    if (!CreateBound(WS_EX_TOOLWINDOW, texts::kLauncherWindow, WS_POPUP | WS_CLIPCHILDREN, 0, 0, 0,
                     0, nullptr, nullptr, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)))) {
        return false;
    }
    dpi_ = platform::WindowDpi(Hwnd());
    CreateControls();
    Load();
    CreateTooltips();
    return true;
}

void LauncherWindow::CreateControls() {
    const HWND self = Hwnd();
    // Creation order is the stored order of the design; the tab order is kept separately.
    SetTimer(self, kTimer1, kDockTickMs, nullptr);
    commands_[4] =
        platform::CreateControl(WC_BUTTONW, texts::kCommand5, BS_PUSHBUTTON, self, ids::kCommand5);
    pmenu_.Create(self, ids::kPmenu, launcher::kStripBackground);
    pmenu_.SetFrame(launcher::kShape1, launcher::kShape1Border);
    const HWND strip = pmenu_.Hwnd();
    text1_ = platform::CreateControl(WC_EDITW, L"", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, strip,
                                     ids::kText1);
    SendMessageW(text1_, EM_SETLIMITTEXT, 0, 0);
    image1_ = platform::CreateControl(WC_STATICW, L"",
                                      WS_VISIBLE | SS_BITMAP | SS_NOTIFY | SS_REALSIZECONTROL,
                                      strip, ids::kImage1);
    image3_ = platform::CreateControl(WC_STATICW, L"",
                                      WS_VISIBLE | SS_BITMAP | SS_NOTIFY | SS_REALSIZECONTROL,
                                      strip, ids::kImage3);
    // Without SS_NOTIFY the label lets the mouse through to the strip, which drags the window.
    title_ = platform::CreateControl(WC_STATICW, texts::kTitle, WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                                     strip, ids::kTitle);
    const wchar_t* const captions[] = {texts::kCommand1, texts::kCommand2, texts::kCommand3,
                                       texts::kCommand4};
    for (int i = 3; i >= 0; --i) {
        commands_[i] = platform::CreateControl(WC_BUTTONW, captions[i],
                                               WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, self,
                                               ids::kCommand1 + i);
    }
    list1_ = platform::CreateControl(
        WC_LISTBOXW, L"", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
        self, ids::kList1, WS_EX_CLIENTEDGE);

    entries_ = platform::ListBoxEntries(list1_);
    SetWindowSubclass(list1_, List1Proc, 0, reinterpret_cast<DWORD_PTR>(this));
    list1Drop_.Register(list1_,
                        [this](std::u16string text) { List1_OLEDragDrop(std::move(text)); });

    keepOnTopGlyph_.reset(platform::LoadBitmapResource(IDB_KEEP_ON_TOP));
    exitGlyph_.reset(platform::LoadBitmapResource(IDB_EXIT));
    SendMessageW(image1_, STM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(keepOnTopGlyph_.get()));
    SendMessageW(image3_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(exitGlyph_.get()));
    list1Brush_.reset(CreateSolidBrush(platform::ToColorRef(launcher::kList1Background)));
}

// After the load: an owned tooltip that exists before the window first becomes topmost keeps it
// from becoming topmost under Wine.
void LauncherWindow::CreateTooltips() {
    tooltip_ = platform::CreateTooltip(Hwnd());
    platform::AddTooltip(tooltip_, text1_, texts::kText1Tip);
    platform::AddTooltip(tooltip_, image1_, texts::kImage1Tip);
    platform::AddTooltip(tooltip_, image3_, texts::kImage3Tip);
}

void LauncherWindow::Load() {
    const SIZE screen = platform::ScreenPixels();
    const TwipsPoint place =
        CentreOnScreen(PixelsToTwips(screen.cx, dpi_), PixelsToTwips(screen.cy, dpi_),
                       launcher::kWidth, launcher::kHeight);
    SetWindowPos(Hwnd(), nullptr, TwipsToPixels(place.x, dpi_), TwipsToPixels(place.y, dpi_),
                 TwipsToPixels(launcher::kWidth, dpi_), TwipsToPixels(launcher::kHeight, dpi_),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    Layout();
    // The start-up load reads the file the way the reload command does. A missing or
    // unreadable file leaves the list empty; nothing is created until a save.
    Command1_Click();
    platform::SetTopmost(Hwnd(), kShowTopmost);
    frame_ = FrameRect(launcher::kWidth, launcher::kHeight);
    strip_ = StripRect(launcher::kWidth);
    Layout();
    platform::SetTopmost(Hwnd(), kKeepTopmost);
    SetForegroundWindow(Hwnd());
    SetFocus(text1_);
}

void LauncherWindow::Layout() {
    // The new fonts reach the controls before the old ones are deleted.
    platform::UniqueFont windowFont = platform::CreateFontAt(launcher::kWindowFont, dpi_);
    platform::UniqueFont text1Font = platform::CreateFontAt(launcher::kText1Font, dpi_);
    platform::UniqueFont titleFont = platform::CreateFontAt(launcher::kTitleFont, dpi_);
    platform::UniqueFont list1Font = platform::CreateFontAt(launcher::kList1Font, dpi_);
    platform::UniqueFont buttonFont = platform::CreateFontAt(launcher::kButtonFont, dpi_);

    platform::PlaceControl(pmenu_.Hwnd(), strip_, dpi_);
    pmenu_.SetDpi(dpi_);
    platform::PlaceControl(text1_, launcher::kText1, dpi_);
    platform::PlaceControl(image1_, launcher::kImage1, dpi_);
    platform::PlaceControl(image3_, launcher::kImage3, dpi_);
    platform::PlaceControl(title_, launcher::kTitle, dpi_);
    platform::PlaceControl(list1_, launcher::kList1, dpi_);
    const TwipsRect* const places[] = {&launcher::kCommand1, &launcher::kCommand2,
                                       &launcher::kCommand3, &launcher::kCommand4,
                                       &launcher::kCommand5};
    for (size_t i = 0; i < commands_.size(); ++i) {
        platform::PlaceControl(commands_[i], *places[i], dpi_);
    }
    for (size_t i = 0; i < 4; ++i) {
        platform::SetFont(commands_[i], buttonFont);
    }
    platform::SetFont(commands_[4], windowFont); // Command5 has no font of its own
    platform::SetFont(text1_, text1Font);
    platform::SetFont(title_, titleFont);
    platform::SetFont(list1_, list1Font);

    windowFont_ = std::move(windowFont);
    text1Font_ = std::move(text1Font);
    titleFont_ = std::move(titleFont);
    list1Font_ = std::move(list1Font);
    buttonFont_ = std::move(buttonFont);
    InvalidateRect(Hwnd(), nullptr, TRUE);
}

bool LauncherWindow::PreTranslateMessage(const MSG& message) {
    if (editor_.PreTranslateMessage(message)) {
        return true;
    }
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) {
        return false;
    }
    if (message.hwnd != Hwnd() && !IsChild(Hwnd(), message.hwnd)) {
        return false;
    }
    if (message.wParam == VK_RETURN) {
        Command5_Click(); // and the key goes on to the focused control
    } else if (message.wParam == VK_TAB && GetKeyState(VK_CONTROL) >= 0 &&
               GetKeyState(VK_MENU) >= 0) {
        MoveFocus(GetKeyState(VK_SHIFT) < 0);
        return true;
    }
    return false;
}

void LauncherWindow::MoveFocus(bool backwards) {
    // Text1 comes first; the label and the invisible Command5 never take the focus.
    const std::array<HWND, 7> order = {text1_,       list1_,       commands_[0], commands_[1],
                                       commands_[2], commands_[3], pmenu_.Hwnd()};
    const HWND focus = GetFocus();
    size_t current = 0;
    while (current < order.size() && order[current] != focus) {
        ++current;
    }
    const size_t count = order.size();
    const size_t next = current == count ? 0
                        : backwards      ? (current + count - 1) % count
                                         : (current + 1) % count;
    SetFocus(order[next]);
}

bool LauncherWindow::ConfigSave() {
    return store::SaveEntryFile(entryFile_, platform::ListBoxItems(list1_), GetACP());
}

void LauncherWindow::Command5_Click() {
    ResolveFile(entryFile_, platform::FromWide(platform::WindowText(text1_)), GetACP(),
                [this](std::u16string_view target) { platform::ShellOpen(Hwnd(), target); });
    SetFocus(text1_);
}

void LauncherWindow::Image3_Click() {
    if (CloseLauncher(pubstr_, [this] { return ConfigSave(); }) == CloseOutcome::KeepRunning) {
        MessageBoxW(Hwnd(), texts::kSaveFailed, texts::kAppTitle, MB_OK | MB_ICONWARNING);
        return;
    }
    DestroyWindow(Hwnd());
}

void LauncherWindow::Command1_Click() {
    platform::ListBoxAppender list(list1_);
    store::LoadFileToList(entryFile_, list, GetACP());
}

void LauncherWindow::Command2_Click() {
    SendMessageW(list1_, LB_RESETCONTENT, 0, 0);
}

LRESULT LauncherWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
        return OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ACTIVATE:
        OnActivate(wParam);
        return 0;
    case WM_SETFOCUS:
        OnSetFocus();
        return 0;
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_TIMER:
        if (wParam == kTimer1) {
            OnTimer1();
        }
        return 0;
    case platform::kPanelMouseMove:
        OnPmenuMouseMove(wParam);
        return 0;
    case WM_CLOSE: // Alt+F4 closes like the exit glyph, so changes are never dropped
        Image3_Click();
        return 0;
    case WM_ENDSESSION:
        OnEndSession(wParam != FALSE);
        return 0;
    case WM_DESTROY:
        list1Drop_.Reset();
        RemoveWindowSubclass(list1_, List1Proc, 0);
        PostQuitMessage(0);
        return 0;
    default:
        return Default(message, wParam, lParam);
    }
}

void LauncherWindow::OnCommand(int id, int code) {
    if (code != BN_CLICKED && code != STN_CLICKED) {
        return;
    }
    switch (id) {
    case ids::kCommand1:
        Command1_Click();
        break;
    case ids::kCommand2:
        Command2_Click();
        break;
    case ids::kCommand3:
        ConfigSave();
        break;
    case ids::kCommand5:
        Command5_Click();
        break;
    case ids::kImage1:
        platform::SetTopmost(Hwnd(), kKeepTopmost);
        break;
    case ids::kImage3:
        Image3_Click();
        break;
    default: // Command4 has no action
        break;
    }
}

LRESULT LauncherWindow::OnCtlColor(HDC dc, HWND control) {
    if (control == list1_) {
        SetTextColor(dc, platform::ToColorRef(launcher::kList1Colour));
        SetBkColor(dc, platform::ToColorRef(launcher::kList1Background));
        return reinterpret_cast<LRESULT>(list1Brush_.get());
    }
    if (control == text1_) {
        SetTextColor(dc, platform::ToColorRef(launcher::kText1Colour));
        SetBkColor(dc, platform::ToColorRef(launcher::kText1Background));
    } else if (control == title_) {
        SetTextColor(dc, platform::ToColorRef(launcher::kTitleColour));
        SetBkMode(dc, TRANSPARENT);
    }
    return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
}

void LauncherWindow::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Hwnd(), &ps);
    platform::DrawFrame(dc, platform::PixelRect(frame_, dpi_), launcher::kFrameBorder);
    EndPaint(Hwnd(), &ps);
}

void LauncherWindow::OnActivate(WPARAM wParam) {
    // Like a dialog: the control that had the focus gets it back when the window is activated.
    if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus != nullptr && IsChild(Hwnd(), focus)) {
            lastFocus_ = focus;
        }
    } else {
        OnSetFocus();
    }
}

void LauncherWindow::OnSetFocus() {
    SetFocus(lastFocus_ != nullptr && IsWindow(lastFocus_) ? lastFocus_ : text1_);
}

void LauncherWindow::OnDpiChanged(unsigned dpi, const RECT& suggested) {
    dpi_ = dpi;
    platform::MoveToRect(Hwnd(), suggested);
    Layout();
}

void LauncherWindow::OnTimer1() {
    DockInput input;
    POINT pointer{};
    RECT rect{};
    GetCursorPos(&pointer);
    GetWindowRect(Hwnd(), &rect);
    input.pointer = {pointer.x, pointer.y};
    input.rect = {rect.left, rect.top, rect.right, rect.bottom};
    input.left = PixelsToTwips(rect.left, dpi_);
    input.top = PixelsToTwips(rect.top, dpi_);
    input.width = PixelsToTwips(rect.right - rect.left, dpi_);
    input.height = PixelsToTwips(rect.bottom - rect.top, dpi_);
    input.screenWidth = PixelsToTwips(platform::ScreenPixels().cx, dpi_);
    input.minimised = IsIconic(Hwnd()) != FALSE;

    const DockAction action = DockStep(input);
    if (action.newLeft || action.newTop) {
        const int x = action.newLeft ? TwipsToPixels(*action.newLeft, dpi_) : rect.left;
        const int y = action.newTop ? TwipsToPixels(*action.newTop, dpi_) : rect.top;
        SetWindowPos(Hwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (action.show) {
        ShowWindow(Hwnd(), SW_SHOW);
    }
}

void LauncherWindow::OnPmenuMouseMove(WPARAM keys) {
    // Only a held left button drags: a bare move over the strip must not grab the window.
    if ((keys & MK_LBUTTON) != 0) {
        platform::DragWindow(Hwnd());
    }
}

void LauncherWindow::OnEndSession(bool ending) {
    // Signing out ends the program without the exit glyph: keep the changes all the same.
    if (ending) {
        CloseLauncher(pubstr_, [this] { return ConfigSave(); });
    }
}

LRESULT CALLBACK LauncherWindow::List1Proc(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR, DWORD_PTR self) noexcept {
    auto* launcher = reinterpret_cast<LauncherWindow*>(self);
    const LRESULT result = DefSubclassProc(list, message, wParam, lParam);
    try {
        switch (message) {
        case WM_LBUTTONDOWN:
            launcher->list1Press_ = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            launcher->list1Pressed_ = true;
            break;
        case WM_MOUSEMOVE:
            launcher->List1_MouseMove(wParam, lParam);
            break;
        case WM_LBUTTONUP:
            // Only a press that began on the list ends here: a release left over from a click
            // that closed a window above the list is not the list's. The list has moved its
            // selection by now, so SelIndex is the item clicked.
            if (launcher->list1Pressed_) {
                launcher->list1Pressed_ = false;
                launcher->List1_MouseUp();
            }
            break;
        default:
            break;
        }
    } catch (...) {
        // Nothing may unwind through the window system.
    }
    return result;
}

void LauncherWindow::List1_MouseUp() {
    const auto selected = SendMessageW(list1_, LB_GETCURSEL, 0, 0);
    pubstr_.SelIndex = selected == LB_ERR ? -1 : static_cast<int>(selected);
    RunMenuCommand(menu_.PopUp(Hwnd()));
}

void LauncherWindow::List1_MouseMove(WPARAM keys, LPARAM position) {
    // Items can be dragged out as text: a press on the list that moves past the system's drag
    // distance starts the drag, and the release then belongs to the drop, not to the menu.
    if (!list1Pressed_ || (keys & MK_LBUTTON) == 0) {
        list1Pressed_ = false;
        return;
    }
    const POINT now{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (std::abs(now.x - list1Press_.x) <= GetSystemMetrics(SM_CXDRAG) &&
        std::abs(now.y - list1Press_.y) <= GetSystemMetrics(SM_CYDRAG)) {
        return;
    }
    list1Pressed_ = false;
    const auto selected = SendMessageW(list1_, LB_GETCURSEL, 0, 0);
    if (selected != LB_ERR) {
        ReleaseCapture();
        platform::DragTextOut(platform::ListBoxItem(list1_, static_cast<int>(selected)));
    }
}

void LauncherWindow::List1_OLEDragDrop(std::u16string text) {
    editor_.OpenWithTarget(text);
}

void LauncherWindow::RunMenuCommand(editing::MenuCommand command) {
    switch (command) {
    case editing::MenuCommand::AddOne:
        editor_.OpenAdd();
        break;
    case editing::MenuCommand::EditIt:
        editor_.OpenEdit();
        break;
    case editing::MenuCommand::Delete:
        editing::DeleteSelected(entries_, pubstr_);
        break;
    case editing::MenuCommand::DeleteAll:
        if (MessageBoxW(Hwnd(), texts::kDeleteAllQuestion, texts::kDeleteAllTitle, MB_OKCANCEL) ==
            IDOK) {
            editing::DeleteAll(entries_, entryFile_);
        }
        break;
    case editing::MenuCommand::None:
        break;
    }
}

void LauncherWindow::HideForAdding() {
    ShowWindow(Hwnd(), SW_HIDE);
}

void LauncherWindow::SuspendDocking() {
    KillTimer(Hwnd(), kTimer1);
}

void LauncherWindow::ReturnFromEditor() {
    ShowWindow(Hwnd(), SW_SHOW);
    SetForegroundWindow(Hwnd());
    SetFocus(text1_);
    SetTimer(Hwnd(), kTimer1, kDockTickMs, nullptr);
}

} // namespace corvantis::app
