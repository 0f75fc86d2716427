#include "platform/drop_win.h"

#include "platform/codepage.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace corvantis::platform {
namespace {

struct MediumRelease {
    void operator()(STGMEDIUM* medium) const noexcept { ReleaseStgMedium(medium); }
};

struct ComRelease {
    void operator()(IUnknown* object) const noexcept { object->Release(); }
};

// GlobalLock for the lifetime of the scope.
class LockedGlobal {
public:
    explicit LockedGlobal(HGLOBAL global) noexcept
        : global_(global), data_(static_cast<char*>(GlobalLock(global))) {}
    ~LockedGlobal() {
        if (data_ != nullptr) {
            GlobalUnlock(global_);
        }
    }
    LockedGlobal(const LockedGlobal&) = delete;
    LockedGlobal& operator=(const LockedGlobal&) = delete;

    char* data() const { return data_; }
    size_t size() const { return GlobalSize(global_); }

private:
    HGLOBAL global_;
    char* data_;
};

// The bytes of `format` copied out of the data's global memory; nullopt when it is not offered
// that way. Reads stop at the block's size, whatever the contents claim.
std::optional<std::string> GlobalData(IDataObject* data, CLIPFORMAT format) {
    FORMATETC request{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (FAILED(data->GetData(&request, &medium))) {
        return std::nullopt;
    }
    const std::unique_ptr<STGMEDIUM, MediumRelease> release(&medium);
    if (medium.tymed != TYMED_HGLOBAL) {
        return std::nullopt;
    }
    const LockedGlobal locked(medium.hGlobal);
    if (locked.data() == nullptr) {
        return std::nullopt;
    }
    return std::string(locked.data(), locked.size());
}

std::u16string WideUntilNul(std::string_view bytes) {
    std::u16string text(bytes.size() / sizeof(char16_t), u'\0');
    std::memcpy(text.data(), bytes.data(), text.size() * sizeof(char16_t));
    text.resize(std::min(text.find(u'\0'), text.size()));
    return text;
}

std::string_view NarrowUntilNul(std::string_view bytes) {
    return bytes.substr(0, bytes.find('\0'));
}

// CF_TEXT is in the ANSI code page of the locale the data names with CF_LOCALE, else the
// system's.
UINT TextCodePage(IDataObject* data) {
    const auto locale = GlobalData(data, CF_LOCALE);
    LCID lcid = 0;
    if (locale && locale->size() >= sizeof lcid) {
        std::memcpy(&lcid, locale->data(), sizeof lcid);
        UINT codePage = 0;
        if (GetLocaleInfoW(lcid, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                           reinterpret_cast<LPWSTR>(&codePage),
                           sizeof codePage / sizeof(WCHAR)) != 0 &&
            IsValidCodePage(codePage)) {
            return codePage;
        }
    }
    return GetACP();
}

// The first path of a CF_HDROP block (DROPFILES, then NUL-terminated paths). Read here rather
// than with DragQueryFileW, which trusts the block to hold its terminating NULs.
std::optional<std::u16string> FirstDroppedPath(std::string_view block) {
    DROPFILES header{};
    if (block.size() < sizeof header) {
        return std::nullopt;
    }
    std::memcpy(&header, block.data(), sizeof header);
    if (header.pFiles > block.size()) {
        return std::nullopt;
    }
    const std::string_view list = block.substr(header.pFiles);
    std::u16string path =
        header.fWide ? WideUntilNul(list) : DecodeCodePage(NarrowUntilNul(list), GetACP());
    if (path.empty()) {
        return std::nullopt;
    }
    return path;
}

// A new movable global memory block holding `bytes`; nullptr when none can be had.
HGLOBAL NewGlobal(std::string_view bytes) {
    HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (global == nullptr) {
        return nullptr;
    }
    {
        const LockedGlobal locked(global);
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

} // namespace

std::optional<std::u16string> DroppedText(IDataObject* data) {
    if (data == nullptr) {
        return std::nullopt;
    }
    if (const auto wide = GlobalData(data, CF_UNICODETEXT)) {
        return WideUntilNul(*wide);
    }
    if (const auto narrow = GlobalData(data, CF_TEXT)) {
        return DecodeCodePage(NarrowUntilNul(*narrow), TextCodePage(data));
    }
    if (const auto files = GlobalData(data, CF_HDROP)) {
        return FirstDroppedPath(*files);
    }
    return std::nullopt;
}

DropTarget::DropTarget(DropCallback onDrop) : onDrop_(std::move(onDrop)) {}

HRESULT DropTarget::DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) noexcept {
    try {
        accepts_ = DroppedText(data).has_value();
    } catch (...) {
        accepts_ = false;
    }
    return DragOver(keys, point, effect);
}

HRESULT DropTarget::DragOver(DWORD, POINTL, DWORD* effect) noexcept {
    if (effect == nullptr) {
        return E_INVALIDARG;
    }
    *effect = accepts_ && (*effect & DROPEFFECT_COPY) != 0 ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    return S_OK;
}

HRESULT DropTarget::DragLeave() noexcept {
    accepts_ = false;
    return S_OK;
}

HRESULT DropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) noexcept {
    if (effect == nullptr) {
        return E_INVALIDARG;
    }
    accepts_ = false;
    const bool copyAllowed = (*effect & DROPEFFECT_COPY) != 0;
    *effect = DROPEFFECT_NONE;
    if (!copyAllowed) {
        return S_OK;
    }
    // The callback may end this window's registration, and with it the last outside reference.
    AddRef();
    const std::unique_ptr<IDropTarget, ComRelease> keepAlive(this);
    try {
        if (auto text = DroppedText(data)) {
            *effect = DROPEFFECT_COPY;
            onDrop_(std::move(*text));
        }
    } catch (...) {
        *effect = DROPEFFECT_NONE;
        return E_UNEXPECTED;
    }
    return S_OK;
}

bool DropRegistration::Register(HWND window, DropCallback onDrop) {
    Reset();
    // The system keeps its own reference for as long as the registration lasts.
    const std::unique_ptr<IDropTarget, ComRelease> target(new DropTarget(std::move(onDrop)));
    if (FAILED(RegisterDragDrop(window, target.get()))) {
        return false;
    }
    window_ = window;
    return true;
}

void DropRegistration::Reset() noexcept {
    if (window_ != nullptr) {
        RevokeDragDrop(window_);
        window_ = nullptr;
    }
}

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
    const std::unique_ptr<IDataObject, ComRelease> data(new DataObject(std::move(formats)));
    const std::unique_ptr<IDropSource, ComRelease> source(new DropSource);
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT result = DoDragDrop(data.get(), source.get(), allowedEffects, &effect);
    return result == DRAGDROP_S_DROP ? effect : DROPEFFECT_NONE;
}

void DragTextOut(std::u16string_view text) {
    DragOut(TextClipData(text), DROPEFFECT_COPY);
}

} // namespace corvantis::platform
