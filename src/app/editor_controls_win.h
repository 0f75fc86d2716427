#pragma once
// The entry editor's controls: created in the design's order, placed and given fonts at the
// window's resolution, each with its colours.

#include "platform/control_win.h"
#include "platform/panel_win.h"
#include "platform/text_box_win.h"
#include "platform/gdi_win.h"

namespace corvantis::app {

struct EditorControls {
    // False when one of them cannot be created.
    bool Create(HWND window);
    void Layout(unsigned dpi);

    platform::Panel panel;
    platform::TextBox targetBox;
    platform::TextBox keywordsBox;
    platform::Control okLabel;
    platform::Control targetCaption;
    platform::Control keywordsCaption;
    platform::Glyph closeGlyph;
    platform::Control titleLabel;

private:
    platform::ControlFonts fonts_;
};

} // namespace corvantis::app
