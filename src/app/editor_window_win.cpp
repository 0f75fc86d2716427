#include "app/editor_window_win.h"

#include "app/control_ids.h"
#include "app/editor_layout.h"
#include "app/texts.h"
#include "core/entry_commands.h"
#include "platform/drag_source_win.h"

#include "../res/resource.h"

#include <commctrl.h>
#include <windowsx.h>

#include <array>

namespace corvantis::app {

EditorWindow::EditorWindow(EditorHost& host, core::LauncherState& state)
    : host_(host), state_(state) {}

void EditorWindow::OpenAdd() {
    core::AddOpening(state_);
    host_.HideForAdding();
    if (EnsureOpen()) {
        Show();
    }
}

void EditorWindow::OpenEdit() {
    const auto parts = core::EditOpening(host_.Entries(), state_);
    if (!parts || !EnsureOpen()) {
        return;
    }
    platform::SetText(keywordsBox_, parts->keywords);
    platform::SetText(targetBox_, parts->target);
    Show();
}

void EditorWindow::OpenWithTarget(std::u16string_view target) {
    host_.HideForAdding();
    core::AddOpening(state_);
    if (EnsureOpen()) {
        Show();
        platform::SetText(targetBox_, target);
    }
}

bool EditorWindow::EnsureOpen() {
    if (Hwnd() != nullptr || Create()) {
        return true;
    }
    // The launcher may have hidden itself for the editor: it must come back.
    host_.ReturnFromEditor();
    return false;
}

bool EditorWindow::Create() {
    if (!CreateBound(WS_EX_TOOLWINDOW, texts::kEditorWindow, WS_POPUP | WS_CLIPCHILDREN, nullptr,
                     nullptr, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)))) {
        return false;
    }
    if (!CreateControls()) {
        platform::Trace(L"the editor's controls could not be created");
        DestroyWindow(Hwnd());
        return false;
    }
    PlaceCentred(editor::kWidth, editor::kHeight);
    SetFrame(editor::kFrame, editor::kFrameBorder);
    Layout();

    host_.SuspendDocking();
    KeepOnTop();
    // Only now: an owned tooltip that already exists keeps the window from becoming topmost.
    platform::AddTooltip(platform::CreateTooltip(Hwnd()), closeGlyph_, texts::kEditorCloseTip);
    return true;
}

bool EditorWindow::CreateControls() {
    const HWND self = Hwnd();
    const HWND panel = panel_.Create(self, ids::kEditorPanel, editor::kPanelBackground);
    if (panel == nullptr) {
        return false;
    }
    constexpr DWORD kBoxStyle = WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL;
    constexpr DWORD kGlyphStyle = WS_VISIBLE | SS_BITMAP | SS_NOTIFY | SS_REALSIZECONTROL;
    targetBox_ = platform::CreateControl(WC_EDITW, L"", kBoxStyle, panel, ids::kTargetBox);
    keywordsBox_ = platform::CreateControl(WC_EDITW, L"", kBoxStyle, panel, ids::kKeywordsBox);
    okLabel_ = platform::CreateControl(WC_STATICW, texts::kOkCaption,
                                       WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE | SS_NOTIFY, panel,
                                       ids::kOkLabel);
    targetCaption_ = platform::CreateControl(WC_STATICW, texts::kTargetCaption,
                                             WS_VISIBLE | SS_LEFT, panel, ids::kTargetCaption);
    keywordsCaption_ = platform::CreateControl(WC_STATICW, texts::kKeywordsCaption,
                                               WS_VISIBLE | SS_LEFT, panel, ids::kKeywordsCaption);
    closeGlyph_ =
        platform::CreateControl(WC_STATICW, L"", kGlyphStyle, self, ids::kEditorCloseGlyph);
    // SS_NOTIFY: the title takes its own mouse moves, so it does not drag the window.
    titleLabel_ =
        platform::CreateControl(WC_STATICW, texts::kEditorTitle, WS_VISIBLE | SS_LEFT | SS_NOTIFY,
                                self, ids::kEditorTitleLabel);
    const std::array controls = {targetBox_,       keywordsBox_, okLabel_,   targetCaption_,
                                 keywordsCaption_, closeGlyph_,  titleLabel_};
    for (const HWND control : controls) {
        if (control == nullptr) {
            return false;
        }
    }
    SendMessageW(keywordsBox_, EM_SETLIMITTEXT, 0, 0);
    SendMessageW(targetBox_, EM_SETLIMITTEXT, 0, 0);

    closeBitmap_.reset(platform::LoadBitmapResource(IDB_EXIT));
    SendMessageW(closeGlyph_, STM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(closeBitmap_.get()));
    panelBrush_.reset(CreateSolidBrush(platform::ToColorRef(editor::kPanelBackground)));
    okBrush_.reset(CreateSolidBrush(platform::ToColorRef(editor::kOkBackground)));

    targetDrops_.Register(targetBox_, [this](std::u16string text) {
        // Its own text dropped back on the box would replace all the rest of it.
        if (!draggingOut_) {
            platform::SetText(targetBox_, core::FirstLine(text));
        }
    });
    return true;
}

void EditorWindow::Layout() {
    platform::PlaceControl(panel_.Hwnd(), editor::kPanel, Dpi());
    panel_.SetDpi(Dpi());
    platform::PlaceControl(targetBox_, editor::kTargetBox, Dpi());
    platform::PlaceControl(keywordsBox_, editor::kKeywordsBox, Dpi());
    platform::PlaceControl(okLabel_, editor::kOkLabel, Dpi());
    platform::PlaceControl(targetCaption_, editor::kTargetCaption, Dpi());
    platform::PlaceControl(keywordsCaption_, editor::kKeywordsCaption, Dpi());
    platform::PlaceControl(closeGlyph_, editor::kCloseGlyph, Dpi());
    platform::PlaceControl(titleLabel_, editor::kTitleLabel, Dpi());
    const platform::ControlFonts::Use fonts[] = {
        {editor::kBoxFont, {keywordsBox_, targetBox_}},
        {editor::kCaptionFont, {keywordsCaption_, targetCaption_, okLabel_}},
        {editor::kTitleFont, {titleLabel_}},
    };
    fonts_.Apply(fonts, Dpi());
    InvalidateRect(Hwnd(), nullptr, TRUE);
}

