// The band bar (680 x 100): the three band ranges, the outline, the caption row
// with the on/off lights, the band titles and the two split markers; and the split
// marker itself (31 x 42).
#include "ui/VYKOrmeltaViewBase.h"

#include "ui/PanelDrawing.h"
#include "ui/PanelText.h"
#include "uikit/UIGraphics.h"

using namespace vyk::ui;

namespace {
constexpr const char* kRegular = "HelveticaNeue";
constexpr const char* kCondensedBold = "HelveticaNeue-CondensedBold";

struct CaptionRow {
    const char* caption;
    CGRect captionRect, onOffRect, light;
};
constexpr CaptionRow kRows[3] = {
    {"lowpass", {47, 67, 40, 8}, {115, 67, 30, 8}, {96, 64, 12, 12}},
    {"bandpass", {285, 67, 40, 8}, {353, 67, 30, 8}, {334, 64, 12, 12}},
    {"highpass", {534, 68, 40, 8}, {602, 68, 30, 8}, {582, 65, 12, 12}},
};

} // namespace

void VYKOrmeltaViewBase::drawSymbolRanges(CGRect frame, ResizingBehavior resizing) {
    // The hot spots are canvas rectangles; touch handling needs them even when the
    // bar cannot be drawn.
    storeBandBarHotspots();
    CGContext* cx = UIGraphicsGetCurrentContext();
    if (!beginCanvas(cx, rangesCanvas, frame, resizing)) return;

    const UIColor halfEmphasis = colorEmphasize.withAlphaComponent(0.5);
    const UIColor strongEmphasis = colorEmphasize.withAlphaComponent(0.8);
    const UIColor faintContrast = colorContrast.withAlphaComponent(0.1);
    const UIColor halfContrast = colorContrast.withAlphaComponent(0.5);
    const CGFloat x1 = splitX1(), x2 = splitX2();
    auto rangeFill = [&](int b) { return isRangeSelected[b] ? halfEmphasis : faintContrast; };
    auto titleColour = [&](int b) { return isRangeSelected[b] ? colorEmphasize : halfContrast; };

    fillWith(hotspotRangeLPPath, rangeFill(1));
    fillWith(hotspotRangeBPPath, rangeFill(2));
    fillWith(hotspotRangeHPPath, rangeFill(3));

    strokeWith(UIBezierPath::roundedRect({20, 7, 640, 85}, 4), strongEmphasis, 2);

    for (int b = 1; b <= 3; ++b) {
        const CaptionRow& row = kRows[b - 1];
        drawTextBox(row.caption, row.captionRect, kRegular, 7, isRangeActive[b] ? colorEmphasize : colorContrast,
                    NSTextAlignment::right);
        drawTextBox("on/off", row.onOffRect, kRegular, 7, colorContrast, NSTextAlignment::left);
        UIBezierPath light = UIBezierPath::ovalIn(row.light);
        fillWith(light, isRangeActive[b] ? colorEmphasize : faintContrast);
        strokeWith(light, colorContrast, 2);
    }

    auto title = [&](const char* text, CGRect rect, int b) {
        cx->saveGState();
        cx->setAlpha(0.8);
        drawTextBox(text, rect, kCondensedBold, 12, titleColour(b), NSTextAlignment::center);
        cx->restoreGState();
    };
    auto marker = [&](CGFloat centreX, bool active) {
        cx->saveGState();
        cx->translateBy(centreX, 33);
        cx->scaleBy(active ? 2 : 1, active ? 2 : 1);
        cx->saveGState();
        cx->clip({-15.5, -21, 31, 42});
        cx->translateBy(-15.5, -21);
        drawSymbolSplit(splitCanvas, ResizingBehavior::independent);
        cx->restoreGState();
        cx->restoreGState();
    };
    title("lowpass", {47, 22, 60, 14}, 1);
    marker(x1 + 15.5, isSplit1Active);
    title("bandpass", {310, 22, 60, 14}, 2);
    marker(x2 + 15.39, isSplit2Active);
    title("highpass", {572, 22, 60, 14}, 3);

    cx->restoreGState();
}

void VYKOrmeltaViewBase::drawSymbolSplit(CGRect frame, ResizingBehavior resizing) {
    CGContext* cx = UIGraphicsGetCurrentContext();
    if (!beginCanvas(cx, splitCanvas, frame, resizing)) return;

    UIBezierPath line;
    line.move({15.5, 2});
    line.addLine({15.5, 38});
    strokeWith(line, colorEmphasize, 3);

    fillWith(UIBezierPath::roundedRect({1, 13.5, 29, 15}, 3), colorEmphasize.withAlphaComponent(0.5));

    auto arrowhead = [&](CGPoint at, CGFloat degrees, CGFloat side) {
        cx->saveGState();
        cx->translateBy(at.x, at.y);
        cx->rotate(radians(degrees));
        UIBezierPath triangle;
        triangle.move({0, -1.5});
        triangle.addLine({side * 1.52, 0.75});
        triangle.addLine({-side * 1.52, 0.75});
        triangle.close();
        fillWith(triangle, colorContrast);
        strokeWith(triangle, colorContrast, 1);
        cx->restoreGState();
    };
    arrowhead({11.5, 21}, -90, 1);
    arrowhead({19.5, 21}, 90, -1);

    cx->restoreGState();
}
