#pragma once
// The launcher window's controls: created in the design's order, placed and given fonts at the
// window's resolution, each with its colours.

#include "app/entry_list_box_win.h"
#include "platform/control_win.h"
#include "platform/geometry.h"
#include "platform/panel_win.h"
#include "platform/text_box_win.h"
#include "platform/gdi_win.h"

#include <array>

namespace corvantis::app {

struct LauncherControls {
    // False when one of them cannot be created.
    bool Create(HWND window, const core::EntryList& entries);
    void Layout(const platform::TwipsRect& stripPlace, unsigned dpi);
    // The tips of the request box and the glyphs, owned by `window`.
    void AddTips(HWND window) const;
    // The request box first; the label and the hidden search button never take the focus.
    std::array<HWND, 7> TabOrder() const;

    platform::Panel titleStrip;
    platform::TextBox requestBox;
    platform::Glyph keepOnTopGlyph;
    platform::Glyph closeGlyph;
    platform::Control titleLabel;
    // Shows which unseen button holds the keyboard focus, so that Space never acts unseen.
    platform::Control focusCue;
    platform::Control searchButton;
    platform::Control reloadButton;
    platform::Control clearButton;
    platform::Control saveButton;
    platform::Control spareButton;
    EntryListBox entryList;

private:
    bool CreateAboveList(HWND window);
    void CueFocus(const platform::Control& button, bool focused) const;
    void ApplyFonts(unsigned dpi);

    platform::ControlFonts fonts_;
    unsigned fontsDpi_ = 0; // the resolution of fonts_; 0 before the first layout
};

} // namespace corvantis::app
