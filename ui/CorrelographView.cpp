#include "ui/CorrelographView.h"

#include "ui/AudioUnitViewController.h"

CorrelographView::CorrelographView(CGRect frame)
    : UIControl(frame), baseClass_(std::make_unique<CorrelographViewBase>()) {}

void CorrelographView::setViewController(AudioUnitViewController* controller) {
    viewController_ = controller;
    baseClass_->viewController = controller;
}

void CorrelographView::setNormalized(bool value) {
    baseClass_->isNormalized = value;
    setNeedsDisplay();
}

void CorrelographView::setSuspended(bool value) {
    isSuspended = value;
    setNeedsDisplay();
}

void CorrelographView::switchDrawMode() {
    baseClass_->drawMode = baseClass_->drawMode == "points" ? "bezier" : "points";
    setNeedsDisplay();
}

void CorrelographView::draw(CGRect rect) {
    if (!isHidden()) baseClass_->drawCorrelograph(rect, CorrelographViewBase::ResizingBehavior::uniformFit);
}
