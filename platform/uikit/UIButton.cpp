#include "uikit/UIButton.h"

#include "uikit/UIGraphics.h"

#include <algorithm>
#include <limits>

void UIButton::setTitle(std::string title) {
    title_ = std::move(title);
    setNeedsDisplay();
}

void UIButton::setTitleColor(UIColor colour) {
    titleColour_ = colour;
    setNeedsDisplay();
}

void UIButton::setFont(const UIFont& font) {
    font_ = font;
    setNeedsDisplay();
}

void UIButton::setImage(std::shared_ptr<UIImage> image) {
    image_ = std::move(image);
    setNeedsDisplay();
}

void UIButton::draw(CGRect) {
    CGContext* cx = UIGraphicsGetCurrentContext();
    if (!cx) return;
    // A pressed button dims, as the platform's plain buttons do.
    cx->setAlpha(cx->alpha() * (isHighlighted() ? 0.5 : 1.0));
    const CGRect b = bounds();
    if (image_) {
        // Aspect fit, centred.
        const CGSize s = image_->size();
        const CGFloat k = std::min(b.width() / s.width, b.height() / s.height);
        const CGFloat w = s.width * k, h = s.height * k;
        image_->draw({b.midX() - w / 2, b.midY() - h / 2, w, h});
    }
    if (!title_.empty()) {
        const NSStringAttributes attributes{font_, titleColour_, {NSTextAlignment::center}};
        const CGFloat h =
            NSString::boundingRect(title_, {std::numeric_limits<CGFloat>::infinity(), 0}, 0, attributes).height();
        NSString::draw(title_, {b.minX(), b.midY() - h / 2, b.width(), h}, attributes);
    }
}
