#pragma once
// A single-line edit box of unlimited length. Its selected text may be dragged out, and it may
// take drops.

#include "platform/control_win.h"
#include "platform/drop_target_win.h"

#include <windows.h>

namespace corvantis::platform {

class TextBox : public Control {
public:
    // False when it cannot be created.
    bool Create(HWND parent, int id);
    // A press on the selected text that moves past the drag distance drags it out as text.
    void DragSelectionOut() { dragsSelection_ = true; }
    // Hands the text of every drop to `onDrop`, but for the box's own text dragged back onto it;
    // once OLE is initialised, traced when it cannot be.
    void AcceptDrops(DropCallback onDrop);
    // Before the box is destroyed: drops end while it exists.
    void Detach() noexcept { drops_.Reset(); }

    bool PreTranslateMessage(const MSG& message) override;

private:
    bool DragOrClick(const MSG& press);

    bool dragsSelection_ = false;
    bool draggingOut_ = false; // a drag of the box's own text is under way
    DropRegistration drops_;
};

} // namespace corvantis::platform
