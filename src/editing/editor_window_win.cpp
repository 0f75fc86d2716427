#include "editing/editor_window_win.h"

#include "app/control_ids.h"
#include "app/texts.h"
#include "app/twips.h"
#include "editing/editor_layout.h"
#include "platform/shell_win.h"
#include "platform/window_win.h"

#include "../res/resource.h"

#include <commctrl.h>

namespace corvantis::editing {
namespace {

namespace ids = app::ids;
namespace texts = app::texts;
using app::TwipsToPixels;

constexpr UINT kKeepTopmost = SWP_NOSIZE | SWP_NOMOVE;

} // namespace

EditorWindow::EditorWindow(EditorHost& host, store::Pubstr& pubstr)
    : host_(host), pubstr_(pubstr) {}

void EditorWindow::OpenAdd() {
    pubstr_.EditMode = 0;
    host_.HideForAdding();
    EnsureLoaded();
    ShowModeless();
}

void EditorWindow::OpenEdit() {
    const auto boxes = EditOpening(host_.Entries(), pubstr_);
    if (!boxes) {
        return;
    }
    EnsureLoaded();
    SetWindowTextW(text1_, platform::AsWide(boxes->keywords));
    SetWindowTextW(text2_, platform::AsWide(boxes->target));
    ShowModeless();
}

void EditorWindow::OpenWithTarget(std::u16string_view target) {
    host_.HideForAdding();
    pubstr_.EditMode = 0;
    EnsureLoaded();
    ShowModeless();
    SetWindowTextW(text2_, platform::AsWide(std::u16string(target)));
}

void EditorWindow::EnsureLoaded() {
    if (Hwnd() == nullptr) {
        Load();
    }
}

void EditorWindow::Load() {
    if (!CreateBound(WS_EX_TOOLWINDOW, texts::kEditorWindow, WS_POPUP | WS_CLIPCHILDREN, 0, 0, 0, 0,
                     nullptr, nullptr, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)))) {
        return;
    }
    dpi_ = platform::WindowDpi(Hwnd());
    CreateControls();
    const SIZE screen = platform::ScreenPixels();
    const app::TwipsPoint place =
        app::CentreOnScreen(app::PixelsToTwips(screen.cx, dpi_),
                            app::PixelsToTwips(screen.cy, dpi_), editor::kWidth, editor::kHeight);
    SetWindowPos(Hwnd(), nullptr, TwipsToPixels(place.x, dpi_), TwipsToPixels(place.y, dpi_),
                 TwipsToPixels(editor::kWidth, dpi_), TwipsToPixels(editor::kHeight, dpi_),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    Layout();

    host_.SuspendDocking();
    platform::SetTopmost(Hwnd(), kKeepTopmost);
    // Only now: an owned tooltip that already exists keeps the window from becoming topmost.
    tooltip_ = platform::CreateTooltip(Hwnd());
    platform::AddTooltip(tooltip_, image3_, texts::kEditorCloseTip);
}

void EditorWindow::CreateControls() {
    const HWND self = Hwnd();
    picture1_.Create(self, ids::kEditorPicture1, editor::kPicture1Background);
    const HWND panel = picture1_.Hwnd();
    constexpr DWORD kBoxStyle = WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL;
    text2_ = platform::CreateControl(WC_EDITW, L"", kBoxStyle, panel, ids::kEditorText2);
    text1_ = platform::CreateControl(WC_EDITW, L"", kBoxStyle, panel, ids::kEditorText1);
    SendMessageW(text1_, EM_SETLIMITTEXT, 0, 0);
    SendMessageW(text2_, EM_SETLIMITTEXT, 0, 0);
    label3_ = platform::CreateControl(WC_STATICW, texts::kEditorSave,
                                      WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE | SS_NOTIFY, panel,
                                      ids::kEditorLabel3);
    label2_ = platform::CreateControl(WC_STATICW, texts::kEditorTarget, WS_VISIBLE | SS_LEFT, panel,
                                      ids::kEditorLabel2);
    label1_ = platform::CreateControl(WC_STATICW, texts::kEditorKeywords, WS_VISIBLE | SS_LEFT,
                                      panel, ids::kEditorLabel1);
    image3_ = platform::CreateControl(WC_STATICW, L"",
                                      WS_VISIBLE | SS_BITMAP | SS_NOTIFY | SS_REALSIZECONTROL, self,
                                      ids::kEditorImage3);
    // SS_NOTIFY: the title takes its own mouse moves, so it does not drag the window.
    title_ = platform::CreateControl(WC_STATICW, texts::kEditorTitle,
                                     WS_VISIBLE | SS_LEFT | SS_NOTIFY, self, ids::kEditorTitle);

    exitGlyph_.reset(platform::LoadBitmapResource(IDB_EXIT));
    SendMessageW(image3_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(exitGlyph_.get()));
    picture1Brush_.reset(CreateSolidBrush(platform::ToColorRef(editor::kPicture1Background)));
    label3Brush_.reset(CreateSolidBrush(platform::ToColorRef(editor::kLabel3Background)));

    text2Drop_.Register(
        text2_, [this](std::u16string text) { SetWindowTextW(text2_, platform::AsWide(text)); });
}

