#pragma once
// The control view of the panel: draws the panel model, tells which hot spot lies
// under a touch, turns touches into model changes reported to its delegate, and
// mirrors parameter changes of the audio unit into the model.
//
// Touch points become panel units with the scale and origin of this view's own
// last draw; before the first draw (or at a degenerate size) a touch hits nothing.
// Every value that reaches the delegate is finite and within 0...1.
//
// Ownership: the view owns its model; `viewController` and `delegate` are
// non-owning and cleared by the controller when it goes away.
// Thread rules: main thread.
#include "ui/VYKOrmeltaViewBase.h"
#include "ui/VYKOrmeltaViewDelegate.h"
#include "uikit/UIControl.h"

#include <cstdint>
#include <array>
#include <memory>
#include <optional>
#include <string>

class AudioUnitViewController;
class VYK_Wimbrax_Extension_AudioUnit;

class VYKOrmeltaView : public UIControl {
public:
    explicit VYKOrmeltaView(CGRect frame = {});

    AudioUnitViewController* viewController() const { return viewController_; }
    void setViewController(AudioUnitViewController* controller);
    VYKOrmeltaViewDelegate* delegate = nullptr;
    // The controller's unit, read afresh; null without controller or unit.
    std::shared_ptr<VYK_Wimbrax_Extension_AudioUnit> audioUnit() const;
    VYKOrmeltaViewBase& baseClass() { return *baseClass_; }
    const VYKOrmeltaViewBase& baseClass() const { return *baseClass_; }

    void setFocus(bool) { setNeedsDisplay(); }
    void setContrast(CGFloat contrast);
    // Mirrors one parameter of the unit into the model and redraws.
    void setParameter(std::int64_t address, float value);

    void draw(CGRect rect) override;
    void touchesBegan(const UITouchSet& touches, const UIEvent* event) override;
    void touchesMoved(const UITouchSet& touches, const UIEvent* event) override;
    void touchesEnded(const UITouchSet& touches, const UIEvent* event) override;
    void touchesCancelled(const UITouchSet& touches, const UIEvent* event) override;

    // The hot spot of the touch in progress ("" when none) and the panel point of
    // a view point (none before a usable draw); for tests and the bench.
    const std::string& hotspotMode() const { return hotspotMode_; }
    std::optional<CGPoint> panelPoint(CGPoint viewPoint) const;
    // The hit test: sets hotspotMode for a point in panel units and prints it.
    void setHotspotMode(CGPoint location);

private:
    void began(CGPoint panel);
    void moved(CGPoint panel);
    void clearHighlights();
    void report(std::int64_t address, double value);
    void knob(std::array<double, 4>& values, std::int64_t firstAddress, float a);
    bool dragSplit1(double start, float a);
    bool dragSplit2(double start, float a);

    AudioUnitViewController* viewController_ = nullptr;
    std::unique_ptr<VYKOrmeltaViewBase> baseClass_;
    std::string hotspotMode_;
    CGPoint startLocation_;
    CGFloat startValue_ = 0;
    CGFloat startValue2_ = 0;
    CGFloat scaler_ = 1.0;
    std::int64_t lastCurrentMode_ = 2;
    // Panel units to view points of the last draw: view = origin + panel * scale.
    CGFloat drawScale_ = 0;
    CGPoint drawOrigin_;
};
