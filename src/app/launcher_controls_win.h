#pragma once
// The launcher window's controls: created in the design's order, placed and given fonts at the
// window's resolution, and coloured.

#include "app/entry_list_box_win.h"
#include "platform/geometry.h"
#include "platform/handles_win.h"
#include "platform/panel_win.h"
#include "platform/window_win.h"

#include <array>

namespace corvantis::app {

struct LauncherControls {
    // False when one of them cannot be created.
    bool Create(HWND window, const core::EntryList& entries, EntryListBox::Events listEvents);
    void Layout(HWND window, const platform::TwipsRect& stripPlace, unsigned dpi);
    // The colours of WM_CTLCOLOR*.
    LRESULT Colour(HDC dc, HWND control) const;
    // The request box first; the label and the hidden search button never take the focus.
    std::array<HWND, 7> TabOrder() const;

    platform::Panel titleStrip;
    HWND requestBox = nullptr;
    HWND keepOnTopGlyph = nullptr;
    HWND closeGlyph = nullptr;
    HWND titleLabel = nullptr;
    HWND searchButton = nullptr;
    HWND reloadButton = nullptr;
    HWND clearButton = nullptr;
    HWND saveButton = nullptr;
    HWND spareButton = nullptr;
    EntryListBox entryList;

private:
    bool CreateAboveList(HWND window);
    void ApplyFonts(unsigned dpi);

    platform::ControlFonts fonts_;
    unsigned fontsDpi_ = 0; // the resolution of fonts_; 0 before the first layout
    platform::UniqueBrush listBrush_;
    platform::UniqueBitmap keepOnTopBitmap_;
    platform::UniqueBitmap closeBitmap_;
};

} // namespace corvantis::app
