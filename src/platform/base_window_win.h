#pragma once
// One window = one class. WindowBase is what every window of the program is, a top-level window,
// a panel or a control: its handle, a look at the keys before they are dispatched, and the
// notifications about it that its parent receives (WM_COMMAND, WM_CTLCOLOR*, WM_DRAWITEM), which
// the parent reflects to it. BaseWindow<T> binds the C++ object to its HWND on WM_NCCREATE,
// handles what every window of the program shares (creating it with its controls, a change of
// resolution, painting its frame, reflection, dragging by its background, centring, staying on
// top) and routes every other message to T::HandleMessage. No exception ever leaves the window
// procedure.

#include "platform/colours.h"
#include "platform/geometry.h"
#include "platform/handles_win.h"
#include "platform/palette_win.h"
#include "platform/twips.h"
#include "platform/monitor_win.h"
#include "platform/gdi_win.h"
#include "platform/child_window_win.h"
#include "platform/window_win.h"

#include <windows.h>

#include <optional>

namespace corvantis::platform {

class WindowBase : NoCopy {
public:
    HWND Hwnd() const { return hwnd_; }

    // The program's window or control that `window` is; nullptr for any other.
    static WindowBase* Of(HWND window);
    // Lets go of every window that has been destroyed: a control goes with its parent without
    // a word to its object, which may outlive it.
    static void ForgetDestroyed() noexcept;

    // A message of this window or of one of its children, before it is dispatched: true when it
    // is used up.
    virtual bool PreTranslateMessage(const MSG&) { return false; }
    // A notification about this window that its parent received: the answer, or nullopt to leave
    // the message to the parent.
    virtual std::optional<LRESULT> OnReflected(UINT, WPARAM, LPARAM) { return std::nullopt; }
    // The system's colours or its high contrast setting changed: every window of the program
    // takes the colours it paints with again and paints anew.
    static void PaletteChanged();

protected:
    WindowBase() = default;
    virtual ~WindowBase() { Unbind(); }
    // Takes the colours to paint with from the palette as it is now.
    virtual void FollowPalette() {}

    // From now on the object is the program's window `window`; Unbind once that is destroyed.
    void Bind(HWND window);
    void Unbind() noexcept;

private:
    HWND hwnd_ = nullptr;
};

// Offers the message to the program's windows it passes on its way: its own window first, then
// each parent up to the top-level one. True when one of them used it up.
bool PreTranslate(const MSG& message);

// The answer of the program's control that a WM_COMMAND, WM_CTLCOLOR* or WM_DRAWITEM concerns;
// nullopt for another message, another control, or one that leaves it to its parent.
std::optional<LRESULT> Reflect(UINT message, WPARAM wParam, LPARAM lParam);

template <typename T> class BaseWindow : public WindowBase {
public:
    unsigned Dpi() const { return dpi_; }

protected:
    BaseWindow() = default;
    ~BaseWindow() override = default;

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
        dpi_ = WindowDpi(Hwnd());
        return Hwnd();
    }

