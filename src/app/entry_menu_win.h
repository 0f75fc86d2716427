#pragma once
// The launcher list's pop-up menu: add one, edit it, delete it, delete all. It is built on its
// first pop-up and kept for the rest of the run.

#include "platform/handles_win.h"

#include <windows.h>

#include <optional>

namespace corvantis::app {

enum class MenuCommand { None, AddOne, EditIt, Delete, DeleteAll };

class EntryMenu {
public:
    // Pops the menu up with its top-left corner at `at` (screen pixels), or else at the pointer,
    // and waits until it is dismissed; None when nothing was chosen. Without an entry to act on,
    // "编辑它" and "删除它" are greyed.
    MenuCommand PopUp(HWND owner, std::optional<POINT> at, bool onEntry);

private:
    platform::UniqueMenu menu_;
};

} // namespace corvantis::app
