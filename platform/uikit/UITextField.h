#pragma once
// A single-line text entry: UTF-8 text with a cursor and a selection, typing,
// backspace and delete, cursor keys (with Shift to select), Home and End,
// selection by mouse, and a placeholder shown while the text is empty. Takes
// keyboard focus when touched or asked to. Sends valueChanged on every edit.
// Thread rules: main thread.
#include "uikit/NSStringDrawing.h"
#include "uikit/UIControl.h"
#include "uikit/UIKeyboard.h"

#include <algorithm>
#include <cstddef>
#include <string>

class UITextField : public UIControl {
public:
    using UIControl::UIControl;
    ~UITextField() override;

    const std::string& text() const { return text_; }
    void setText(std::string text); // invalid UTF-8 and line breaks are dropped
    const std::string& placeholder() const { return placeholder_; }
    void setPlaceholder(std::string placeholder);
    void setFont(const UIFont& font);

    bool becomeFirstResponder();
    void resignFirstResponder();
    bool isFirstResponder() const;

    // Cursor and selection as byte offsets of code point boundaries;
    // the selection runs between the anchor and the cursor.
    std::size_t cursor() const { return cursor_; }
    std::size_t selectionStart() const { return std::min(anchor_, cursor_); }
    std::size_t selectionEnd() const { return std::max(anchor_, cursor_); }
    void select(std::size_t anchor, std::size_t cursor);

    // Keyboard focus delivers these.
    bool handleKey(const UIKeyPress& key);
    void insertText(std::string_view text);

    void draw(CGRect rect) override;
    void touchesBegan(const UITouchSet& touches, const UIEvent* event) override;
    void touchesMoved(const UITouchSet& touches, const UIEvent* event) override;

private:
    NSStringAttributes attributes() const;
    CGFloat widthOf(std::size_t bytes) const; // of the text's first `bytes` bytes
    std::size_t offsetAt(CGFloat x) const;    // nearest boundary to a point's x
    void replaceSelection(std::string_view with);
    void edited();
    void scrollToCursor();

    std::string text_;
    std::string placeholder_;
    UIFont font_ = UIFont::systemFont(15);
    std::size_t cursor_ = 0;
    std::size_t anchor_ = 0;
    CGFloat scroll_ = 0; // how far the text is shifted left to show the cursor
};
