#pragma once
// Program-wide state shared by the launcher, the entry menu and the editor, alive for the whole
// run. The widths are those of int: lists of more than 32,767 entries work like small ones.

namespace corvantis::store {

struct Pubstr {
    // 1 once the list was changed and must be written back on closing; never reset.
    int ListChanged = 0;
    // Index of the list item selected when the entry menu last popped up; -1 for none.
    int SelIndex = 0;
    // 1 when the editor was opened to edit an entry, 0 when it was opened to add one.
    int EditMode = 0;
};

} // namespace corvantis::store
