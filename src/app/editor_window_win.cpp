#include "app/editor_window_win.h"

#include "app/layout.h"
#include "app/texts.h"
#include "platform/child_window_win.h"
#include "platform/window_win.h"

namespace corvantis::app {
namespace {

// What the editor says when it refuses to save, and the box that is to be mended.
struct Refusal {
    core::SaveCheck check;
    const wchar_t* message;
    bool inKeywords;
};

constexpr Refusal kRefusals[] = {
    {core::SaveCheck::EmptyKeyword, texts::kEmptyKeyword, true},
    {core::SaveCheck::EmptyTarget, texts::kEmptyTarget, false},
    {core::SaveCheck::KeywordLineBreak, texts::kKeywordLineBreak, true},
    {core::SaveCheck::KeywordColon, texts::kKeywordColon, true},
    {core::SaveCheck::TargetLineBreak, texts::kTargetLineBreak, false},
};

} // namespace

bool EditorWindow::OpenAdd() {
    editing_.reset();
    if (!EnsureOpen()) {
        return false;
    }
    Show();
    return true;
}

bool EditorWindow::OpenEdit(core::EntryList::Id id, const core::EntryParts& parts) {
    editing_ = id;
    if (!EnsureOpen()) {
        return false;
    }
    controls_->keywordsBox.SetText(parts.keywords);
    controls_->targetBox.SetText(parts.target);
    Show();
    return true;
}

bool EditorWindow::OpenWithTarget(std::u16string_view target) {
    if (!OpenAdd()) {
        return false;
    }
    controls_->targetBox.SetText(target);
    return true;
}

bool EditorWindow::EnsureOpen() {
    if (Hwnd() != nullptr) {
        return true;
    }
    if (!CreatePopup(texts::kEditorWindow, owner_)) {
        return false;
    }
    PlaceCentred(editor::kWidth, editor::kHeight);
    SetFrame(FrameRect(editor::kWidth, editor::kHeight), kFrameBorder);
    Layout();
    KeepOnTop();
    // Only now: an owned tooltip that already exists keeps the window from becoming topmost.
    platform::AddTooltip(platform::CreateTooltip(Hwnd()), controls_->closeGlyph.Hwnd(),
                         texts::kEditorCloseTip);
    return true;
}

bool EditorWindow::CreateControls() {
    EditorControls& controls = controls_.emplace();
    if (!controls.Create(Hwnd())) {
        return false;
    }
    DragByBackground();
    RememberFocus(controls.keywordsBox.Hwnd());
    controls.okLabel.OnClick([this] { Save(); });
    controls.okLabel.MarkFocus();
    controls.closeGlyph.OnClick([this] { Close(); });
    controls.targetBox.DragSelectionOut();
    controls.targetBox.AcceptDrops(
        [this](std::u16string text) { controls_->targetBox.SetText(core::FirstLine(text)); });
    return true;
}

void EditorWindow::Layout() {
    controls_->Layout(Dpi());
    InvalidateRect(Hwnd(), nullptr, TRUE);
}

void EditorWindow::Show() {
    ShowWindow(Hwnd(), SW_SHOW);
    SetForegroundWindow(Hwnd());
    const HWND focus = GetFocus();
    if (focus != controls_->keywordsBox.Hwnd() && focus != controls_->targetBox.Hwnd()) {
        SetFocus(controls_->keywordsBox.Hwnd());
    }
}

bool EditorWindow::ComeForward() {
    if (Hwnd() == nullptr) {
        return false;
    }
    if (!platform::ForwardActivePopup(Hwnd())) {
        Show();
    }
    return true;
}

void EditorWindow::Save() {
    const std::u16string keywords = controls_->keywordsBox.Text();
    const std::u16string target = controls_->targetBox.Text();
    const core::SaveCheck check = core::CheckEntryParts(keywords, target);
    for (const Refusal& refusal : kRefusals) {
        if (refusal.check == check) {
            MessageBoxW(Hwnd(), refusal.message, texts::kAppTitle, MB_OK);
            // Straight back to the box to mend.
            SetFocus(refusal.inKeywords ? controls_->keywordsBox.Hwnd()
                                        : controls_->targetBox.Hwnd());
            return;
        }
    }
    const std::u16string line = core::JoinEntryLine(keywords, target);
    if (editing_) {
        onEdit_(*editing_, line);
    } else {
        onAdd_(line);
    }
    Close();
}

void EditorWindow::Close() {
    // The launcher comes back first: as the editor goes, a window manager hands the keyboard
    // back to the window it belongs to, which must be there by then.
    onClosed_();
    if (Hwnd() != nullptr) {
        DestroyWindow(Hwnd());
    }
}

bool EditorWindow::PreTranslateMessage(const MSG& message) {
    if (message.message != WM_KEYDOWN) {
        return false;
    }
    if (message.wParam == VK_TAB) {
        const HWND order[] = {controls_->keywordsBox.Hwnd(), controls_->targetBox.Hwnd(),
                              controls_->okLabel.Hwnd()};
        platform::MoveFocusAlong(order, GetKeyState(VK_SHIFT) < 0);
        return true;
    }
    // Space or Enter on 好 saves, as on a button; in the boxes they are typing.
    if ((message.wParam == VK_SPACE || message.wParam == VK_RETURN) &&
        message.hwnd == controls_->okLabel.Hwnd()) {
        Save();
        return true;
    }
    return false;
}

LRESULT EditorWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE: // Alt+F4: like the close glyph
        Close();
        return 0;
    case WM_DESTROY:
        if (controls_) {
            controls_->targetBox.Detach(); // drops are revoked while the box exists
        }
        return 0;
    default:
        return Default(message, wParam, lParam);
    }
}

} // namespace corvantis::app
