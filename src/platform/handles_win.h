#pragma once
// Owners for every Win32 handle the program holds, and the UTF-16 bridge between the portable
// core (char16_t) and the W functions (wchar_t, the same width on Windows).

#include <windows.h>
#include <ole2.h>

#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

namespace corvantis::platform {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline const wchar_t* AsWide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}
inline std::u16string FromWide(std::wstring_view text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text.data()), text.size());
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

using UniqueWindow = std::unique_ptr<HWND__, HandleDeleter<HWND, DestroyWindow>>;
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
    OleScope() : ok_(SUCCEEDED(OleInitialize(nullptr))) {}
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

} // namespace corvantis::platform
