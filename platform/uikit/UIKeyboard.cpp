#include "uikit/UIKeyboard.h"

#include "uikit/UITextField.h"
#include "uikit/UIViewController.h"

#include <memory>

namespace vyk::ui {
std::weak_ptr<UIView>& keyboardFocus() {
    static std::weak_ptr<UIView> focus;
    return focus;
}
} // namespace vyk::ui

UITextField* UIKeyboard::focusedField() {
    auto view = vyk::ui::keyboardFocus().lock();
    // A field taken out of its window (a closed dialog) loses the focus.
    if (view && !view->window()) {
        vyk::ui::keyboardFocus().reset();
        return nullptr;
    }
    return static_cast<UITextField*>(view.get());
}

bool UIKeyboard::wantsTextInput() { return focusedField() != nullptr; }

bool UIKeyboard::press(UIKeyPress key) {
    if (UITextField* field = focusedField()) {
        const auto keep = field->shared_from_this();
        if (field->handleKey(key)) return true;
    }
    if (UIViewController* top = UIViewController::topPresented()) {
        const auto keep = top->shared_from_this();
        return top->keyDown(key);
    }
    return false;
}

void UIKeyboard::insertText(std::string_view text) {
    if (UITextField* field = focusedField()) {
        const auto keep = field->shared_from_this();
        field->insertText(text);
    }
}
