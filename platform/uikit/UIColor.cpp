#include "uikit/UIColor.h"

#include "uikit/UIGraphics.h"

void UIColor::setFill() const {
    if (CGContext* cx = UIGraphicsGetCurrentContext()) cx->setFillColor(c_);
}

void UIColor::setStroke() const {
    if (CGContext* cx = UIGraphicsGetCurrentContext()) cx->setStrokeColor(c_);
}

void UIColor::set() const {
    setFill();
    setStroke();
}
