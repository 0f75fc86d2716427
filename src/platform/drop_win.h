#pragma once
// OLE drag and drop: the text a drop carries, a drop target that hands that text to a window,
// and dragging text (or any data in global memory) out of a window.

#include <windows.h>
#include <ole2.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvantis::platform {

// What a drop gives: its plain text when it offers some (the wide form first, so that nothing
// the ANSI code page cannot hold is lost), up to its first NUL; otherwise the first path of its
// file list. nullopt when it offers neither, or an empty file list.
std::optional<std::u16string> DroppedText(IDataObject* data);

// IUnknown for an object that implements one interface: created with new at a reference count
// of 1, deleted by its last Release.
template <typename Interface, const IID& kInterfaceId> class ComObject : public Interface {
public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kInterfaceId)) {
            *object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() noexcept override {
        return static_cast<ULONG>(InterlockedIncrement(&references_));
    }
    ULONG STDMETHODCALLTYPE Release() noexcept override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) {
            delete this;
        }
        return static_cast<ULONG>(left);
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;

private:
    LONG references_ = 1;
};

using DropCallback = std::function<void(std::u16string)>;

// Accepts, as a copy, every drop for which DroppedText gives a value, and hands that value to
// the callback. Created with new at a reference count of 1; the last Release deletes it.
class DropTarget final : public ComObject<IDropTarget, IID_IDropTarget> {
public:
    explicit DropTarget(DropCallback onDrop);

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point,
                                        DWORD* effect) noexcept override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) noexcept override;
    HRESULT STDMETHODCALLTYPE DragLeave() noexcept override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point,
                                   DWORD* effect) noexcept override;

private:
    ~DropTarget() override = default;

    bool accepts_ = false; // decided once per DragEnter
    DropCallback onDrop_;
};

// Keeps one window registered as a drop target. Reset it (or destroy it) while the window still
// exists, in WM_DESTROY at the latest: revoking needs the window.
class DropRegistration {
public:
    DropRegistration() = default;
    ~DropRegistration() { Reset(); }
    DropRegistration(const DropRegistration&) = delete;
    DropRegistration& operator=(const DropRegistration&) = delete;

    // Registers `window` to hand its drops to `onDrop`, ending any earlier registration. False
    // when the system refuses (no OleInitialize on this thread, or the window already has one).
    bool Register(HWND window, DropCallback onDrop);
    void Reset() noexcept;

private:
    HWND window_ = nullptr;
};

// One format a dragged data object offers: `bytes` in global memory (TYMED_HGLOBAL).
struct ClipData {
    CLIPFORMAT format;
    std::string bytes;
};

// Text as CF_UNICODETEXT and as CF_TEXT in the ANSI code page, each ending in its NUL.
std::vector<ClipData> TextClipData(std::u16string_view text);

// A modal drag (DoDragDrop) of data that offers `formats`, ended by releasing the left button
// (drop) or by Esc (cancel); call it when the left button goes down. Returns the effect the
// target carried out: DROPEFFECT_NONE when cancelled, refused or failed.
DWORD DragOut(std::vector<ClipData> formats, DWORD allowedEffects);

// Drags `text` out as a copy.
void DragTextOut(std::u16string_view text);

} // namespace corvantis::platform
