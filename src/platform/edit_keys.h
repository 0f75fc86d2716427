#pragma once
// What a single-line edit box takes of the keyboard. Windows' single-line edit controls "do not
// accept TAB and ENTER keys": their characters reach the box's window procedure, which rejects
// them with the error sound. The key-downs are the box's (and its window's) all the same.

namespace corvantis::platform {

enum class KeyMessage {
    KeyDown,   // WM_KEYDOWN, with a virtual-key code
    Character, // WM_CHAR, with a UTF-16 code unit
};

// Whether the message reaches a single-line box; false for the characters it would reject
// with the error sound: Enter's and Ctrl+Enter's, and Tab's.
bool ReachesSingleLineBox(KeyMessage message, unsigned code);

} // namespace corvantis::platform
