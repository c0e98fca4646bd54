#pragma once
// The correlograph on the panel: carries its options (normalised, suspended, draw
// mode) and hands its drawing to its drawing class. It draws nothing while hidden.
// Ownership: `viewController` is non-owning, cleared by the controller.
// Thread rules: main thread.
#include "ui/CorrelographViewBase.h"
#include "uikit/UIControl.h"

#include <memory>

class AudioUnitViewController;

class CorrelographView : public UIControl {
public:
    explicit CorrelographView(CGRect frame = {});

    AudioUnitViewController* viewController() const { return viewController_; }
    void setViewController(AudioUnitViewController* controller);
    bool isSuspended = false; // kept; the drawing does not consult it
    CorrelographViewBase& baseClass() { return *baseClass_; }

    void setNormalized(bool value);
    void setSuspended(bool value);
    // "points" gives "bezier"; anything else gives "points".
    void switchDrawMode();

    void draw(CGRect rect) override;

private:
    AudioUnitViewController* viewController_ = nullptr;
    std::unique_ptr<CorrelographViewBase> baseClass_;
};
