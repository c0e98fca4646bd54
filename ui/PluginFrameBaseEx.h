#pragma once
// The plug-in frame's drawing: a rounded plate in a grey that follows the panel's
// brightness, inset by 2 in whatever rectangle it is given.
//
// Thread rules: main thread only.
#include "coregraphics/CGGeometry.h"
#include "ui/ResizingBehavior.h"
#include "uikit/UIColor.h"

// Scale factors of the frame's last mapping that did not return its canvas
// unchanged; starts at (1, 1). Nothing reads it.
extern CGSize PluginFrameViewScale;

class PluginFrameBaseEx {
public:
    using ResizingBehavior = vyk::ui::ResizingBehaviorWithRecord<&PluginFrameViewScale>;

    // Grey level of the plate (0 black ... 1 white); the view sets it before each draw.
    CGFloat contrast = 0.25;
    // Handed down by the view; the plate does not use it.
    UIColor mainColor = UIColor::lightGray();

    // Fills the rounded rectangle (2, 2, width - 4, height - 4), radius 4, at the
    // frame's position, into the current context. A frame that is not finite or not
    // larger than 4 x 4 draws nothing.
    void draw(CGRect frame = {0, 0, 512, 384}, ResizingBehavior resizing = ResizingBehavior::uniformFit);
};
