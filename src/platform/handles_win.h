#pragma once
// Owners for every Win32 handle the program holds, one small scope per paired call, and the
// UTF-16 bridge between the portable core (char16_t) and the W functions (wchar_t, the same
// width on Windows).

#include <windows.h>
#include <commctrl.h>
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

// A failure that the program survives but that must not vanish: it goes to the debugger's
// output (DebugView, or Wine's +debugstr channel).
inline void Trace(const wchar_t* what) noexcept {
    OutputDebugStringW(L"Corvantis: ");
    OutputDebugStringW(what);
    OutputDebugStringW(L"\n");
}

template <typename Handle, auto Close> struct HandleDeleter {
    using pointer = Handle;
    void operator()(Handle handle) const noexcept { Close(handle); }
};

// unique_ptr treats nullptr as empty; CreateFile fails with INVALID_HANDLE_VALUE, so that
// value is turned into nullptr on the way in.
class UniqueFileHandle {
public:
    explicit UniqueFileHandle(HANDLE handle)
        : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    explicit operator bool() const { return handle_ != nullptr; }
    HANDLE get() const { return handle_.get(); }

private:
    std::unique_ptr<void, HandleDeleter<HANDLE, CloseHandle>> handle_;
};

// A kernel object handle that fails as nullptr (a mutex, an event).
using UniqueHandle = std::unique_ptr<void, HandleDeleter<HANDLE, CloseHandle>>;

using UniqueMenu = std::unique_ptr<HMENU__, HandleDeleter<HMENU, DestroyMenu>>;

inline void DeleteGdiObject(HGDIOBJ object) noexcept {
    DeleteObject(object);
}
using UniqueFont = std::unique_ptr<HFONT__, HandleDeleter<HFONT, DeleteGdiObject>>;
using UniqueBrush = std::unique_ptr<HBRUSH__, HandleDeleter<HBRUSH, DeleteGdiObject>>;
using UniquePen = std::unique_ptr<HPEN__, HandleDeleter<HPEN, DeleteGdiObject>>;
using UniqueBitmap = std::unique_ptr<HBITMAP__, HandleDeleter<HBITMAP, DeleteGdiObject>>;

// OleInitialize for the lifetime of the scope.
class OleScope {
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
    OleScope(const OleScope&) = delete;
    OleScope& operator=(const OleScope&) = delete;

private:
    bool ok_;
};

// BeginPaint for the lifetime of the scope.
class PaintScope {
public:
    explicit PaintScope(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~PaintScope() { EndPaint(window_, &paint_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;

    HDC Dc() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// SelectObject for the lifetime of the scope: the previous object is put back.
class SelectScope {
public:
    SelectScope(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectScope() { SelectObject(dc_, previous_); }
    SelectScope(const SelectScope&) = delete;
    SelectScope& operator=(const SelectScope&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// GlobalLock for the lifetime of the scope.
class GlobalLockScope {
public:
    explicit GlobalLockScope(HGLOBAL global) noexcept
        : global_(global), data_(static_cast<char*>(GlobalLock(global))) {}
    ~GlobalLockScope() {
        if (data_ != nullptr) {
            GlobalUnlock(global_);
        }
    }
    GlobalLockScope(const GlobalLockScope&) = delete;
    GlobalLockScope& operator=(const GlobalLockScope&) = delete;

    char* data() const { return data_; }
    size_t size() const { return GlobalSize(global_); }

private:
    HGLOBAL global_;
    char* data_;
};

// A comctl32 subclass of one window, removed with the scope (or earlier, while the window
// still exists).
class SubclassScope {
public:
    SubclassScope() = default;
    ~SubclassScope() { Remove(); }
    SubclassScope(const SubclassScope&) = delete;
    SubclassScope& operator=(const SubclassScope&) = delete;

    bool Install(HWND window, SUBCLASSPROC procedure, DWORD_PTR data) {
        Remove();
        if (!SetWindowSubclass(window, procedure, 0, data)) {
            Trace(L"SetWindowSubclass failed");
            return false;
        }
        window_ = window;
        procedure_ = procedure;
        return true;
    }
    void Remove() noexcept {
        if (window_ != nullptr) {
            RemoveWindowSubclass(window_, procedure_, 0);
            window_ = nullptr;
        }
    }

private:
    HWND window_ = nullptr;
    SUBCLASSPROC procedure_ = nullptr;
};

} // namespace corvantis::platform
