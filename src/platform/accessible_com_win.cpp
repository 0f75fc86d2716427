#include "platform/accessible_com_win.h"

#include "platform/handles_win.h"

namespace corvantis::platform {

HRESULT NewBstr(const std::u16string& text, BSTR* out) {
    *out = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                             static_cast<UINT>(text.size()));
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

void SetChild(VARIANT* out, LONG child) {
    out->vt = VT_I4;
    out->lVal = child;
}

void SetEmpty(VARIANT* out) {
    out->vt = VT_EMPTY;
}

HRESULT NoText(BSTR* out) {
    if (out == nullptr) {
        return E_POINTER;
    }
    *out = nullptr;
    return DISP_E_MEMBERNOTFOUND;
}

bool IsClientArea(LPARAM lParam) {
    return static_cast<LONG>(lParam) == OBJID_CLIENT;
}

std::optional<LRESULT> HandOut(IAccessible* object, WPARAM wParam) {
    const LRESULT result = LresultFromObject(kIidAccessible, wParam, object);
    if (result < 0) { // a failure's HRESULT
        Trace(L"LresultFromObject failed: a reader gets the system's object instead");
        return std::nullopt;
    }
    return result;
}

} // namespace corvantis::platform
