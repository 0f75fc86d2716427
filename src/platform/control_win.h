#pragma once
// A child control of one of the system's classes (button, edit, static, list box) as an object:
// it paints in the colours it is given and raises its click, both from the notifications its
// parent reflects to it; a control that needs more of its own messages subclasses itself.

#include "platform/base_window_win.h"
#include "platform/colours.h"
#include "platform/geometry.h"
#include "platform/handles_win.h"
#include "platform/child_window_win.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace corvantis::platform {

class Control : public WindowBase {
public:
    // False when it cannot be created. `id` is the control's identifier, by which tools find it.
    bool Create(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int id,
                DWORD exStyle = 0);
    // The control's colours by its design; under high contrast it paints with the system's.
    void SetColours(const ControlColours& colours);
    void FollowPalette() override;
    // A click on a button, or on a static control with SS_NOTIFY.
    void OnClick(std::function<void()> onClick) { onClick_ = std::move(onClick); }
    // What screen readers call the control: an edit box its label, a picture what it does.
    void SetName(std::wstring_view name);
    // A button (with BS_NOTIFY) that takes or loses the keyboard focus.
    void OnFocusChange(std::function<void(bool focused)> onFocus) { onFocus_ = std::move(onFocus); }
    // The control draws a focus rectangle inside its edge while it has the keyboard focus, as a
    // button does: for a label that takes the focus.
    void MarkFocus();

    void Place(const TwipsRect& place, unsigned dpi) const { PlaceControl(Hwnd(), place, dpi); }
    std::u16string Text() const { return WindowText(Hwnd()); }
    void SetText(std::u16string_view text) const { platform::SetText(Hwnd(), text); }

    std::optional<LRESULT> OnReflected(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    // The colours it paints with now.
    const std::optional<ControlColours>& Colours() const { return colours_; }
    const std::u16string& Name() const { return name_; }
    void RaiseClick() const {
        if (onClick_) {
            onClick_();
        }
    }

    // From now on the control's own messages pass through Before and After (a classic subclass,
    // which costs nothing per message); false, traced, when it cannot be installed.
    bool Subclass();
    // Before the control's own procedure: an answer, or nullopt to let the control have it. A
    // named control answers WM_GETOBJECT with its name.
    virtual std::optional<LRESULT> Before(UINT message, WPARAM wParam, LPARAM lParam);
    // After the control's own procedure has handled a message that Before let through.
    virtual void After(UINT message, WPARAM wParam, LPARAM lParam);
    // The control's own procedure, for a message it is to see now.
    LRESULT CallOwn(UINT message, WPARAM wParam, LPARAM lParam) const {
        return subclass_.CallPrevious(Hwnd(), message, wParam, lParam);
    }

private:
    static LRESULT CALLBACK Procedure(HWND control, UINT message, WPARAM wParam,
                                      LPARAM lParam) noexcept;

    std::function<void()> onClick_;
    std::function<void(bool)> onFocus_;
    std::optional<ControlColours> design_;
    std::optional<ControlColours> colours_;
    std::u16string name_;
    bool marksFocus_ = false;
    UniqueBrush background_;
    WindowProcScope subclass_;
};

// A small picture that can be clicked: a static control showing a bitmap resource at its size.
class Glyph : public Control {
public:
    // False when it cannot be created; a bitmap that cannot be loaded leaves it blank, traced.
    bool Create(HWND parent, int id, int bitmapResource);

private:
    UniqueBitmap bitmap_;
};

} // namespace corvantis::platform
