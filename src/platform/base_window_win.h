#pragma once
// One window = one class: BaseWindow<T> binds the C++ object to its HWND on WM_NCCREATE and
// routes every message to T::HandleMessage. No exception ever leaves the window procedure.

#include <windows.h>

namespace corvantis::platform {

template <typename T> class BaseWindow {
public:
    HWND Hwnd() const { return hwnd_; }

protected:
    BaseWindow() = default;
    ~BaseWindow() = default;
    BaseWindow(const BaseWindow&) = delete;
    BaseWindow& operator=(const BaseWindow&) = delete;

    // Registers the class on first use and creates the window bound to `this`. The create
    // parameter travels as void*, so it must be the T* that WindowProc casts it back to.
    HWND CreateBound(DWORD exStyle, const wchar_t* text, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menuOrId, HBRUSH background) {
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
            RegisterClassExW(&wc);
        }
        return CreateWindowExW(exStyle, T::kClassName, text, style, x, y, width, height, parent,
                               menuOrId, instance, static_cast<T*>(this));
    }

    static HICON ClassIcon(HINSTANCE) { return nullptr; }

    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) const {
        return DefWindowProcW(hwnd_, message, wParam, lParam);
    }

private:
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
            result = self->HandleMessage(message, wParam, lParam);
        } catch (...) {
            // Nothing may unwind through the window system; the message counts as not handled.
            result = DefWindowProcW(hwnd, message, wParam, lParam);
        }
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
        }
        return result;
    }

    HWND hwnd_ = nullptr;
};

} // namespace corvantis::platform
