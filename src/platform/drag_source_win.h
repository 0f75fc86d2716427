#pragma once
// Dragging text (or any data in global memory) out of a window.

#include <windows.h>
#include <ole2.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvantis::platform {

// One format a dragged data object offers: `bytes` in global memory (TYMED_HGLOBAL).
struct ClipData {
    CLIPFORMAT format;
    std::string bytes;
};

// Text as CF_UNICODETEXT and as CF_TEXT in the ANSI code page, each ending in its NUL.
std::vector<ClipData> TextClipData(std::u16string_view text);

// A modal drag (DoDragDrop) of data that offers `formats`, ended by releasing the left button
// (drop) or by Esc (cancel); call it when the left button goes down. Returns the effect the
// target carried out: DROPEFFECT_NONE when cancelled, refused or failed.
DWORD DragOut(std::vector<ClipData> formats, DWORD allowedEffects);

// The gesture that drags text out of a control, called when the left button goes down on it at
// `press` (its client pixels): once the pointer moves past the system's drag distance with the
// button held, `text()` is dragged out as a copy, when there is any. False when the button came
// up sooner: the press was a click, and its release is the caller's to pass on to the control.
bool DragTextOnPress(HWND control, POINT press,
                     const std::function<std::optional<std::u16string>()>& text);

} // namespace corvantis::platform
