#pragma once
// Taking drops: the text a drop carries, and a drop target that hands that text to a window.

#include "platform/com_object_win.h"
#include "platform/handles_win.h"

#include <windows.h>
#include <ole2.h>

#include <functional>
#include <optional>
#include <string>

namespace corvantis::platform {

// What a drop gives: its plain text when it offers some (the wide form first, so that nothing
// the ANSI code page cannot hold is lost), up to its first NUL; otherwise the first path of its
// file list. nullopt when it offers neither, or an empty file list.
std::optional<std::u16string> DroppedText(IDataObject* data);

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
class DropRegistration : NoCopy {
public:
    DropRegistration() = default;
    ~DropRegistration() { Reset(); }

    // Registers `window` to hand its drops to `onDrop`, ending any earlier registration. False
    // when the system refuses (no OleInitialize on this thread, or the window already has one).
    bool Register(HWND window, DropCallback onDrop);
    void Reset() noexcept;

private:
    HWND window_ = nullptr;
};

} // namespace corvantis::platform