    // A borderless white top-level window off the taskbar, owned by `owner` if any, with its
    // controls (T::CreateControls); false, traced and with nothing left behind, when it or one
    // of its controls cannot be made.
    bool CreatePopup(const wchar_t* text, HWND owner = nullptr) {
        if (!CreateBound(WS_EX_TOOLWINDOW, text, WS_POPUP | WS_CLIPCHILDREN, owner, nullptr,
                         static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)))) {
            return false;
        }
        if (!static_cast<T*>(this)->CreateControls()) {
            Trace(L"a window's controls could not be created");
            DestroyWindow(Hwnd());
            return false;
        }
        return true;
    }

    static HICON ClassIcon(HINSTANCE) { return nullptr; }

    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) const {
        return DefWindowProcW(Hwnd(), message, wParam, lParam);
    }

    // A child window takes the resolution its parent gives it.
    void SetDpi(unsigned dpi) {
        dpi_ = dpi;
        InvalidateRect(Hwnd(), nullptr, TRUE);
    }

    // Sizes the window to `width` by `height` twips and centres it on the primary screen.
    void PlaceCentred(float width, float height) {
        const SIZE screen = ScreenPixels();
        const TwipsPoint place = CentreOnScreen(PixelsToTwips(screen.cx, dpi_),
                                                PixelsToTwips(screen.cy, dpi_), width, height);
        SetWindowPos(Hwnd(), nullptr, TwipsToPixels(place.x, dpi_), TwipsToPixels(place.y, dpi_),
                     TwipsToPixels(width, dpi_), TwipsToPixels(height, dpi_),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // The one-pixel frame painted on the client area, as a rectangle shape on the window.
    void SetFrame(const TwipsRect& place, Rgb colour) {
        frame_ = Frame{place, colour};
        InvalidateRect(Hwnd(), nullptr, TRUE);
    }

    // A move of the pointer over the window's own background with the left button held drags
    // the top-level window it belongs to; its controls take their own moves.
    void DragByBackground() { dragsWindow_ = true; }

    // Like a dialog: the control that had the focus when the window was deactivated gets it back
    // when the window is activated or given the focus; `first` when none had it yet.
    void RememberFocus(HWND first) { focus_ = first; }

    void ShowOnTop() const { SetTopmost(Hwnd(), kShowTopmost); }
    void KeepOnTop() const { SetTopmost(Hwnd(), kKeepTopmost); }

private:
    struct Frame {
        TwipsRect place;
        Rgb colour;
    };

    void FillClient(HDC dc, Rgb colour) const {
        RECT client{};
        GetClientRect(Hwnd(), &client);
        const UniqueBrush brush(CreateSolidBrush(ToColorRef(colour)));
        FillRect(dc, &client, brush.get());
    }

    // The messages every window handles alike: the answer, or nullopt for the others.
    std::optional<LRESULT> HandleShared(UINT message, WPARAM wParam, LPARAM lParam) {
        if (auto reflected = Reflect(message, wParam, lParam)) {
            return reflected;
        }
        switch (message) {
        case WM_PAINT: {
            const PaintScope paint(Hwnd());
            if (frame_) {
                DrawFrame(paint.Dc(), ToPixelRect(frame_->place, dpi_),
                          PaintColour(frame_->colour, ColourUse::Frame, CurrentPalette()));
            }
            return 0;
        }
        case WM_ERASEBKGND:
            // Under high contrast the theme's window colour, for a window and a panel alike; else
            // the window's own background.
            if (!CurrentPalette().highContrast) {
                return std::nullopt;
            }
            FillClient(reinterpret_cast<HDC>(wParam), CurrentPalette().window);
            return 1;
        case WM_SYSCOLORCHANGE:
        case WM_SETTINGCHANGE: // SPI_SETHIGHCONTRAST among others
            PaletteChanged();
            return std::nullopt;
        case WM_DPICHANGED:
            dpi_ = HIWORD(wParam);
            MoveToRect(Hwnd(), *reinterpret_cast<const RECT*>(lParam));
            if constexpr (requires(T & window) { window.Layout(); }) {
                static_cast<T*>(this)->Layout();
            }
            return 0;
        case WM_ACTIVATE:
            if (focus_ != nullptr && LOWORD(wParam) == WA_INACTIVE) {
                const HWND focus = GetFocus();
                focus_ = focus != nullptr && IsChild(Hwnd(), focus) ? focus : focus_;
            } else if (focus_ != nullptr) {
                SetFocus(focus_);
            }
            return std::nullopt; // the window may want it too
        case WM_SETFOCUS:
            if (focus_ == nullptr) {
                return std::nullopt;
            }
            SetFocus(focus_);
            return 0;
        case WM_MOUSEMOVE:
            // Only a held left button drags: a bare move must not grab the window.
            if (!dragsWindow_ || (wParam & MK_LBUTTON) == 0) {
                return std::nullopt;
            }
            DragWindow(GetAncestor(Hwnd(), GA_ROOT));
            return 0;
        default:
            return std::nullopt;
        }
    }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept {
        T* self = nullptr;
        if (message == WM_NCCREATE) {
            self = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
            try {
                self->Bind(hwnd);
            } catch (...) {
                Trace(L"a window could not be bound to its object");
                SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
                return FALSE; // the window is not created
            }
        } else {
            self = reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        }
        if (self == nullptr) {
            return DefWindowProcW(hwnd, message, wParam, lParam);
        }
        LRESULT result = 0;
        try {
            BaseWindow& base = *self;
            if (auto shared = base.HandleShared(message, wParam, lParam)) {
                result = *shared;
            } else {
                result = self->HandleMessage(message, wParam, lParam);
            }
        } catch (...) {
            // Nothing may unwind through the window system; the message counts as not handled.
            Trace(L"a window message ended in an exception");
            result = DefWindowProcW(hwnd, message, wParam, lParam);
        }
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->Unbind();
            ForgetDestroyed(); // its controls are gone by now
        }
        return result;
    }

    unsigned dpi_ = USER_DEFAULT_SCREEN_DPI;
    std::optional<Frame> frame_;
    bool dragsWindow_ = false;
    HWND focus_ = nullptr;
};

} // namespace corvantis::platform
