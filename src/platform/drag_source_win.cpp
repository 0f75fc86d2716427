#include "platform/drag_source_win.h"

#include "platform/com_object_win.h"
#include "platform/handles_win.h"

#include <shlobj.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace corvantis::platform {
namespace {

// A new movable global memory block holding `bytes`; nullptr when none can be had.
HGLOBAL NewGlobal(std::string_view bytes) {
    HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (global == nullptr) {
        return nullptr;
    }
    {
        const GlobalLockScope locked(global);
        if (locked.data() != nullptr) {
            std::memcpy(locked.data(), bytes.data(), bytes.size());
            return global;
        }
    }
    GlobalFree(global);
    return nullptr;
}

// Offers a fixed set of formats, each in global memory, with no advise sinks and no SetData.
class DataObject final : public ComObject<IDataObject, IID_IDataObject> {
public:
    explicit DataObject(std::vector<ClipData> formats) : formats_(std::move(formats)) {}

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* request, STGMEDIUM* medium) noexcept override {
        if (request == nullptr || medium == nullptr) {
            return E_INVALIDARG;
        }
        const ClipData* offered = Find(*request);
        if (offered == nullptr) {
            return DV_E_FORMATETC;
        }
        HGLOBAL global = NewGlobal(offered->bytes);
        if (global == nullptr) {
            return E_OUTOFMEMORY;
        }
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = global;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) noexcept override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* request) noexcept override {
        return request != nullptr && Find(*request) != nullptr ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*,
                                                    FORMATETC* canonical) noexcept override {
        if (canonical != nullptr) {
            canonical->ptd = nullptr;
        }
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) noexcept override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction,
                                            IEnumFORMATETC** formats) noexcept override {
        if (formats == nullptr) {
            return E_POINTER;
        }
        *formats = nullptr;
        if (direction != DATADIR_GET) {
            return E_NOTIMPL;
        }
        try {
            std::vector<FORMATETC> list;
            for (const ClipData& offered : formats_) {
                list.push_back({offered.format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
            }
            return SHCreateStdEnumFmtEtc(static_cast<UINT>(list.size()), list.data(), formats);
        } catch (...) {
            Trace(L"listing a drag's formats ended in an exception");
            return E_OUTOFMEMORY;
        }
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) noexcept override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) noexcept override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) noexcept override {
        return OLE_E_ADVISENOTSUPPORTED;
    }

private:
    ~DataObject() = default;

    const ClipData* Find(const FORMATETC& request) const {
        if (request.dwAspect != DVASPECT_CONTENT || (request.tymed & TYMED_HGLOBAL) == 0) {
            return nullptr;
        }
        const auto found = std::find_if(formats_.begin(), formats_.end(), [&](const ClipData& o) {
            return o.format == request.cfFormat;
        });
        return found == formats_.end() ? nullptr : &*found;
    }

    const std::vector<ClipData> formats_;
};

// The standard drag: the left button's release drops, Esc cancels, the system draws the cursor.
class DropSource final : public ComObject<IDropSource, IID_IDropSource> {
public:
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keys) noexcept override {
        if (escapePressed) {
            return DRAGDROP_S_CANCEL;
        }
        return (keys & MK_LBUTTON) == 0 ? DRAGDROP_S_DROP : S_OK;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) noexcept override {
        return DRAGDROP_S_USEDEFAULTCURSORS;
    }

private:
    ~DropSource() = default;
};

// Whether the pointer, with the left button held since `press` (client pixels of `control`), moves
// past the system's drag distance on either side before the button comes up: DragDetect's test.
// Wine's DragDetect takes every move for a drag (it compares a move's client point with a
// rectangle around the screen point it is given), so that a click with the slightest jitter
// dragged the line out and dropped it into a new editor instead of opening the menu.
bool LeavesDragDistance(HWND control, POINT press) {
    const int across = std::abs(GetSystemMetrics(SM_CXDRAG));
    const int down = std::abs(GetSystemMetrics(SM_CYDRAG));
    const RECT still{press.x - across, press.y - down, press.x + across + 1, press.y + down + 1};
    SetCapture(control);
    for (;;) {
        MSG message{};
        while (PeekMessageW(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
            if (message.message == WM_LBUTTONUP) {
                ReleaseCapture();
                return false;
            }
            if (message.message != WM_MOUSEMOVE) {
                continue;
            }
            POINT at{GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)};
            MapWindowPoints(message.hwnd, control, &at, 1);
            if (!PtInRect(&still, at)) {
                ReleaseCapture();
                return true;
            }
        }
        // The press ended where this loop cannot see it: another window took the mouse.
        if (GetCapture() != control || GetKeyState(VK_LBUTTON) >= 0) {
            return false;
        }
        WaitMessage();
    }
}

} // namespace

std::vector<ClipData> TextClipData(std::u16string_view text) {
    std::string wide(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t));
    wide.append(sizeof(char16_t), '\0');

    // Characters the code page lacks become its default character, as in the system's own
    // conversions; the wide form keeps them.
    const auto* source = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(CP_ACP, 0, source, length, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, source, length, ansi.data(), size, nullptr, nullptr);
    ansi += '\0';

    std::vector<ClipData> formats;
    formats.push_back({CF_UNICODETEXT, std::move(wide)});
    formats.push_back({CF_TEXT, std::move(ansi)});
    return formats;
}

DWORD DragOut(std::vector<ClipData> formats, DWORD allowedEffects) {
    const ComPtr<IDataObject> data(new DataObject(std::move(formats)));
    const ComPtr<IDropSource> source(new DropSource);
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT result = DoDragDrop(data.get(), source.get(), allowedEffects, &effect);
    if (FAILED(result)) {
        Trace(L"DoDragDrop failed: nothing was dragged");
    }
    return result == DRAGDROP_S_DROP ? effect : DROPEFFECT_NONE;
}

bool DragTextOnPress(HWND control, POINT press,
                     const std::function<std::optional<std::u16string>()>& text) {
    if (!LeavesDragDistance(control, press)) {
        return false;
    }
    if (const auto dragged = text()) {
        ReleaseCapture();
        DragOut(TextClipData(*dragged), DROPEFFECT_COPY);
    }
    return true;
}

} // namespace corvantis::platform
