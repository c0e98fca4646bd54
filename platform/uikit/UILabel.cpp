#include "uikit/UILabel.h"

#include <limits>

void UILabel::setText(std::string text) {
    text_ = std::move(text);
    setNeedsDisplay();
}

void UILabel::setFont(const UIFont& font) {
    font_ = font;
    setNeedsDisplay();
}

void UILabel::setTextColor(UIColor colour) {
    colour_ = colour;
    setNeedsDisplay();
}

void UILabel::setTextAlignment(NSTextAlignment alignment) {
    alignment_ = alignment;
    setNeedsDisplay();
}

void UILabel::setNumberOfLines(int lines) {
    lines_ = lines < 0 ? 0 : lines;
    setNeedsDisplay();
}

void UILabel::draw(CGRect) {
    if (text_.empty()) return;
    const NSStringAttributes attributes{font_, colour_, {alignment_}};
    const CGRect b = bounds();
    const CGFloat width = lines_ == 1 ? std::numeric_limits<CGFloat>::infinity() : b.width();
    const CGFloat h = NSString::boundingRect(text_, {width, 0}, usesLineFragmentOrigin, attributes).height();
    NSString::draw(text_, {b.minX(), b.minY() + (b.height() - h) / 2, b.width(), h}, attributes);
}
