// The controls canvas (680 x 440): the correlograph backdrop with the stereo-field
// markers, the two knobs, the three value labels, the reset buttons, the band and
// view switches and the title block.
#include "ui/VYKOrmeltaViewBase.h"

#include "ui/PanelDrawing.h"
#include "ui/PanelText.h"
#include "uikit/UIGraphics.h"

#include <string>

using namespace vyk::ui;

namespace {
constexpr const char* kRegular = "HelveticaNeue";
constexpr const char* kCondensedBold = "HelveticaNeue-CondensedBold";

UIBezierPath line(CGPoint from, CGPoint to) {
    UIBezierPath p;
    p.move(from);
    p.addLine(to);
    return p;
}

UIBezierPath openPath(std::initializer_list<CGPoint> points) {
    UIBezierPath p;
    bool first = true;
    for (CGPoint q : points) {
        if (first)
            p.move(q);
        else
            p.addLine(q);
        first = false;
    }
    return p;
}

// Everything one drawing of the canvas needs besides the model.
struct Canvas {
    CGContext& cx;
    UIColor emphasize, contrast, strongEmphasis, faintContrast, halfContrast;

    void knob(CGPoint anchor, CGRect square, CGFloat angle, bool active) const {
        cx.saveGState();
        cx.translateBy(anchor.x, anchor.y);
        cx.scaleBy(active ? 2 : 1, active ? 2 : 1);

        cx.saveGState();
        cx.setAlpha(0.5);
        cx.beginTransparencyLayer();
        UIBezierPath dial;
        const CGPoint centre{square.midX(), square.midY()};
        dial.addArc(centre, square.width() / 2, radians(-230), radians(50), true);
        dial.addLine(centre);
        dial.close();
        fillWith(dial, faintContrast);
        strokeWith(dial, UIColor::gray(), 0.5, false);
        cx.endTransparencyLayer();
        cx.restoreGState();

        cx.saveGState();
        cx.setAlpha(0.5);
        strokeWith(UIBezierPath::ovalIn(square), contrast, 2);
        cx.restoreGState();

        cx.saveGState();
        cx.rotate(radians(-angle));
        strokeWith(line({0, -14}, {0, 0}), emphasize, 2);
        cx.restoreGState();

        cx.restoreGState();
    }

    struct Arrow {
        CGPoint at;
        CGFloat degrees;
    };
    void label(CGPoint anchor, CGRect box, const std::string& text, CGRect textRect, bool active, Arrow a,
               Arrow b) const {
        cx.saveGState();
        cx.translateBy(anchor.x, anchor.y);
        cx.scaleBy(active ? 2 : 1, active ? 2 : 1);
        const UIBezierPath boxPath = UIBezierPath::roundedRect(box, 4);
        fillWith(boxPath, faintContrast);
        strokeWith(boxPath, halfContrast, 1);
        drawTextBox(text, textRect, kRegular, 10, contrast, NSTextAlignment::center);
        for (const Arrow& arrow : {a, b}) {
            cx.saveGState();
            cx.translateBy(arrow.at.x, arrow.at.y);
            cx.rotate(radians(arrow.degrees));
            cx.saveGState();
            cx.setAlpha(0.5);
            cx.beginTransparencyLayer();
            UIBezierPath triangle = openPath({{0, -8}, {8.66, 4}, {-8.66, 4}});
            triangle.close();
            fillWith(triangle, contrast);
            strokeWith(triangle, contrast, 3);
            cx.endTransparencyLayer();
            cx.restoreGState();
            cx.restoreGState();
        }
        cx.restoreGState();
    }

    void resetButton(CGRect box) const {
        strokeWith(UIBezierPath::roundedRect(box, 4), halfContrast, 1, false);
        drawTextBox("[ r ]", box, kCondensedBold, 10, halfContrast, NSTextAlignment::center);
    }

    void bandSwitch(const char* caption, CGRect box, CGRect captionRect, NSTextAlignment alignment, CGRect light,
                    bool on) const {
        cx.saveGState();
        cx.setAlpha(0.5);
        strokeWith(UIBezierPath::roundedRect(box, 4), contrast, 1);
        cx.restoreGState();
        drawTextBox(caption, captionRect, kRegular, 10, contrast, alignment);
        if (on) {
            const UIBezierPath oval = UIBezierPath::ovalIn(light);
            fillWith(oval, emphasize);
            strokeWith(oval, UIColor::lightGray(), 2, false);
        }
    }

    void viewSwitch(const char* caption, CGRect captionRect, CGRect light, bool on) const {
        drawTextBox(caption, captionRect, kRegular, 10, contrast, NSTextAlignment::left);
        const UIBezierPath oval = UIBezierPath::ovalIn(light);
        cx.saveGState();
        cx.setAlpha(0.5);
        strokeWith(oval, UIColor::lightGray(), 2, false);
        cx.restoreGState();
        if (on) {
            cx.saveGState();
            cx.setAlpha(0.5);
            cx.beginTransparencyLayer();
            fillWith(oval, emphasize);
            strokeWith(oval, contrast, 2, false);
            cx.endTransparencyLayer();
            cx.restoreGState();
        }
    }

    void title(const char* text, CGFloat size, UIColor colour, CGRect rect, VerticalPlacement placement) const {
        cx.saveGState();
        cx.setAlpha(0.8);
        drawTextBox(text, rect, kCondensedBold, size, colour, NSTextAlignment::right, placement);
        cx.restoreGState();
    }
};
} // namespace

