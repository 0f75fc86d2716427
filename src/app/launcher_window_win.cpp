#include "app/launcher_window_win.h"

#include "app/control_ids.h"
#include "app/edge_docking_win.h"
#include "app/launcher_layout.h"
#include "app/summon_win.h"
#include "app/texts.h"
#include "core/closing.h"
#include "core/docking.h"
#include "core/entry_commands.h"
#include "core/resolve.h"
#include "platform/shell_win.h"

#include "../res/resource.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

namespace corvantis::app {
namespace {

constexpr UINT_PTR kDockingTimer = 1;
// A timer's message comes after every paint the window has waiting: the start is finished then.
constexpr UINT_PTR kFinishStartTimer = 2;

} // namespace

LauncherWindow::LauncherWindow(core::LauncherState& state, core::EntryFile entryFile)
    : state_(state), entryFile_(std::move(entryFile)), stripPlace_(launcher::kTitleStrip),
      editor_(*this, state) {}

HICON LauncherWindow::ClassIcon(HINSTANCE instance) {
    return LoadIconW(instance, MAKEINTRESOURCEW(IDI_CORVANTIS));
}

bool LauncherWindow::Create() {
    if (!CreateBound(WS_EX_TOOLWINDOW, texts::kLauncherWindow, WS_POPUP | WS_CLIPCHILDREN, nullptr,
                     nullptr, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)))) {
        return false;
    }
    const bool created = controls_.Create(Hwnd(), entries_,
                                          {[this] { OnListClick(); },
                                           [this](std::u16string text) {
                                               // One line, as a single-line box takes a paste.
                                               editor_.OpenWithTarget(core::FirstLine(text));
                                           }});
    if (!created) {
        platform::Trace(L"the launcher's controls could not be created");
        DestroyWindow(Hwnd());
        return false;
    }
    SetTimer(Hwnd(), kDockingTimer, core::kDockTickMs, nullptr);
    Load();
    SetTimer(Hwnd(), kFinishStartTimer, 0, nullptr);
    return true;
}

void LauncherWindow::FinishStart() {
    KillTimer(Hwnd(), kFinishStartTimer);
    ole_.emplace();
    controls_.entryList.AcceptDrops();
    const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    if (!InitCommonControlsEx(&controls)) {
        platform::Trace(L"InitCommonControlsEx failed");
    }
    // After the load: an owned tooltip that exists before the window first becomes topmost keeps
    // it from becoming topmost under Wine.
    const HWND tooltip = platform::CreateTooltip(Hwnd());
    platform::AddTooltip(tooltip, controls_.requestBox, texts::kRequestBoxTip);
    platform::AddTooltip(tooltip, controls_.keepOnTopGlyph, texts::kKeepOnTopTip);
    platform::AddTooltip(tooltip, controls_.closeGlyph, texts::kCloseTip);
}

void LauncherWindow::AnswerSummons(std::uint64_t key) {
    summonKey_ = key;
    summonMessage_ = SummonMessage();
    // A copy started without elevation may summon an elevated one.
    if (summonMessage_ != 0 &&
        !ChangeWindowMessageFilterEx(Hwnd(), summonMessage_, MSGFLT_ALLOW, nullptr)) {
        platform::Trace(L"ChangeWindowMessageFilterEx failed for the summon");
    }
}

void LauncherWindow::Load() {
    PlaceCentred(launcher::kWidth, launcher::kHeight);
    SetFrame(launcher::kWindowFrameDesign, launcher::kFrameBorder);
    Layout();
    // A missing file leaves the list empty, and nothing is created until a save. So does an
    // unreadable one, and the user hears of it: its entries come back once it can be read.
    const bool unreadable = entryFile_.Load(entries_) == core::LoadOutcome::Unreadable;
    ShowOnTop();
    SetFrame(launcher::FrameRect(launcher::kWidth, launcher::kHeight), launcher::kFrameBorder);
    stripPlace_ = launcher::StripRect(launcher::kWidth);
    Layout();
    KeepOnTop();
    SetForegroundWindow(Hwnd());
    SetFocus(controls_.requestBox);
    if (unreadable) {
        MessageBoxW(Hwnd(), texts::kUnreadableAtStart, texts::kAppTitle, MB_OK | MB_ICONWARNING);
    }
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
        RunRequest(); // and the key goes on to the focused control
    } else if (message.wParam == VK_TAB && GetKeyState(VK_CONTROL) >= 0 &&
               GetKeyState(VK_MENU) >= 0) {
        platform::MoveFocusAlong(controls_.TabOrder(), GetKeyState(VK_SHIFT) < 0);
        return true;
    }
    return false;
}

