#include "platform/drop_target_win.h"

#include "platform/codepage.h"
#include "platform/handles_win.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace corvantis::platform {
namespace {

struct MediumRelease {
    void operator()(STGMEDIUM* medium) const noexcept { ReleaseStgMedium(medium); }
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
    const GlobalLockScope locked(medium.hGlobal);
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
        Trace(L"reading a drag's data ended in an exception");
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
    const ComPtr<IDropTarget> keepAlive(this);
    try {
        if (auto text = DroppedText(data)) {
            *effect = DROPEFFECT_COPY;
            onDrop_(std::move(*text));
        }
    } catch (...) {
        Trace(L"a drop ended in an exception");
        *effect = DROPEFFECT_NONE;
        return E_UNEXPECTED;
    }
    return S_OK;
}

bool DropRegistration::Register(HWND window, DropCallback onDrop) {
    Reset();
    // The system keeps its own reference for as long as the registration lasts.
    const ComPtr<IDropTarget> target(new DropTarget(std::move(onDrop)));
    if (FAILED(RegisterDragDrop(window, target.get()))) {
        Trace(L"RegisterDragDrop failed: drops are not taken");
        return false;
    }
    window_ = window;
    return true;
}

void DropRegistration::Reset() noexcept {
    if (window_ != nullptr) {
        if (FAILED(RevokeDragDrop(window_))) {
            Trace(L"RevokeDragDrop failed");
        }
        window_ = nullptr;
    }
}

} // namespace corvantis::platform
