#include "uikit/UITouch.h"

#include "uikit/UIView.h"

CGPoint UITouch::location(const UIView* view) const { return view ? view->convertFromWindow(location_) : location_; }

CGPoint UITouch::previousLocation(const UIView* view) const {
    return view ? view->convertFromWindow(previous_) : previous_;
}

void UIResponder::touchesBegan(const UITouchSet& touches, const UIEvent* event) {
    if (UIResponder* n = next()) n->touchesBegan(touches, event);
}

void UIResponder::touchesMoved(const UITouchSet& touches, const UIEvent* event) {
    if (UIResponder* n = next()) n->touchesMoved(touches, event);
}

void UIResponder::touchesEnded(const UITouchSet& touches, const UIEvent* event) {
    if (UIResponder* n = next()) n->touchesEnded(touches, event);
}

void UIResponder::touchesCancelled(const UITouchSet& touches, const UIEvent* event) {
    if (UIResponder* n = next()) n->touchesCancelled(touches, event);
}
