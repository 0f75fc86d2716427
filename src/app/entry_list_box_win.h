#pragma once
// The launcher's entry list: a list box that shows the program's entries (it is told of every
// change and never read back), takes drops, drags its items out as text, and reports a click on
// it so that the launcher can pop the entry menu up.

#include "core/entry_list.h"
#include "platform/drop_target_win.h"
#include "platform/handles_win.h"

#include <windows.h>

#include <functional>
#include <string>

namespace corvantis::app {

class EntryListBox final : public core::EntryListView {
public:
    struct Events {
        // A left-button release whose press began on the list; the list has moved its selection
        // by then.
        std::function<void()> onClick;
        // The text a drop on the list carries.
        std::function<void(std::u16string)> onDrop;
    };

    // False when the list box cannot be created; a drop target or gesture that cannot be set up
    // is traced and left out.
    bool Create(HWND parent, int id, const core::EntryList& entries, Events events);
    // Before the list box is destroyed: drops and the subclass end while it exists.
    void Detach() noexcept;

    HWND Hwnd() const { return list_; }
    // The selected item; -1 for none.
    int Selection() const;

    void Appended(std::span<const std::u16string> lines) override;
    void Inserted(int index, std::u16string_view line) override;
    void Removed(int index) override;
    void Replaced(int index, std::u16string_view line) override;
    void Cleared() override;

private:
    static LRESULT CALLBACK Procedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR self) noexcept;
    void OnMouseMove(WPARAM keys, LPARAM position);

    HWND list_ = nullptr;
    const core::EntryList* entries_ = nullptr;
    Events events_;
    POINT press_{}; // where the left button went down on the list, to tell a drag
    bool pressed_ = false;
    platform::SubclassScope subclass_;
    platform::DropRegistration drops_;
};

} // namespace corvantis::app