void EditorWindow::Layout() {
    // The new fonts reach the controls before the old ones are deleted.
    platform::UniqueFont boxFont = platform::CreateFontAt(editor::kBoxFont, dpi_);
    platform::UniqueFont labelFont = platform::CreateFontAt(editor::kLabelFont, dpi_);
    platform::UniqueFont titleFont = platform::CreateFontAt(editor::kTitleFont, dpi_);

    platform::PlaceControl(picture1_.Hwnd(), editor::kPicture1, dpi_);
    picture1_.SetDpi(dpi_);
    platform::PlaceControl(text2_, editor::kText2, dpi_);
    platform::PlaceControl(text1_, editor::kText1, dpi_);
    platform::PlaceControl(label3_, editor::kLabel3, dpi_);
    platform::PlaceControl(label2_, editor::kLabel2, dpi_);
    platform::PlaceControl(label1_, editor::kLabel1, dpi_);
    platform::PlaceControl(image3_, editor::kImage3, dpi_);
    platform::PlaceControl(title_, editor::kTitle, dpi_);
    for (const HWND box : {text1_, text2_}) {
        platform::SetFont(box, boxFont);
    }
    for (const HWND label : {label1_, label2_, label3_}) {
        platform::SetFont(label, labelFont);
    }
    platform::SetFont(title_, titleFont);
    boxFont_ = std::move(boxFont);
    labelFont_ = std::move(labelFont);
    titleFont_ = std::move(titleFont);
    InvalidateRect(Hwnd(), nullptr, TRUE);
}

void EditorWindow::ShowModeless() {
    if (Hwnd() == nullptr) {
        return;
    }
    ShowWindow(Hwnd(), SW_SHOW);
    SetForegroundWindow(Hwnd());
    const HWND focus = GetFocus();
    if (focus != text1_ && focus != text2_) {
        SetFocus(text1_);
    }
}

void EditorWindow::Save() {
    const std::u16string keywords = platform::FromWide(platform::WindowText(text1_));
    const std::u16string target = platform::FromWide(platform::WindowText(text2_));
    switch (CheckEditorBoxes(keywords, target)) {
    case SaveCheck::EmptyKeyword:
        MessageBoxW(Hwnd(), texts::kEmptyKeyword, texts::kAppTitle, MB_OK);
        SetFocus(text1_); // straight back to the box to fill in
        return;
    case SaveCheck::EmptyTarget:
        MessageBoxW(Hwnd(), texts::kEmptyTarget, texts::kAppTitle, MB_OK);
        SetFocus(text2_);
        return;
    case SaveCheck::Ok:
        break;
    }
    SaveEditorLine(host_.Entries(), pubstr_, BuildEntryLine(keywords, target));
    Unload();
    host_.ReturnFromEditor();
}

void EditorWindow::Close() {
    Unload();
    host_.ReturnFromEditor();
}

void EditorWindow::Unload() {
    if (Hwnd() != nullptr) {
        DestroyWindow(Hwnd());
    }
}

bool EditorWindow::PreTranslateMessage(const MSG& message) {
    if (Hwnd() == nullptr || message.message != WM_KEYDOWN || message.wParam != VK_TAB ||
        !IsChild(Hwnd(), message.hwnd)) {
        return false;
    }
    SetFocus(GetFocus() == text1_ ? text2_ : text1_);
    return true;
}

LRESULT EditorWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_CTLCOLORSTATIC:
        return OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(wParam);
        return 0;
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
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
    if (id == ids::kEditorLabel3) {
        Save();
    } else if (id == ids::kEditorImage3) {
        Close();
    }
}

LRESULT EditorWindow::OnCtlColor(HDC dc, HWND control) {
    if (control == label3_) {
        SetTextColor(dc, platform::ToColorRef(editor::kLabel3Colour));
        SetBkColor(dc, platform::ToColorRef(editor::kLabel3Background));
        return reinterpret_cast<LRESULT>(label3Brush_.get());
    }
    SetBkMode(dc, TRANSPARENT);
    if (control == label1_ || control == label2_) {
        return reinterpret_cast<LRESULT>(picture1Brush_.get());
    }
    if (control == title_) {
        SetTextColor(dc, platform::ToColorRef(editor::kTitleColour));
    }
    return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
}

void EditorWindow::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Hwnd(), &ps);
    platform::DrawFrame(dc,
                        platform::PixelRect(app::FrameRect(editor::kWidth, editor::kHeight), dpi_),
                        editor::kFrameBorder);
    EndPaint(Hwnd(), &ps);
}

void EditorWindow::OnMouseMove(WPARAM keys) {
    // The window's own background drags it; its controls take their own mouse moves.
    if ((keys & MK_LBUTTON) != 0) {
        platform::DragWindow(Hwnd());
    }
}

void EditorWindow::OnDpiChanged(unsigned dpi, const RECT& suggested) {
    dpi_ = dpi;
    platform::MoveToRect(Hwnd(), suggested);
    Layout();
}

void EditorWindow::OnDestroy() {
    text2Drop_.Reset();
    text1_ = text2_ = label1_ = label2_ = label3_ = image3_ = title_ = tooltip_ = nullptr;
}

} // namespace corvantis::editing
