#pragma once
// Keyboard input: key presses and typed text, as a desktop backend or a test
// delivers them. A key goes first to the text field with keyboard focus, then
// to the topmost presented controller (Enter, Escape, arrows in dialogs);
// typed text goes to the focused text field only.
// Thread rules: main thread.
#include <string_view>

class UITextField;

enum class UIKey { returnKey, escape, backspace, deleteForward, left, right, up, down, home, end, tab };

struct UIKeyPress {
    UIKey key;
    bool shift = false;
};

namespace UIKeyboard {
// True when someone handled the key.
bool press(UIKeyPress key);
// UTF-8 text, as typed; invalid UTF-8 is dropped.
void insertText(std::string_view text);
// The text field with keyboard focus, or null.
UITextField* focusedField();
// Backends start text input (an input method) while a field has focus.
bool wantsTextInput();
} // namespace UIKeyboard
