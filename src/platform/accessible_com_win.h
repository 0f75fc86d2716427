#pragma once
// What every accessible object of the program shares: the interface ids, the answers of an
// IAccessible method (texts as BSTRs, children and numbers as VARIANTs), an IDispatch that is
// never called, and handing an object out to whoever sent WM_GETOBJECT.

#include "platform/com_object_win.h"

#include <windows.h>
#include <oleacc.h>

#include <optional>
#include <string>

namespace corvantis::platform {

// Spelled out: MinGW's import library gives IID_IAccessible as a thunk, not as the GUID.
inline constexpr IID kIidAccessible = {
    0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
inline constexpr IID kIidDispatch = {
    0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// `text` as a new BSTR in `out`; E_OUTOFMEMORY when it cannot be made.
HRESULT NewBstr(const std::u16string& text, BSTR* out);
void SetChild(VARIANT* out, LONG child);
void SetEmpty(VARIANT* out);
// What an object without help, description, shortcut or default action answers for them.
HRESULT NoText(BSTR* out);

// IDispatch of an accessible object that is only ever called through its IAccessible methods.
template <typename Base> class WithoutDispatch : public Base {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override {
        if (count == nullptr) {
            return E_POINTER;
        }
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) noexcept override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID,
                                            DISPID*) noexcept override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) noexcept override {
        return E_NOTIMPL;
    }
};

using AccessibleBase = WithoutDispatch<ComObject<IAccessible, kIidAccessible, kIidDispatch>>;

// An object without value, description, help, shortcut or default action, whose name and value
// cannot be set.
class PlainAccessible : public AccessibleBase {
public:
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT, BSTR* value) noexcept override {
        return NoText(value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* text) noexcept override {
        return NoText(text);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* help) noexcept override {
        return NoText(help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) noexcept override {
        if (topic != nullptr) {
            *topic = 0;
        }
        return NoText(file);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* keys) noexcept override {
        return NoText(keys);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT, BSTR* action) noexcept override {
        return NoText(action);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT) noexcept override {
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) noexcept override { return E_NOTIMPL; }
};

// Whether WM_GETOBJECT asks for the client area, the one object a control answers itself.
bool IsClientArea(LPARAM lParam);
// Hands `object` to whoever sent WM_GETOBJECT; nullopt, traced, when it cannot be.
std::optional<LRESULT> HandOut(IAccessible* object, WPARAM wParam);

} // namespace corvantis::platform
