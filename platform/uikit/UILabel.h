#pragma once
// A view that shows a text, centred vertically in its bounds.
// Thread rules: main thread.
#include "uikit/NSStringDrawing.h"
#include "uikit/UIView.h"

#include <string>

class UILabel : public UIView {
public:
    using UIView::UIView;
    const std::string& text() const { return text_; }
    void setText(std::string text);
    const UIFont& font() const { return font_; }
    void setFont(const UIFont& font);
    UIColor textColor() const { return colour_; }
    void setTextColor(UIColor colour);
    NSTextAlignment textAlignment() const { return alignment_; }
    void setTextAlignment(NSTextAlignment alignment);
    // 1: one line; 0: as many lines as the width needs.
    int numberOfLines() const { return lines_; }
    void setNumberOfLines(int lines);

    void draw(CGRect rect) override;

private:
    std::string text_;
    UIFont font_ = UIFont::systemFont(17);
    UIColor colour_ = UIColor::black();
    NSTextAlignment alignment_ = NSTextAlignment::left;
    int lines_ = 1;
};
