#include "ui/ResizingBehavior.h"

#include <algorithm>
#include <cmath>

namespace vyk::ui {

CGRect applyResizing(int raw, CGRect rect, CGRect target, CGSize* record) {
    if (rect == target || target == CGRect::zero()) return rect;
    // A canvas without a size has no scale to give; drawers then see a rectangle
    // that does not match their target and draw at most the canvas itself.
    if (!rect.isFinite() || rect.size.width == 0 || rect.size.height == 0) return rect;
    CGFloat sx = std::fabs(target.size.width / rect.size.width);
    CGFloat sy = std::fabs(target.size.height / rect.size.height);
    switch (raw) {
    case 0:
        sx = sy = std::min(sx, sy);
        break;
    case 1:
        sx = sy = std::max(sx, sy);
        break;
    case 2:
        break;
    default:
        sx = sy = 1;
        break;
    }
    if (record) *record = {sx, sy};
    CGRect result = rect.standardized();
    result.size.width *= sx;
    result.size.height *= sy;
    result.origin.x = target.minX() + (target.width() - result.size.width) / 2;
    result.origin.y = target.minY() + (target.height() - result.size.height) / 2;
    return result;
}

bool isDrawable(CGRect r) { return r.isFinite() && r.size.width > 0 && r.size.height > 0; }

} // namespace vyk::ui
