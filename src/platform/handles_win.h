#pragma once
// Owners for every Win32 handle the program holds, one small scope per paired call, and the
// UTF-16 bridge between the portable core (char16_t) and the W functions (wchar_t, the same
// width on Windows).

#include <windows.h>
#include <ole2.h>

#include <memory>
#include <string>
#include <string_view>

namespace corvantis::platform {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline const wchar_t* AsWide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}
inline std::u16string FromWide(std::wstring_view text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text.data()), text.size());
}
inline std::wstring ToWide(std::u16string_view text) {
    return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

// A failure that the program survives but that must not vanish: it goes to the debugger's
// output (DebugView, or Wine's +debugstr channel).
inline void Trace(const wchar_t* what) noexcept {
    OutputDebugStringW(L"Corvantis: ");
    OutputDebugStringW(what);
    OutputDebugStringW(L"\n");
}

// What every owner and scope here is: made in one place, never copied.
class NoCopy {
public:
    NoCopy(const NoCopy&) = delete;
    NoCopy& operator=(const NoCopy&) = delete;

protected:
    NoCopy() = default;
    ~NoCopy() = default;
};

template <typename Handle, auto Close> struct HandleDeleter {
    using pointer = Handle;
    void operator()(Handle handle) const noexcept { Close(handle); }
};

// unique_ptr treats nullptr as empty; CreateFile and FindFirstFile fail with
// INVALID_HANDLE_VALUE, so that value is turned into nullptr on the way in.
template <auto Close> class InvalidValueHandle {
public:
    explicit InvalidValueHandle(HANDLE handle)
        : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    explicit operator bool() const { return handle_ != nullptr; }
    HANDLE get() const { return handle_.get(); }

private:
    std::unique_ptr<void, HandleDeleter<HANDLE, Close>> handle_;
};
using UniqueFileHandle = InvalidValueHandle<CloseHandle>;
using UniqueFindHandle = InvalidValueHandle<FindClose>;

// A kernel object handle that fails as nullptr (a mutex, an event).
using UniqueHandle = std::unique_ptr<void, HandleDeleter<HANDLE, CloseHandle>>;

using UniqueMenu = std::unique_ptr<HMENU__, HandleDeleter<HMENU, DestroyMenu>>;
using UniqueWindow = std::unique_ptr<HWND__, HandleDeleter<HWND, DestroyWindow>>;

inline void DeleteGdiObject(HGDIOBJ object) noexcept {
    DeleteObject(object);
}
using UniqueFont = std::unique_ptr<HFONT__, HandleDeleter<HFONT, DeleteGdiObject>>;
using UniqueBrush = std::unique_ptr<HBRUSH__, HandleDeleter<HBRUSH, DeleteGdiObject>>;
using UniquePen = std::unique_ptr<HPEN__, HandleDeleter<HPEN, DeleteGdiObject>>;
using UniqueBitmap = std::unique_ptr<HBITMAP__, HandleDeleter<HBITMAP, DeleteGdiObject>>;

// OleInitialize for the lifetime of the scope.
class OleScope : NoCopy {
public:
    OleScope() : ok_(SUCCEEDED(OleInitialize(nullptr))) {
        if (!ok_) {
            Trace(L"OleInitialize failed: drag and drop will not work");
        }
    }
    ~OleScope() {
        if (ok_) {
            OleUninitialize();
        }
    }

private:
    bool ok_;
};

// CoInitializeEx for the lifetime of the scope, on the thread that makes it.
class ComScope : NoCopy {
public:
    explicit ComScope(DWORD model) : ok_(SUCCEEDED(CoInitializeEx(nullptr, model))) {
        if (!ok_) {
            Trace(L"CoInitializeEx failed");
        }
    }
    ~ComScope() {
        if (ok_) {
            CoUninitialize();
        }
    }

private:
    bool ok_;
};

// BeginPaint for the lifetime of the scope.
class PaintScope : NoCopy {
public:
    explicit PaintScope(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~PaintScope() { EndPaint(window_, &paint_); }

    HDC Dc() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// SelectObject for the lifetime of the scope: the previous object is put back.
class SelectScope : NoCopy {
public:
    SelectScope(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectScope() { SelectObject(dc_, previous_); }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// GlobalLock for the lifetime of the scope.
class GlobalLockScope : NoCopy {
public:
    explicit GlobalLockScope(HGLOBAL global) noexcept
        : global_(global), data_(static_cast<char*>(GlobalLock(global))) {}
    ~GlobalLockScope() {
        if (data_ != nullptr) {
            GlobalUnlock(global_);
        }
    }

    char* data() const { return data_; }
    size_t size() const { return GlobalSize(global_); }

private:
    HGLOBAL global_;
    char* data_;
};

// GetDC for the lifetime of the scope.
class WindowDcScope : NoCopy {
public:
    explicit WindowDcScope(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDcScope() {
        if (dc_ != nullptr) {
            ReleaseDC(window_, dc_);
        }
    }

    HDC Dc() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// SetTextColor and SetBkColor for the lifetime of the scope: the previous colours are put back.
class TextColoursScope : NoCopy {
public:
    TextColoursScope(HDC dc, COLORREF text, COLORREF background)
        : dc_(dc), text_(SetTextColor(dc, text)), background_(SetBkColor(dc, background)) {}
    ~TextColoursScope() {
        SetBkColor(dc_, background_);
        SetTextColor(dc_, text_);
    }

private:
    HDC dc_;
    COLORREF text_;
    COLORREF background_;
};

// A classic subclass of one window (SetWindowLongPtrW with GWLP_WNDPROC), removed with the scope
// or earlier, while the window still exists. The window's GWLP_USERDATA carries the owner that
// the new procedure serves. Unlike comctl32's SetWindowSubclass it costs nothing per message:
// under Wine every message to a window subclassed through comctl32 pays property look-ups in
// the window server (about 125 us each), which makes a message per list item cost seconds.
class WindowProcScope : NoCopy {
public:
    WindowProcScope() = default;
    ~WindowProcScope() { Remove(); }

    bool Install(HWND window, WNDPROC procedure, void* owner) {
        Remove();
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
        const auto previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
        if (previous == nullptr) {
            Trace(L"SetWindowLongPtrW(GWLP_WNDPROC) failed");
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            return false;
        }
        window_ = window;
        previous_ = previous;
        return true;
    }
    bool Installed() const { return window_ != nullptr; }
    void Remove() noexcept {
        if (window_ != nullptr) {
            SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
            SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
            window_ = nullptr;
        }
    }

    // The owner given to Install; nullptr before Install and after Remove.
    template <typename Owner> static Owner* OwnerOf(HWND window) {
        return reinterpret_cast<Owner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    }

    // The window's own procedure, for the messages the subclass passes on.
    LRESULT CallPrevious(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const {
        return CallWindowProcW(previous_, window, message, wParam, lParam);
    }

private:
    HWND window_ = nullptr;
    WNDPROC previous_ = nullptr;
};

} // namespace corvantis::platform
