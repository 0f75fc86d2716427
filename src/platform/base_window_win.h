#pragma once
// One window = one class: BaseWindow<T> binds the C++ object to its HWND on WM_NCCREATE, handles
// what every window of the program shares (a change of resolution, painting its frame, centring,
// staying on top) and routes every other message to T::HandleMessage. No exception ever leaves
// the window procedure.

#include "platform/geometry.h"
#include "platform/handles_win.h"
#include "platform/twips.h"
#include "platform/window_win.h"

#include <windows.h>

#include <optional>

namespace corvantis::platform {

template <typename T> class BaseWindow {
public:
    HWND Hwnd() const { return hwnd_; }
    unsigned Dpi() const { return dpi_; }

protected:
    BaseWindow() = default;
    ~BaseWindow() = default;
    BaseWindow(const BaseWindow&) = delete;
    BaseWindow& operator=(const BaseWindow&) = delete;

    // Registers the class on first use and creates the window bound to `this`; nullptr, traced,
    // when either fails. The create parameter travels as void*, so it must be the T* that
    // WindowProc casts it back to.
    HWND CreateBound(DWORD exStyle, const wchar_t* text, DWORD style, HWND parent, HMENU menuOrId,
                     HBRUSH background) {
        HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSEXW existing{sizeof existing};
        if (!GetClassInfoExW(instance, T::kClassName, &existing)) {
            WNDCLASSEXW wc{sizeof wc};
            wc.style = CS_DBLCLKS;
            wc.lpfnWndProc = WindowProc;
            wc.hInstance = instance;
            wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
            wc.hbrBackground = background;
            wc.lpszClassName = T::kClassName;
            wc.hIcon = T::ClassIcon(instance);
            if (RegisterClassExW(&wc) == 0) {
                Trace(L"RegisterClassExW failed");
                return nullptr;
            }
        }
        // Created at 0, 0 and empty: its size depends on the resolution of the screen it is on.
        if (CreateWindowExW(exStyle, T::kClassName, text, style, 0, 0, 0, 0, parent, menuOrId,
                            instance, static_cast<T*>(this)) == nullptr) {
            Trace(L"CreateWindowExW failed");
            return nullptr;
        }
        dpi_ = WindowDpi(hwnd_);
        return hwnd_;
    }

    static HICON ClassIcon(HINSTANCE) { return nullptr; }

    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) const {
        return DefWindowProcW(hwnd_, message, wParam, lParam);
    }

    // A child window takes the resolution its parent gives it.
    void SetDpi(unsigned dpi) {
        dpi_ = dpi;
        InvalidateRect(hwnd_, nullptr, TRUE);
    }

    // Sizes the window to `width` by `height` twips and centres it on the primary screen.
    void PlaceCentred(float width, float height) {
        const SIZE screen = ScreenPixels();
        const TwipsPoint place = CentreOnScreen(PixelsToTwips(screen.cx, dpi_),
                                                PixelsToTwips(screen.cy, dpi_), width, height);
        SetWindowPos(hwnd_, nullptr, TwipsToPixels(place.x, dpi_), TwipsToPixels(place.y, dpi_),
                     TwipsToPixels(width, dpi_), TwipsToPixels(height, dpi_),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // The one-pixel frame painted on the client area, as a rectangle shape on the window.
    void SetFrame(const TwipsRect& place, Rgb colour) {
        frame_ = Frame{place, colour};
        InvalidateRect(hwnd_, nullptr, TRUE);
    }

    void ShowOnTop() const { SetTopmost(hwnd_, kShowTopmost); }
    void KeepOnTop() const { SetTopmost(hwnd_, kKeepTopmost); }

private:
    struct Frame {
        TwipsRect place;
        Rgb colour;
    };

    // The messages every window handles alike; false for the others.
    bool HandleShared(UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
        case WM_PAINT: {
            const PaintScope paint(hwnd_);
            if (frame_) {
                DrawFrame(paint.Dc(), ToPixelRect(frame_->place, dpi_), frame_->colour);
            }
            return true;
        }
        case WM_DPICHANGED:
            dpi_ = HIWORD(wParam);
            MoveToRect(hwnd_, *reinterpret_cast<const RECT*>(lParam));
            if constexpr (requires(T & window) { window.Layout(); }) {
                static_cast<T*>(this)->Layout();
            }
            return true;
        default:
            return false;
        }
    }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept {
        T* self = nullptr;
        if (message == WM_NCCREATE) {
            self = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
            self->hwnd_ = hwnd;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        } else {
            self = reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        }
        if (self == nullptr) {
            return DefWindowProcW(hwnd, message, wParam, lParam);
        }
        LRESULT result = 0;
        try {
            BaseWindow& base = *self;
            if (!base.HandleShared(message, wParam, lParam)) {
                result = self->HandleMessage(message, wParam, lParam);
            }
        } catch (...) {
            // Nothing may unwind through the window system; the message counts as not handled.
            Trace(L"a window message ended in an exception");
            result = DefWindowProcW(hwnd, message, wParam, lParam);
        }
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
        }
        return result;
    }

    HWND hwnd_ = nullptr;
    unsigned dpi_ = USER_DEFAULT_SCREEN_DPI;
    std::optional<Frame> frame_;
};

} // namespace corvantis::platform
