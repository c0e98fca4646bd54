#pragma once
// The frame behind the panel: a plate whose grey is the panel's brightness.
// Thread rules: main thread.
#include "ui/PluginFrameBaseEx.h"
#include "uikit/UIControl.h"

class PluginFrameEx : public UIControl {
public:
    using UIControl::UIControl;
    float contrast = 1.0f; // grey level of the plate at its next draw
    UIColor mainColor = UIColor::lightGray();

    void draw(CGRect rect) override {
        baseClass_.contrast = contrast;
        baseClass_.mainColor = mainColor;
        baseClass_.draw(rect, PluginFrameBaseEx::ResizingBehavior::uniformFit);
    }

private:
    PluginFrameBaseEx baseClass_;
};