void EditorWindow::Show() {
    ShowWindow(Hwnd(), SW_SHOW);
    SetForegroundWindow(Hwnd());
    const HWND focus = GetFocus();
    if (focus != keywordsBox_ && focus != targetBox_) {
        SetFocus(keywordsBox_);
    }
}

void EditorWindow::Save() {
    const std::u16string keywords = platform::WindowText(keywordsBox_);
    const std::u16string target = platform::WindowText(targetBox_);
    const auto refuse = [this](const wchar_t* message, HWND box) {
        MessageBoxW(Hwnd(), message, texts::kAppTitle, MB_OK);
        SetFocus(box); // straight back to the box to mend
    };
    switch (core::CheckEditorBoxes(keywords, target)) {
    case core::SaveCheck::EmptyKeyword:
        return refuse(texts::kEmptyKeyword, keywordsBox_);
    case core::SaveCheck::EmptyTarget:
        return refuse(texts::kEmptyTarget, targetBox_);
    case core::SaveCheck::KeywordLineBreak:
        return refuse(texts::kKeywordLineBreak, keywordsBox_);
    case core::SaveCheck::KeywordColon:
        return refuse(texts::kKeywordColon, keywordsBox_);
    case core::SaveCheck::TargetLineBreak:
        return refuse(texts::kTargetLineBreak, targetBox_);
    case core::SaveCheck::Ok:
        break;
    }
    core::SaveEditorLine(host_.Entries(), state_, core::JoinEntryLine(keywords, target));
    Close();
}

void EditorWindow::Close() {
    if (Hwnd() != nullptr) {
        DestroyWindow(Hwnd());
    }
    host_.ReturnFromEditor();
}

bool EditorWindow::PreTranslateMessage(const MSG& message) {
    if (Hwnd() == nullptr || !IsChild(Hwnd(), message.hwnd)) {
        return false;
    }
    if (message.message == WM_LBUTTONDOWN && message.hwnd == targetBox_) {
        try {
            return DragSelectionOut(message);
        } catch (...) {
            // The button is still down: the box takes the press as an ordinary one.
            draggingOut_ = false;
            platform::Trace(L"dragging the target box's selection ended in an exception");
            return false;
        }
    }
    if (message.message != WM_KEYDOWN || message.wParam != VK_TAB) {
        return false;
    }
    SetFocus(GetFocus() == keywordsBox_ ? targetBox_ : keywordsBox_);
    return true;
}

bool EditorWindow::DragSelectionOut(const MSG& press) {
    // The selection shows only while the box has the focus.
    if (GetFocus() != targetBox_) {
        return false;
    }
    const POINT point{GET_X_LPARAM(press.lParam), GET_Y_LPARAM(press.lParam)};
    const auto selected = platform::SelectionAt(targetBox_, point);
    if (!selected) {
        return false;
    }
    POINT screen = point;
    ClientToScreen(targetBox_, &screen);
    if (DragDetect(targetBox_, screen)) {
        draggingOut_ = true;
        platform::DragTextOut(*selected);
        draggingOut_ = false;
    } else {
        // Released within the drag distance: the box takes the click now, and places the caret.
        SendMessageW(targetBox_, WM_LBUTTONDOWN, press.wParam, press.lParam);
        SendMessageW(targetBox_, WM_LBUTTONUP, press.wParam & ~static_cast<WPARAM>(MK_LBUTTON),
                     press.lParam);
    }
    return true;
}

LRESULT EditorWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_CTLCOLORSTATIC:
        return OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_MOUSEMOVE:
        OnMouseMove(wParam);
        return 0;
    case WM_CLOSE: // Alt+F4: like the close glyph
        Close();
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    default:
        return Default(message, wParam, lParam);
    }
}

void EditorWindow::OnCommand(int id, int code) {
    if (code != STN_CLICKED) {
        return;
    }
    if (id == ids::kOkLabel) {
        Save();
    } else if (id == ids::kEditorCloseGlyph) {
        Close();
    }
}

LRESULT EditorWindow::OnCtlColor(HDC dc, HWND control) {
    if (control == okLabel_) {
        SetTextColor(dc, platform::ToColorRef(editor::kOkColour));
        SetBkColor(dc, platform::ToColorRef(editor::kOkBackground));
        return reinterpret_cast<LRESULT>(okBrush_.get());
    }
    SetBkMode(dc, TRANSPARENT);
    if (control == keywordsCaption_ || control == targetCaption_) {
        return reinterpret_cast<LRESULT>(panelBrush_.get());
    }
    if (control == titleLabel_) {
        SetTextColor(dc, platform::ToColorRef(editor::kTitleColour));
    }
    return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
}

void EditorWindow::OnMouseMove(WPARAM keys) {
    // The window's own background drags it; its controls take their own mouse moves.
    if ((keys & MK_LBUTTON) != 0) {
        platform::DragWindow(Hwnd());
    }
}

void EditorWindow::OnDestroy() {
    targetDrops_.Reset();
    keywordsBox_ = targetBox_ = keywordsCaption_ = targetCaption_ = okLabel_ = closeGlyph_ =
        titleLabel_ = nullptr;
}

} // namespace corvantis::app
