#include "app/launcher_window_win.h"

#include "app/failed_write_win.h"
#include "app/layout.h"

#include "../res/resource.h"
#include "platform/window_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <utility>

namespace corvantis::app {
namespace {

// The finishing start's timer comes after every paint waiting; following data.txt looks whether
// it changed outside.
enum : UINT_PTR { kDockingTimer = 1, kFinishStartTimer, kFollowFileTimer };
constexpr UINT kFollowFileMs = 500;
// Opens the editor on what was dropped, once IDropTarget::Drop has returned.
constexpr UINT kOpenDropMessage = WM_APP + 1;

} // namespace

LauncherWindow::LauncherWindow(core::Launcher& launcher)
    : launcher_(launcher), stripPlace_(launcher::kTitleStrip), docking_(kDockingTimer) {
    editor_.OnAdd([this](std::u16string_view line) { launcher_.Add(line); });
    editor_.OnEdit(
        [this](core::EntryList::Id id, std::u16string_view line) { launcher_.Edit(id, line); });
    editor_.OnClosed([this] { ReturnFromEditor(); });
}

HICON LauncherWindow::ClassIcon(HINSTANCE instance) {
    return LoadIconW(instance, MAKEINTRESOURCEW(IDI_CORVANTIS));
}

bool LauncherWindow::Create(std::uint64_t summonKey) {
    hiddenOwner_ = platform::CreateHiddenOwner();
    if (!CreatePopup(texts::kLauncherWindow, hiddenOwner_.get())) {
        return false;
    }
    launches_.emplace(Hwnd(), launcher_.Folder(), texts::kAppTitle);
    summons_.Listen(Hwnd(), summonKey);
    docking_.Start(Hwnd());
    Load();
    if (SetTimer(Hwnd(), kFollowFileTimer, kFollowFileMs, nullptr) == 0) {
        platform::Trace(L"SetTimer failed: the list does not follow outside changes of data.txt");
    }
    if (SetTimer(Hwnd(), kFinishStartTimer, 0, nullptr) == 0) {
        platform::Trace(L"SetTimer failed: the start is finished at once");
        FinishStart();
    }
    return true;
}

bool LauncherWindow::CreateControls() {
    if (!controls_.Create(Hwnd(), launcher_.Entries())) {
        return false;
    }
    launcher_.Show(&controls_.entryList);
    editor_.SetOwner(Hwnd());
    RememberFocus(controls_.requestBox.Hwnd());
    controls_.searchButton.OnClick([this] { RunRequest(); });
    controls_.keepOnTopGlyph.OnClick([this] { KeepOnTop(); });
    controls_.closeGlyph.OnClick([this] { CloseAndSave(); });
    controls_.reloadButton.OnClick([this] { launcher_.Reload(); });
    controls_.clearButton.OnClick([this] { launcher_.Clear(); });
    controls_.saveButton.OnClick([this] {
        if (const auto fault = launcher_.Save()) {
            Warn(FailureText(texts::kSaveFailed, launcher_.FilePath(), *fault).c_str());
        }
    });
    EntryListBox& list = controls_.entryList;
    list.OnClick([this, &list] { PopUpMenu(list.Selection(), std::nullopt); });
    list.OnMenuKey(
        [this, &list] { PopUpMenu(list.Selection(), list.MenuPlace(list.Selection())); });
    return true;
}

void LauncherWindow::Layout() {
    controls_.Layout(stripPlace_, Dpi());
    InvalidateRect(Hwnd(), nullptr, TRUE);
}

void LauncherWindow::FinishStart() {
    KillTimer(Hwnd(), kFinishStartTimer);
    controls_.entryList.AcceptDrops([this](std::u16string text) {
        // One line, as a single-line box takes a paste. Not from inside the drop: the drag's
        // source still has the foreground, and the editor is to take it after the drag.
        dropped_ = core::FirstLine(text);
        if (!PostMessageW(Hwnd(), kOpenDropMessage, 0, 0)) {
            platform::Trace(L"PostMessageW failed: the editor opens inside the drop");
            OpenDropped();
        }
    });
    // After the load: an owned tooltip that exists before the window first becomes topmost keeps
    // it from becoming topmost under Wine.
    controls_.AddTips(Hwnd());
}

void LauncherWindow::Load() {
    PlaceCentred(launcher::kWidth, launcher::kHeight);
    SetFrame(launcher::kWindowFrameDesign, kFrameBorder);
    Layout();
    // A missing file leaves the list empty, and nothing is created until a save. So does an
    // unreadable one, and the user hears of it: its entries come back once it can be read.
    const bool unreadable = launcher_.Load() == core::LoadOutcome::Unreadable;
    ShowOnTop();
    SetFrame(FrameRect(launcher::kWidth, launcher::kHeight), kFrameBorder);
    stripPlace_ = launcher::StripRect(launcher::kWidth);
    Layout();
    KeepOnTop();
    SetForegroundWindow(Hwnd());
    SetFocus(controls_.requestBox.Hwnd());
    if (unreadable) {
        Warn(texts::kUnreadableAtStart);
    }
}

bool LauncherWindow::PreTranslateMessage(const MSG& message) {
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) {
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
    // Matched here; the launch thread looks up what the targets name, which may take long.
    core::Matched matched = launcher_.Match(controls_.requestBox.Text());
    if (!matched.targets.empty()) {
        launches_->Open([matched = std::move(matched)] {
            std::vector<platform::ShellOpening> openings;
            for (core::Launch& launch : core::Resolve(matched)) {
                openings.push_back({std::move(launch.file), std::move(launch.parameters)});
            }
            return openings;
        });
    }
    // The request stays, selected: the next keyword typed replaces it.
    controls_.requestBox.Focus(true);
}

void LauncherWindow::CloseAndSave() {
    // The window goes at once: writing a big list back takes a moment nobody needs to watch.
    // Launches not yet begun go with it; one under way is not waited for.
    ShowWindow(Hwnd(), SW_HIDE);
    launches_.reset();
    while (const std::optional<core::WriteFault> fault = launcher_.Close()) {
        ShowWindow(Hwnd(), SW_SHOW); // back, with what went wrong and the ways out
        const std::u16string copy = CopyPath(launcher_.Folder());
        const CloseChoice choice = WhileWaiting(
            [&] { return AskAfterFailedClose(Hwnd(), launcher_.FilePath(), *fault, copy); });
        if (choice == CloseChoice::QuitUnsaved && launcher_.WriteCopy(copy)) {
            break;
        }
        if (choice != CloseChoice::TryAgain) {
            if (choice == CloseChoice::QuitUnsaved) {
                Warn(FailureText(texts::kCopyFailed, launcher_.FilePath(), *fault, copy).c_str());
            }
            launches_.emplace(Hwnd(), launcher_.Folder(), texts::kAppTitle);
            return;
        }
        ShowWindow(Hwnd(), SW_HIDE);
    }
    DestroyWindow(Hwnd());
}

void LauncherWindow::PopUpMenu(int selected, std::optional<POINT> at) {
    const MenuCommand command = WhileWaiting(
        [&] { return menu_.PopUp(Hwnd(), at, launcher_.Entries().HasItem(selected)); });
    switch (command) {
    case MenuCommand::AddOne:
        OpenEditor(true, [this] { return editor_.OpenAdd(); });
        break;
    case MenuCommand::EditIt:
        if (const auto opening = launcher_.OpenEdit(selected)) {
            OpenEditor(false, [&] { return editor_.OpenEdit(opening->id, opening->parts); });
        }
        break;
    case MenuCommand::Delete:
        launcher_.Delete(selected);
        break;
    case MenuCommand::DeleteAll:
        if (Ask(texts::kDeleteAllQuestion, texts::kDeleteAllTitle, MB_OKCANCEL) == IDOK) {
            if (const auto fault = launcher_.DeleteAll()) {
                Warn(FailureText(texts::kDeleteAllFailed, launcher_.FilePath(), *fault).c_str());
            }
        }
        break;
    case MenuCommand::None:
        break;
    }
}

void LauncherWindow::OpenEditor(bool adding, const std::function<bool()>& open) {
    // The editor takes the foreground before the launcher hides: hidden first, the launcher
    // would hand the foreground to another program, which may then keep the keyboard.
    if (!open()) {
        return;
    }
    if (adding) {
        ShowWindow(Hwnd(), SW_HIDE);
    }
    docking_.Stop(Hwnd());
}

void LauncherWindow::OpenDropped() {
    if (const auto target = std::exchange(dropped_, std::nullopt)) {
        OpenEditor(true, [&] { return editor_.OpenWithTarget(*target); });
    }
}

void LauncherWindow::ReturnFromEditor() {
    ShowWindow(Hwnd(), SW_SHOW);
    SetForegroundWindow(Hwnd());
    SetFocus(controls_.requestBox.Hwnd());
    docking_.Start(Hwnd());
}

void LauncherWindow::Summon() {
    // While the editor is open, or a message box waits for an answer, that comes forward; the
    // launcher follows when it closes.
    if (editor_.ComeForward() || platform::ForwardActivePopup(Hwnd())) {
        return;
    }
    EdgeDocking::Reveal(Hwnd(), Dpi());
    ShowOnTop();
    SetForegroundWindow(Hwnd());
    docking_.Summoned(GetForegroundWindow() == Hwnd());
    controls_.requestBox.Focus(true);
}

LRESULT LauncherWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ACTIVATE:
        // A message box of its own, or of the shell about a launch, takes the activation only
        // while the launcher waits on it.
        if (const auto other = reinterpret_cast<HWND>(lParam);
            LOWORD(wParam) != WA_INACTIVE || GetWindow(other, GW_OWNER) != Hwnd() ||
            (waiting_ == 0 && !(launches_ && launches_->Shows(other)))) {
            docking_.Activated(LOWORD(wParam) != WA_INACTIVE);
        }
        return 0;
    case WM_TIMER:
        if (docking_.IsTick(wParam)) {
            docking_.Tick(Hwnd(), Dpi(), Waiting());
        } else if (wParam == kFollowFileTimer && !Waiting() && !editor_.IsOpen() &&
                   !launches_->Busy()) {
            // Not under the menu or the editor, which act on the entries they were opened on,
            // nor while a launch may be looking up a target on a share that does not answer.
            launcher_.FollowFile();
        } else if (wParam == kFinishStartTimer) {
            FinishStart();
        }
        return 0;
    case kOpenDropMessage:
        OpenDropped();
        return 0;
    case WM_CLOSE: // Alt+F4 closes like the close glyph, so changes are never dropped
        CloseAndSave();
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE; // a logoff or shutdown is never held up: the list is kept as the session ends
    case WM_ENDSESSION:
        // Signing out: the changes are kept all the same, in data.txt or a file of their own.
        if (wParam != FALSE && launcher_.Close() &&
            !launcher_.WriteCopy(CopyPath(launcher_.Folder()))) {
            platform::Trace(L"the session ends with changes no file could take");
        }
        return 0;
    case WM_DESTROY:
        controls_.entryList.Detach();
        PostQuitMessage(0);
        return 0;
    default:
        switch (summons_.Whom(message, wParam, lParam)) {
        case Summons::ThisLauncher:
            Summon();
            return kSummonAnswered;
        case Summons::OtherFolder:
            return 0;
        case Summons::None:
            break;
        }
        return Default(message, wParam, lParam);
    }
}

} // namespace corvantis::app
