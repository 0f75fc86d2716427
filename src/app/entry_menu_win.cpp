#include "app/entry_menu_win.h"

#include "app/texts.h"

namespace corvantis::app {
namespace {

struct Item {
    MenuCommand command;
    const wchar_t* caption;
};

constexpr Item kItems[] = {
    {MenuCommand::AddOne, texts::kMenuAddOne},
    {MenuCommand::EditIt, texts::kMenuEditIt},
    {MenuCommand::Delete, texts::kMenuDelete},
    {MenuCommand::DeleteAll, texts::kMenuDeleteAll},
};

} // namespace

MenuCommand EntryMenu::PopUp(HWND owner) {
    POINT pointer{};
    GetCursorPos(&pointer);
    return PopUp(owner, pointer);
}

MenuCommand EntryMenu::PopUp(HWND owner, POINT at) {
    if (!menu_) {
        menu_.reset(CreatePopupMenu());
        if (!menu_) {
            platform::Trace(L"CreatePopupMenu failed");
            return MenuCommand::None;
        }
        for (const Item& item : kItems) {
            if (!AppendMenuW(menu_.get(), MF_STRING, static_cast<UINT_PTR>(item.command),
                             item.caption)) {
                platform::Trace(L"AppendMenuW failed: the menu lacks a command");
            }
        }
    }
    // The owner must be in front, or the menu does not close when the user clicks elsewhere.
    SetForegroundWindow(owner);
    const auto chosen = static_cast<MenuCommand>(
        TrackPopupMenu(menu_.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD,
                       at.x, at.y, 0, owner, nullptr));
    PostMessageW(owner, WM_NULL, 0, 0);
    return chosen;
}

} // namespace corvantis::app