void LauncherWindow::RunRequest() {
    // A relative target means one beside the program and its data.txt, wherever it was started.
    const std::u16string folder = platform::ProgramFolder();
    core::ResolveRequest(
        entryFile_, platform::WindowText(controls_.requestBox),
        [&](std::u16string_view target) { platform::ShellOpen(Hwnd(), target, folder); });
    SetFocus(controls_.requestBox);
}

bool LauncherWindow::SaveList() {
    return entryFile_.Save(entries_);
}

void LauncherWindow::CloseAndSave() {
    // The window goes at once: writing a big list back takes a moment nobody needs to watch.
    ShowWindow(Hwnd(), SW_HIDE);
    if (core::CloseLauncher(state_, [this] { return SaveList(); }) ==
        core::CloseOutcome::KeepRunning) {
        ShowWindow(Hwnd(), SW_SHOW); // back, with what went wrong
        MessageBoxW(Hwnd(), texts::kCloseSaveFailed, texts::kAppTitle, MB_OK | MB_ICONWARNING);
        return;
    }
    DestroyWindow(Hwnd());
}

void LauncherWindow::OnListClick() {
    state_.selected = controls_.entryList.Selection();
    menuOpen_ = true;
    const MenuCommand command = menu_.PopUp(Hwnd());
    menuOpen_ = false;
    RunMenuCommand(command);
}

void LauncherWindow::OnTick() {
    if (!dockingHeld_) {
        DockingTick(Hwnd(), Dpi());
    }
    // The list follows outside changes of the file while it has none of its own; not under an
    // open menu, which acts on what it was opened on. (The editor stops the tick.)
    if (!menuOpen_) {
        entryFile_.Follow(entries_);
    }
}

LRESULT LauncherWindow::OnSummon(WPARAM wParam, LPARAM lParam) {
    if (!summonKey_ || !NamesKey(wParam, lParam, *summonKey_)) {
        return 0; // a copy from another folder looks for its own launcher
    }
    Summon();
    return kSummonAnswered;
}

void LauncherWindow::Summon() {
    // While the editor is open, or a message box waits for an answer, that comes forward; the
    // launcher follows when it closes.
    const HWND editor = editor_.Hwnd();
    const HWND popup = GetLastActivePopup(editor != nullptr ? editor : Hwnd());
    if (editor != nullptr && popup == editor) {
        editor_.Show();
        return;
    }
    if (popup != Hwnd()) {
        SetForegroundWindow(popup);
        return;
    }
    DockingReveal(Hwnd(), Dpi());
    ShowOnTop();
    SetForegroundWindow(Hwnd());
    dockingHeld_ = GetForegroundWindow() == Hwnd();
    SetFocus(controls_.requestBox);
    SendMessageW(controls_.requestBox, EM_SETSEL, 0, -1);
}

void LauncherWindow::OnListMenuKey() {
    const HWND list = controls_.entryList.Hwnd();
    state_.selected = controls_.entryList.Selection();
    RECT client{};
    GetClientRect(list, &client);
    POINT at{client.left, client.top}; // no selection: at the list's top-left corner
    RECT item{};
    if (state_.selected >= 0 &&
        SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(state_.selected),
                     reinterpret_cast<LPARAM>(&item)) != LB_ERR) {
        // An item scrolled out of view: the menu stays at the list's edge.
        at = {item.left, std::clamp(item.bottom, client.top, client.bottom)};
    }
    ClientToScreen(list, &at);
    menuOpen_ = true;
    const MenuCommand command = menu_.PopUp(Hwnd(), at);
    menuOpen_ = false;
    RunMenuCommand(command);
}

