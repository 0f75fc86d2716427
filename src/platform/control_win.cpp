#include "platform/control_win.h"

#include "platform/named_accessible_win.h"
#include "platform/palette_win.h"
#include "platform/gdi_win.h"
#include "platform/child_window_win.h"

#include <commctrl.h>

namespace corvantis::platform {
namespace {

// How far inside a control's edge its focus mark is drawn, in pixels, as a button draws it.
constexpr int kFocusMarkInset = 3;

} // namespace

bool Control::Create(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style,
                     int id, DWORD exStyle) {
    const HWND control = CreateControl(className, text, style, parent, id, exStyle);
    if (control == nullptr) {
        return false;
    }
    Bind(control);
    return true;
}

void Control::SetColours(const ControlColours& colours) {
    design_ = colours;
    FollowPalette();
}

void Control::FollowPalette() {
    if (!design_) {
        return;
    }
    colours_ = PaintColours(*design_, CurrentPalette());
    background_.reset(CreateSolidBrush(ToColorRef(colours_->background)));
    InvalidateRect(Hwnd(), nullptr, TRUE);
}

std::optional<LRESULT> Control::OnReflected(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_COMMAND:
        // BN_CLICKED and STN_CLICKED are both 0.
        if (HIWORD(wParam) == BN_CLICKED && onClick_) {
            RaiseClick();
            return 0;
        }
        if ((HIWORD(wParam) == BN_SETFOCUS || HIWORD(wParam) == BN_KILLFOCUS) && onFocus_) {
            onFocus_(HIWORD(wParam) == BN_SETFOCUS);
            return 0;
        }
        return std::nullopt;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN: {
        if (!colours_) {
            return std::nullopt;
        }
        const auto dc = reinterpret_cast<HDC>(wParam);
        if (colours_->text) {
            SetTextColor(dc, ToColorRef(*colours_->text));
        }
        if (colours_->transparent) {
            SetBkMode(dc, TRANSPARENT);
        } else {
            SetBkColor(dc, ToColorRef(colours_->background));
        }
        return reinterpret_cast<LRESULT>(background_.get());
    }
    default:
        return std::nullopt;
    }
}

void Control::SetName(std::wstring_view name) {
    name_ = FromWide(name);
    Subclass();
}

std::optional<LRESULT> Control::Before(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETOBJECT && !name_.empty()) {
        return AnswerNamedObject(Hwnd(), wParam, lParam, name_);
    }
    return std::nullopt;
}

void Control::MarkFocus() {
    marksFocus_ = true;
    Subclass();
}

void Control::After(UINT message, WPARAM, LPARAM) {
    if (!marksFocus_) {
        return;
    }
    if (message == WM_SETFOCUS || message == WM_KILLFOCUS) {
        InvalidateRect(Hwnd(), nullptr, TRUE);
    } else if (message == WM_PAINT && GetFocus() == Hwnd()) {
        const WindowDcScope dc(Hwnd());
        RECT inside{};
        GetClientRect(Hwnd(), &inside);
        InflateRect(&inside, -kFocusMarkInset, -kFocusMarkInset);
        DrawFocusRect(dc.Dc(), &inside);
    }
}

bool Control::Subclass() {
    return subclass_.Installed() || subclass_.Install(Hwnd(), Procedure, this);
}

LRESULT CALLBACK Control::Procedure(HWND window, UINT message, WPARAM wParam,
                                    LPARAM lParam) noexcept {
    auto* const control = WindowProcScope::OwnerOf<Control>(window);
    if (control == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    try {
        if (auto answer = control->Before(message, wParam, lParam)) {
            return *answer;
        }
    } catch (...) {
        Trace(L"a control's own answer to a message ended in an exception");
    }
    const LRESULT result = control->CallOwn(message, wParam, lParam);
    try {
        control->After(message, wParam, lParam);
    } catch (...) {
        Trace(L"a control's handling of a message ended in an exception");
    }
    if (message == WM_NCDESTROY) {
        control->subclass_.Remove();
        control->Unbind();
    }
    return result;
}

bool Glyph::Create(HWND parent, int id, int bitmapResource) {
    if (!Control::Create(parent, WC_STATICW, L"",
                         WS_VISIBLE | SS_BITMAP | SS_NOTIFY | SS_REALSIZECONTROL, id)) {
        return false;
    }
    bitmap_.reset(LoadBitmapResource(bitmapResource));
    if (!bitmap_) {
        Trace(L"a glyph's bitmap could not be loaded");
    }
    SendMessageW(Hwnd(), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap_.get()));
    return true;
}

} // namespace corvantis::platform
