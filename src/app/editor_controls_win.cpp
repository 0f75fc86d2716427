#include "app/editor_controls_win.h"

#include "app/control_ids.h"
#include "app/layout.h"
#include "app/texts.h"

#include "../res/resource.h"
#include "platform/gdi_win.h"
#include "platform/child_window_win.h"

#include <commctrl.h>

#include <utility>

namespace corvantis::app {

bool EditorControls::Create(HWND window) {
    const HWND inside = panel.Create(window, ids::kEditorPanel, editor::kPanelBackground);
    if (inside == nullptr) {
        return false;
    }
    constexpr DWORD kCaptionStyle = WS_VISIBLE | SS_LEFT;
    // SS_NOTIFY: the title takes its own mouse moves, so it does not drag the window.
    const bool created =
        targetBox.Create(inside, ids::kTargetBox) &&
        keywordsBox.Create(inside, ids::kKeywordsBox) &&
        okLabel.Create(inside, WC_STATICW, texts::kOkCaption,
                       WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE | SS_NOTIFY, ids::kOkLabel) &&
        targetCaption.Create(inside, WC_STATICW, texts::kTargetCaption, kCaptionStyle,
                             ids::kTargetCaption) &&
        keywordsCaption.Create(inside, WC_STATICW, texts::kKeywordsCaption, kCaptionStyle,
                               ids::kKeywordsCaption) &&
        closeGlyph.Create(window, ids::kEditorCloseGlyph, IDB_EXIT) &&
        titleLabel.Create(window, WC_STATICW, texts::kEditorTitle, WS_VISIBLE | SS_LEFT | SS_NOTIFY,
                          ids::kEditorTitleLabel);
    if (!created) {
        return false;
    }
    // Screen readers name the boxes by their labels.
    keywordsBox.SetName(texts::kKeywordsCaption);
    targetBox.SetName(texts::kTargetCaption);
    closeGlyph.SetName(texts::kEditorCloseTip);
    okLabel.SetColours({editor::kOkColour, editor::kOkBackground});
    targetCaption.SetColours({std::nullopt, editor::kPanelBackground, true});
    keywordsCaption.SetColours({std::nullopt, editor::kPanelBackground, true});
    closeGlyph.SetColours({std::nullopt, kWhite, true});
    titleLabel.SetColours({editor::kTitleColour, kWhite, true});
    return true;
}

void EditorControls::Layout(unsigned dpi) {
    platform::PlaceControl(panel.Hwnd(), editor::kPanel, dpi);
    panel.SetDpi(dpi);
    const std::pair<const platform::Control*, platform::TwipsRect> places[] = {
        {&targetBox, editor::kTargetBox},
        {&keywordsBox, editor::kKeywordsBox},
        {&okLabel, editor::kOkLabel},
        {&targetCaption, editor::kTargetCaption},
        {&keywordsCaption, editor::kKeywordsCaption},
        {&closeGlyph, editor::kCloseGlyph},
        {&titleLabel, editor::kTitleLabel},
    };
    for (const auto& [control, place] : places) {
        control->Place(place, dpi);
    }
    const platform::ControlFonts::Use fonts[] = {
        {editor::kBoxFont, {keywordsBox.Hwnd(), targetBox.Hwnd()}},
        {editor::kCaptionFont, {keywordsCaption.Hwnd(), targetCaption.Hwnd(), okLabel.Hwnd()}},
        {kTitleFont, {titleLabel.Hwnd()}},
    };
    fonts_.Apply(fonts, dpi);
}

} // namespace corvantis::app