void VYKOrmeltaViewBase::drawSymbolControls(CGRect frame, ResizingBehavior resizing) {
    CGContext* cx = UIGraphicsGetCurrentContext();
    if (!beginCanvas(cx, controlsCanvas, frame, resizing)) return;

    const Canvas c{*cx,
                   colorEmphasize,
                   colorContrast,
                   colorEmphasize.withAlphaComponent(0.8),
                   colorContrast.withAlphaComponent(0.1),
                   colorContrast.withAlphaComponent(0.5)};
    const int b = band();
    const CGFloat p = valuePanorama[b], w = valueStereoWidth[b], s = valuePhaseShift[b];
    const std::string widthText = stereoWidthText(w), panText = panoramaText(p), phaseText = phaseShiftText(s);
    const CGFloat markerAngle = (2 * p - 1) * markersAngle;
    const CGFloat panoramaKnobAngle = knobsAngle * (2 * p - 1);
    const CGFloat widthKnobAngle = knobsAngle * (2 * w - 1);

    // 1. Correlograph frame.
    cx->saveGState();
    cx->translateBy(340.25, 219.75);
    strokeWith(UIBezierPath::rect({-128, -128, 256, 256}), c.halfContrast, 0.5, false);
    cx->restoreGState();

    // 2. Diamond.
    cx->saveGState();
    cx->translateBy(339, 221);
    cx->rotate(radians(-45));
    cx->scaleBy(0.7, 0.7);
    cx->saveGState();
    cx->setAlpha(0.1);
    fillWith(UIBezierPath::roundedRect({-128, -128, 256, 256}, 16), c.halfContrast);
    cx->restoreGState();
    cx->restoreGState();

    // 3. and 4. Axes.
    for (const UIBezierPath& axis : {line({0, -128}, {0, 128}), line({-128, 0}, {128, 0})}) {
        cx->saveGState();
        cx->translateBy(340, 220);
        strokeWith(axis, c.halfContrast, 0.5, false);
        cx->restoreGState();
    }

    // 5. and 6. Dashed diagonals.
    for (CGFloat degrees : {-45.0, 45.0}) {
        cx->saveGState();
        cx->translateBy(340, 220);
        cx->rotate(radians(degrees));
        cx->saveGState();
        cx->setLineDash(2, {2, 2});
        strokeWith(line({-128, 0}, {128, 0}), c.halfContrast, 0.5);
        cx->restoreGState();
        cx->restoreGState();
    }

    // 7. Stereo-field markers.
    cx->saveGState();
    cx->translateBy(340, 220);
    cx->rotate(radians(-markerAngle));
    cx->saveGState();
    cx->translateBy(-256 * w, 0);
    strokeWith(openPath({{10, -128}, {-10, -128}, {-10, 128}, {10, 128}}), c.strongEmphasis, 8);
    cx->restoreGState();
    cx->saveGState();
    cx->translateBy(256 * w, 0);
    strokeWith(openPath({{-10, -128}, {10, -128}, {10, 128}, {-10, 128}}), c.strongEmphasis, 8);
    cx->restoreGState();
    cx->restoreGState();

    // 8. to 14. Stereo width and panorama controls, phase-shift label.
    c.resetButton({197.5, 365.5, 34, 28});
    c.knob({467, 379}, {-15, -15, 31, 31}, widthKnobAngle, isKnobStereoWidthActive);
    const CGRect labelBox{-65, -14, 130, 28};
    c.label({339.5, 378.5}, labelBox, widthText, labelBox, isOptionStereoWidthActive, {{80, 0}, 90}, {{-80, 0}, -90});
    c.resetButton({448.5, 47.5, 34, 28});
    c.knob({215, 63}, {-16, -15.5, 31, 31}, panoramaKnobAngle, isKnobPanoramaActive);
    c.label({340.5, 61.5}, labelBox, panText, labelBox, isOptionPanoramaActive, {{79, 0}, 90}, {{-79, 0}, -90});
    c.label({568.5, 221.5}, {-65, -17, 130, 34}, phaseText, {-61, -17, 122, 34}, isOptionPhaseShiftActive,
            {{0, -32}, 0}, {{0, 32}, -180});

    // 15. to 20. Switches.
    c.bandSwitch("swap channels", {48, 78, 26, 26}, {86, 80, 90, 22}, NSTextAlignment::left, {55, 85, 12, 12},
                 isSwapOn[b]);
    c.bandSwitch("invert a channel", {48, 118, 26, 26}, {86, 120, 90, 22}, NSTextAlignment::left, {55, 125, 12, 12},
                 isInvert[b]);
    c.bandSwitch("recover mono", {48, 326, 26, 26}, {86, 328, 90, 22}, NSTextAlignment::left, {55, 333, 12, 12},
                 isRecover[b]);
    c.bandSwitch("mono audition", {610, 326, 26, 26}, {508, 328, 90, 22}, NSTextAlignment::right, {617, 333, 12, 12},
                 isMonoOn[b]);
    c.viewSwitch("normalize graph", {84, 231, 90, 22}, {55, 236, 12, 12}, isNormalized);
    c.viewSwitch("correlograph", {84, 208, 90, 22}, {55, 213, 12, 12}, isOscillograph);

    // 21. to 23. Title block.
    c.title("ORMELTA", 20, colorEmphasize, {508, 71, 134, 39}, VerticalPlacement::centred);
    c.title("[ VYK ]", 28, colorContrast, {509, 49, 134, 39}, VerticalPlacement::centred);
    c.title("3", 60, colorEmphasize, {605, 102, 35, 54}, VerticalPlacement::bottom);

    cx->restoreGState();
}