void LauncherWindow::RunMenuCommand(MenuCommand command) {
    switch (command) {
    case MenuCommand::AddOne:
        editor_.OpenAdd();
        break;
    case MenuCommand::EditIt:
        editor_.OpenEdit();
        break;
    case MenuCommand::Delete:
        core::DeleteSelected(entries_, state_);
        break;
    case MenuCommand::DeleteAll:
        if (MessageBoxW(Hwnd(), texts::kDeleteAllQuestion, texts::kDeleteAllTitle, MB_OKCANCEL) ==
                IDOK &&
            !core::DeleteAll(entries_, entryFile_)) {
            MessageBoxW(Hwnd(), texts::kDeleteAllFailed, texts::kAppTitle, MB_OK | MB_ICONWARNING);
        }
        break;
    case MenuCommand::None:
        break;
    }
}

LRESULT LauncherWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
        return controls_.Colour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CONTEXTMENU:
        // The list passes its menu key up, at -1, -1; a right click on it (at the pointer's
        // coordinates) does nothing.
        if (reinterpret_cast<HWND>(wParam) == controls_.entryList.Hwnd() &&
            GET_X_LPARAM(lParam) == -1 && GET_Y_LPARAM(lParam) == -1) {
            OnListMenuKey();
            return 0;
        }
        return Default(message, wParam, lParam);
    case WM_DRAWITEM: // the entry list draws its items from the entries
        return controls_.entryList.Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))
                   ? TRUE
                   : Default(message, wParam, lParam);
    case WM_ACTIVATE:
        OnActivate(wParam);
        return 0;
    case WM_SETFOCUS:
        OnSetFocus();
        return 0;
    case WM_TIMER:
        if (wParam == kDockingTimer) {
            OnTick();
        } else if (wParam == kFinishStartTimer) {
            FinishStart();
        }
        return 0;
    case platform::kPanelMouseMove:
        // Only a held left button drags: a bare move over the strip must not grab the window.
        if ((wParam & MK_LBUTTON) != 0) {
            platform::DragWindow(Hwnd());
        }
        return 0;
    case WM_CLOSE: // Alt+F4 closes like the close glyph, so changes are never dropped
        CloseAndSave();
        return 0;
    case WM_ENDSESSION:
        // Signing out ends the program without the close glyph: keep the changes all the same.
        if (wParam != FALSE) {
            core::CloseLauncher(state_, [this] { return SaveList(); });
        }
        return 0;
    case WM_DESTROY:
        controls_.entryList.Detach();
        PostQuitMessage(0);
        return 0;
    default:
        if (summonMessage_ != 0 && message == summonMessage_) {
            return OnSummon(wParam, lParam);
        }
        return Default(message, wParam, lParam);
    }
}

void LauncherWindow::OnCommand(int id, int code) {
    if (code != BN_CLICKED && code != STN_CLICKED) {
        return;
    }
    switch (id) {
    case ids::kReloadButton:
        core::ReloadList(entries_, entryFile_);
        break;
    case ids::kClearButton:
        entries_.Clear();
        break;
    case ids::kSaveButton:
        if (!SaveList()) {
            MessageBoxW(Hwnd(), texts::kSaveFailed, texts::kAppTitle, MB_OK | MB_ICONWARNING);
        }
        break;
    case ids::kSearchButton:
        RunRequest();
        break;
    case ids::kKeepOnTopGlyph:
        KeepOnTop();
        break;
    case ids::kCloseGlyph:
        CloseAndSave();
        break;
    default: // the spare button has no action
        break;
    }
}

void LauncherWindow::OnActivate(WPARAM wParam) {
    // Like a dialog: the control that had the focus gets it back when the window is activated.
    if (LOWORD(wParam) == WA_INACTIVE) {
        dockingHeld_ = false;
        const HWND focus = GetFocus();
        if (focus != nullptr && IsChild(Hwnd(), focus)) {
            lastFocus_ = focus;
        }
    } else {
        OnSetFocus();
    }
}

void LauncherWindow::OnSetFocus() {
    SetFocus(lastFocus_ != nullptr && IsWindow(lastFocus_) ? lastFocus_ : controls_.requestBox);
}

void LauncherWindow::HideForAdding() {
    ShowWindow(Hwnd(), SW_HIDE);
}

void LauncherWindow::SuspendDocking() {
    KillTimer(Hwnd(), kDockingTimer);
}

void LauncherWindow::ReturnFromEditor() {
    ShowWindow(Hwnd(), SW_SHOW);
    SetForegroundWindow(Hwnd());
    SetFocus(controls_.requestBox);
    SetTimer(Hwnd(), kDockingTimer, core::kDockTickMs, nullptr);
}

} // namespace corvantis::app
