#include "ui/PanelText.h"

#include "ui/ResizingBehavior.h"
#include "uikit/UIGraphics.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vyk::ui {

void drawTextBox(std::string_view text, CGRect rect, std::string_view fontName, CGFloat size, UIColor colour,
                 NSTextAlignment alignment, VerticalPlacement placement) {
    CGContext* cx = UIGraphicsGetCurrentContext();
    std::optional<UIFont> font = UIFont::named(fontName, size);
    if (!cx || !font || !isDrawable(rect)) return;
    NSStringAttributes attributes;
    attributes.font = font;
    attributes.foregroundColor = colour;
    attributes.paragraphStyle.alignment = alignment;
    const CGFloat h = NSString::boundingRect(text, {rect.width(), std::numeric_limits<CGFloat>::infinity()},
                                             usesLineFragmentOrigin, attributes)
                          .height();
    const CGFloat y = placement == VerticalPlacement::centred ? rect.minY() + (rect.height() - h) / 2
                                                              : rect.minY() + rect.height() - h;
    cx->saveGState();
    cx->clip(rect);
    NSString::draw(text, {rect.minX(), y, rect.width(), h}, attributes);
    cx->restoreGState();
}

std::string roundedText(CGFloat x) {
    if (!std::isfinite(x)) return "0";
    const long long n = std::llround(std::clamp(x, -1e9, 1e9));
    return std::to_string(n); // llround gives 0 for -0.4, printed without a sign
}

std::string stereoWidthText(CGFloat w) { return "stereo width: " + roundedText((2 * w - 1) * 100) + "%"; }

std::string panoramaText(CGFloat p) { return "panorama: " + roundedText((2 * p - 1) * 100) + "%"; }

std::string phaseShiftText(CGFloat s) { return "phase shift: " + roundedText(s * 441) + " samples ( xxx ms )"; }

} // namespace vyk::ui
