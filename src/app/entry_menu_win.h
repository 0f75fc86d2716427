#pragma once
// The launcher list's pop-up menu: add one, edit it, delete it, delete all. It is built on its
// first pop-up and kept for the rest of the run.

#include "platform/handles_win.h"

#include <windows.h>

namespace corvantis::app {

enum class MenuCommand { None, AddOne, EditIt, Delete, DeleteAll };

class EntryMenu {
public:
    // Pops the menu up at the pointer and waits until it is dismissed; None when nothing was
    // chosen.
    MenuCommand PopUp(HWND owner);
    // The same with the menu's top-left corner at `at` (screen pixels).
    MenuCommand PopUp(HWND owner, POINT at);

private:
    platform::UniqueMenu menu_;
};

} // namespace corvantis::app
