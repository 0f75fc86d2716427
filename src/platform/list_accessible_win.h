#pragma once
// What screen readers and automation tools read of the entry list (Microsoft Active
// Accessibility): the list box's own accessible object, and the events it raises.

#include <windows.h>

#include <optional>
#include <string>

namespace corvantis::platform {

// A list box's own accessible object: the list (role list, named `name`) and one child a list
// item (child id = index + 1), named by its text as LB_GETTEXT gives it in the list's own
// process, with its selected, focused and offscreen states as they are. It holds nothing per item,
// and answers from the list box as it is at each call. nullopt for another object than the
// client area, or when the object cannot be handed out; the list box answers as it would then.
std::optional<LRESULT> AnswerListObject(HWND list, WPARAM wParam, LPARAM lParam,
                                        const std::u16string& name);

// Tells screen readers that `list`'s item `index` took the focus, or took the selection (-1: the
// list itself), or that the list's items changed: the events of the list's own object that USER
// does not raise for a list box (it raises those of its window, such as its taking the focus).
void NotifyItemFocus(HWND list, int index);
void NotifyItemSelection(HWND list, int index);
void NotifyItemsChanged(HWND list);

} // namespace corvantis::platform
