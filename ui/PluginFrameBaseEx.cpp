#include "ui/PluginFrameBaseEx.h"

#include "ui/PanelDrawing.h"
#include "uikit/UIBezierPath.h"
#include "uikit/UIGraphics.h"

#include <algorithm>
#include <cmath>

CGSize PluginFrameViewScale{1, 1};

void PluginFrameBaseEx::draw(CGRect frame, ResizingBehavior resizing) {
    // The canvas is the frame's own size: every behaviour maps it at scale 1.
    const CGRect canvas{0, 0, frame.size.width, frame.size.height};
    if (!(frame.isFinite() && frame.size.width > 4 && frame.size.height > 4)) return;
    if (!vyk::ui::beginCanvas(UIGraphicsGetCurrentContext(), canvas, frame, resizing)) return;
    const CGFloat grey = std::isfinite(contrast) ? std::clamp(contrast, 0.0, 1.0) : 0.0;
    vyk::ui::fillWith(UIBezierPath::roundedRect({2, 2, frame.size.width - 4, frame.size.height - 4}, 4),
                      UIColor(grey, grey, grey, 1.0));
    UIGraphicsGetCurrentContext()->restoreGState();
}
