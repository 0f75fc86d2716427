#include "app/launcher_controls_win.h"

#include "app/control_ids.h"
#include "app/layout.h"
#include "app/texts.h"

#include "../res/resource.h"
#include "platform/gdi_win.h"
#include "platform/child_window_win.h"

#include <commctrl.h>

namespace corvantis::app {

bool LauncherControls::CreateAboveList(HWND window) {
    if (!searchButton.Create(window, WC_BUTTONW, texts::kSearchCaption, BS_PUSHBUTTON,
                             ids::kSearchButton)) {
        return false;
    }
    const HWND strip = titleStrip.Create(window, ids::kTitleStrip, kWhite);
    if (strip == nullptr) {
        return false;
    }
    titleStrip.SetFrame(launcher::kRequestBoxFrame, launcher::kRequestBoxBorder);
    titleStrip.DragByBackground();
    // BS_NOTIFY: the unseen buttons tell when they take the focus, which the cue then shows.
    constexpr DWORD kButtonStyle = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY;
    // Without SS_NOTIFY the label lets the mouse through to the strip, which drags the window.
    const bool created =
        requestBox.Create(strip, ids::kRequestBox) &&
        keepOnTopGlyph.Create(strip, ids::kKeepOnTopGlyph, IDB_KEEP_ON_TOP) &&
        closeGlyph.Create(strip, ids::kCloseGlyph, IDB_EXIT) &&
        focusCue.Create(strip, WC_STATICW, L"", SS_CENTER | SS_CENTERIMAGE, ids::kFocusCue) &&
        titleLabel.Create(strip, WC_STATICW, texts::kTitle,
                          WS_VISIBLE | WS_CLIPSIBLINGS | SS_LEFT | SS_NOPREFIX, ids::kTitleLabel) &&
        spareButton.Create(window, WC_BUTTONW, texts::kSpareCaption, kButtonStyle,
                           ids::kSpareButton) &&
        saveButton.Create(window, WC_BUTTONW, texts::kSaveCaption, kButtonStyle,
                          ids::kSaveButton) &&
        clearButton.Create(window, WC_BUTTONW, texts::kClearCaption, kButtonStyle,
                           ids::kClearButton) &&
        reloadButton.Create(window, WC_BUTTONW, texts::kReloadCaption, kButtonStyle,
                            ids::kReloadButton);
    if (!created) {
        return false;
    }
    requestBox.SetColours({launcher::kRequestBoxColour, kWhite});
    // Screen readers name the box and the glyphs by their tips.
    requestBox.SetName(texts::kRequestBoxTip);
    keepOnTopGlyph.SetName(texts::kKeepOnTopTip);
    closeGlyph.SetName(texts::kCloseTip);
    keepOnTopGlyph.SetColours({std::nullopt, kWhite});
    closeGlyph.SetColours({std::nullopt, kWhite});
    titleLabel.SetColours({launcher::kTitleColour, kWhite, true});
    focusCue.SetColours({launcher::kFocusCueColour, launcher::kFocusCueBackground});
    for (platform::Control* button : {&reloadButton, &clearButton, &saveButton, &spareButton}) {
        button->OnFocusChange([this, button](bool focused) { CueFocus(*button, focused); });
    }
    return true;
}

bool LauncherControls::Create(HWND window, const core::EntryList& entries) {
    return CreateAboveList(window) &&
           entryList.Create(window, ids::kEntryList, entries,
                            {launcher::kEntryListColour, launcher::kEntryListBackground});
}

void LauncherControls::Layout(const platform::TwipsRect& stripPlace, unsigned dpi) {
    platform::PlaceControl(titleStrip.Hwnd(), stripPlace, dpi);
    titleStrip.SetDpi(dpi);
    const std::pair<const platform::Control*, platform::TwipsRect> places[] = {
        {&requestBox, launcher::kRequestBox},     {&keepOnTopGlyph, launcher::kKeepOnTopGlyph},
        {&closeGlyph, launcher::kCloseGlyph},     {&titleLabel, launcher::kTitleLabel},
        {&focusCue, launcher::kFocusCue},         {&entryList, launcher::kEntryList},
        {&reloadButton, launcher::kReloadButton}, {&clearButton, launcher::kClearButton},
        {&saveButton, launcher::kSaveButton},     {&spareButton, launcher::kSpareButton},
        {&searchButton, launcher::kSearchButton},
    };
    for (const auto& [control, place] : places) {
        control->Place(place, dpi);
    }
    if (dpi != fontsDpi_) { // the fonts depend on the resolution alone
        ApplyFonts(dpi);
    }
}

void LauncherControls::ApplyFonts(unsigned dpi) {
    const platform::ControlFonts::Use fonts[] = {
        {launcher::kButtonFont,
         {reloadButton.Hwnd(), clearButton.Hwnd(), saveButton.Hwnd(), spareButton.Hwnd(),
          focusCue.Hwnd()}},
        {launcher::kWindowFont, {searchButton.Hwnd()}}, // the search button has no font of its own
        {launcher::kRequestBoxFont, {requestBox.Hwnd()}},
        {kTitleFont, {titleLabel.Hwnd()}},
        {launcher::kEntryListFont, {entryList.Hwnd()}},
    };
    fonts_.Apply(fonts, dpi);
    fontsDpi_ = dpi;
}

void LauncherControls::CueFocus(const platform::Control& button, bool focused) const {
    if (focused) {
        focusCue.SetText(button.Text());
    }
    ShowWindow(focusCue.Hwnd(), focused ? SW_SHOWNA : SW_HIDE);
}

void LauncherControls::AddTips(HWND window) const {
    const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    if (!InitCommonControlsEx(&controls)) {
        platform::Trace(L"InitCommonControlsEx failed");
    }
    const HWND tooltip = platform::CreateTooltip(window);
    platform::AddTooltip(tooltip, requestBox.Hwnd(), texts::kRequestBoxTip);
    platform::AddTooltip(tooltip, keepOnTopGlyph.Hwnd(), texts::kKeepOnTopTip);
    platform::AddTooltip(tooltip, closeGlyph.Hwnd(), texts::kCloseTip);
}

std::array<HWND, 7> LauncherControls::TabOrder() const {
    return {requestBox.Hwnd(), entryList.Hwnd(),   reloadButton.Hwnd(), clearButton.Hwnd(),
            saveButton.Hwnd(), spareButton.Hwnd(), titleStrip.Hwnd()};
}

} // namespace corvantis::app
