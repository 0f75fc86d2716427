#include "app/launcher_controls_win.h"

#include "app/control_ids.h"
#include "app/launcher_layout.h"
#include "app/texts.h"

#include "../res/resource.h"

#include <commctrl.h>

namespace corvantis::app {

bool LauncherControls::CreateAboveList(HWND window) {
    using platform::CreateControl;
    searchButton =
        CreateControl(WC_BUTTONW, texts::kSearchCaption, BS_PUSHBUTTON, window, ids::kSearchButton);
    const HWND strip = titleStrip.Create(window, ids::kTitleStrip, launcher::kStripBackground);
    if (strip == nullptr) {
        return false;
    }
    titleStrip.SetFrame(launcher::kRequestBoxFrame, launcher::kRequestBoxBorder);
    constexpr DWORD kGlyphStyle = WS_VISIBLE | SS_BITMAP | SS_NOTIFY | SS_REALSIZECONTROL;
    constexpr DWORD kButtonStyle = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
    requestBox = CreateControl(WC_EDITW, L"", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, strip,
                               ids::kRequestBox);
    keepOnTopGlyph = CreateControl(WC_STATICW, L"", kGlyphStyle, strip, ids::kKeepOnTopGlyph);
    closeGlyph = CreateControl(WC_STATICW, L"", kGlyphStyle, strip, ids::kCloseGlyph);
    // Without SS_NOTIFY the label lets the mouse through to the strip, which drags the window.
    titleLabel = CreateControl(WC_STATICW, texts::kTitle, WS_VISIBLE | SS_LEFT | SS_NOPREFIX, strip,
                               ids::kTitleLabel);
    spareButton =
        CreateControl(WC_BUTTONW, texts::kSpareCaption, kButtonStyle, window, ids::kSpareButton);
    saveButton =
        CreateControl(WC_BUTTONW, texts::kSaveCaption, kButtonStyle, window, ids::kSaveButton);
    clearButton =
        CreateControl(WC_BUTTONW, texts::kClearCaption, kButtonStyle, window, ids::kClearButton);
    reloadButton =
        CreateControl(WC_BUTTONW, texts::kReloadCaption, kButtonStyle, window, ids::kReloadButton);
    for (const HWND control : {searchButton, requestBox, keepOnTopGlyph, closeGlyph, titleLabel,
                               spareButton, saveButton, clearButton, reloadButton}) {
        if (control == nullptr) {
            return false;
        }
    }
    SendMessageW(requestBox, EM_SETLIMITTEXT, 0, 0);
    return true;
}

bool LauncherControls::Create(HWND window, const core::EntryList& entries,
                              EntryListBox::Events listEvents) {
    if (!CreateAboveList(window) ||
        !entryList.Create(window, ids::kEntryList, entries, std::move(listEvents))) {
        return false;
    }
    keepOnTopBitmap_.reset(platform::LoadBitmapResource(IDB_KEEP_ON_TOP));
    closeBitmap_.reset(platform::LoadBitmapResource(IDB_EXIT));
    SendMessageW(keepOnTopGlyph, STM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(keepOnTopBitmap_.get()));
    SendMessageW(closeGlyph, STM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(closeBitmap_.get()));
    listBrush_.reset(CreateSolidBrush(platform::ToColorRef(launcher::kEntryListBackground)));
    return true;
}

void LauncherControls::Layout(HWND window, const platform::TwipsRect& stripPlace, unsigned dpi) {
    using platform::PlaceControl;
    PlaceControl(titleStrip.Hwnd(), stripPlace, dpi);
    titleStrip.SetDpi(dpi);
    PlaceControl(requestBox, launcher::kRequestBox, dpi);
    PlaceControl(keepOnTopGlyph, launcher::kKeepOnTopGlyph, dpi);
    PlaceControl(closeGlyph, launcher::kCloseGlyph, dpi);
    PlaceControl(titleLabel, launcher::kTitleLabel, dpi);
    PlaceControl(entryList.Hwnd(), launcher::kEntryList, dpi);
    PlaceControl(reloadButton, launcher::kReloadButton, dpi);
    PlaceControl(clearButton, launcher::kClearButton, dpi);
    PlaceControl(saveButton, launcher::kSaveButton, dpi);
    PlaceControl(spareButton, launcher::kSpareButton, dpi);
    PlaceControl(searchButton, launcher::kSearchButton, dpi);
    if (dpi != fontsDpi_) { // the fonts depend on the resolution alone
        ApplyFonts(dpi);
    }
    InvalidateRect(window, nullptr, TRUE);
}

void LauncherControls::ApplyFonts(unsigned dpi) {
    const platform::ControlFonts::Use fonts[] = {
        {launcher::kButtonFont, {reloadButton, clearButton, saveButton, spareButton}},
        {launcher::kWindowFont, {searchButton}}, // the search button has no font of its own
        {launcher::kRequestBoxFont, {requestBox}},
        {launcher::kTitleFont, {titleLabel}},
        {launcher::kEntryListFont, {entryList.Hwnd()}},
    };
    fonts_.Apply(fonts, dpi);
    fontsDpi_ = dpi;
}

LRESULT LauncherControls::Colour(HDC dc, HWND control) const {
    using platform::ToColorRef;
    if (control == entryList.Hwnd()) {
        SetTextColor(dc, ToColorRef(launcher::kEntryListColour));
        SetBkColor(dc, ToColorRef(launcher::kEntryListBackground));
        return reinterpret_cast<LRESULT>(listBrush_.get());
    }
    if (control == requestBox) {
        SetTextColor(dc, ToColorRef(launcher::kRequestBoxColour));
        SetBkColor(dc, ToColorRef(launcher::kRequestBoxBackground));
    } else if (control == titleLabel) {
        SetTextColor(dc, ToColorRef(launcher::kTitleColour));
        SetBkMode(dc, TRANSPARENT);
    }
    return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
}

std::array<HWND, 7> LauncherControls::TabOrder() const {
    return {requestBox, entryList.Hwnd(), reloadButton,     clearButton,
            saveButton, spareButton,      titleStrip.Hwnd()};
}

} // namespace corvantis::app
