#include "ui/VYKOrmeltaViewBase.h"

#include "ui/PanelDrawing.h"
#include "ui/PanelText.h"
#include "uikit/UIGraphics.h"

#include <algorithm>
#include <cmath>

CGSize VYKOrmeltaViewScale{0, 0};

using namespace vyk::ui;

namespace {
constexpr const char* kCondensedBold = "HelveticaNeue-CondensedBold";

CGFloat splitX(CGFloat split) { return 20 + 610 * (std::isfinite(split) ? std::clamp(split, 0.0, 1.0) : 0.0); }

const char* captionFor(NSInteger mode) {
    switch (mode) {
    case 0:
        return "AP";
    case 1:
        return "LP";
    case 2:
        return "BP";
    case 3:
        return "HP";
    default:
        return "";
    }
}
} // namespace

std::shared_ptr<VYK_Wimbrax_Extension_AudioUnit> VYKOrmeltaViewBase::audioUnit() const {
    return viewController ? viewController->audioUnit() : nullptr;
}

int VYKOrmeltaViewBase::band() const { return static_cast<int>(std::clamp<NSInteger>(currentMode, 0, 3)); }

CGFloat VYKOrmeltaViewBase::splitX1() const { return splitX(valueSplit1); }

CGFloat VYKOrmeltaViewBase::splitX2() const { return splitX(valueSplit2); }

VYKOrmeltaViewBase::Appearance VYKOrmeltaViewBase::appearance() const {
    return {colorEmphasize,
            colorContrast,
            currentMode,
            isAllpass,
            isOscillograph,
            isNormalized,
            valueSplit1,
            valueSplit2,
            isRangeSelected,
            isRangeActive,
            isInvert,
            isRecover,
            isMonoOn,
            isSwapOn,
            valuePanorama,
            valuePhaseShift,
            valueStereoWidth,
            {isKnobStereoWidthActive, isOptionStereoWidthActive, isSplit1Active, isSplit2Active, isKnobPanoramaActive,
             isOptionPanoramaActive, isOptionPhaseShiftActive}};
}

void VYKOrmeltaViewBase::drawCached(CGRect frame) {
    backingStore_.draw(frame, appearance(), [&] { draw(frame); });
}

void VYKOrmeltaViewBase::draw(CGRect frame, ResizingBehavior1 resizing) {
    CGContext* cx = UIGraphicsGetCurrentContext();
    const CGRect r = isDrawable(frame) ? resizing.apply(panelCanvas, frame) : CGRect{};
    if (!cx || !isDrawable(r)) {
        lastDraw_ = {};
        // The hot spots need no context, and touch handling reads them.
        if (!isAllpass) storeBandBarHotspots();
        drawSymbolHotspots(panelCanvas, ResizingBehavior1::independent);
        return;
    }
    lastDraw_ = {true, r, {r.width() / panelCanvas.width(), r.height() / panelCanvas.height()}};

    cx->saveGState();
    cx->translateBy(r.minX(), r.minY());
    cx->scaleBy(r.width() / panelCanvas.width(), r.height() / panelCanvas.height());

    const UIColor half = colorContrast.withAlphaComponent(0.5);
    const UIColor multiband = isAllpass ? colorContrast : colorEmphasize;
    const UIColor allpass = isAllpass ? colorEmphasize : colorContrast;

    strokeWith(UIBezierPath::roundedRect({20, 182, 640, 394}, 4), multiband, 2);

    cx->saveGState();
    cx->clip({0, controlsOffsetY, 680, 440});
    cx->translateBy(0, controlsOffsetY);
    drawSymbolControls(controlsCanvas, ResizingBehavior::independent);
    cx->restoreGState();

    if (!isAllpass) {
        cx->saveGState();
        cx->clip({0, rangesOffsetY, 680, 100});
        cx->translateBy(0, rangesOffsetY);
        drawSymbolRanges(rangesCanvas, ResizingBehavior::independent);
        cx->restoreGState();
    } else {
        const CGRect box{20, 78, 640, 85};
        strokeWith(UIBezierPath::roundedRect(box, 4), colorContrast, 2);
        drawTextBox("ALLPASS", box, kCondensedBold, 12, half, NSTextAlignment::center);
    }

    cx->saveGState();
    cx->setAlpha(0.8);
    drawTextBox(captionFor(currentMode), {300, 339, 80, 80}, kCondensedBold, 36, half, NSTextAlignment::center);
    cx->restoreGState();

    const CGRect allpassButton{237.25, 28.25, 100, 24};
    strokeWith(UIBezierPath::roundedRect(allpassButton, 3), allpass, 1);
    drawTextBox("ALLPASS", allpassButton, kCondensedBold, 10, allpass, NSTextAlignment::center);
    const CGRect multibandButton{343.25, 28.25, 100, 24};
    strokeWith(UIBezierPath::roundedRect(multibandButton, 3), multiband, 1);
    drawTextBox("MULTI BAND", multibandButton, kCondensedBold, 10, multiband, NSTextAlignment::center);

    cx->saveGState();
    cx->setAlpha(0.8);
    drawTextBox("ORMELTA [ 3 ]  ", {526, 33, 134, 18}, kCondensedBold, 16, colorEmphasize, NSTextAlignment::right);
    cx->restoreGState();

    cx->saveGState();
    cx->setAlpha(0.8);
    drawTextBox("[\u00A0VYK QUORLEN ]", {20, 33, 168, 18}, kCondensedBold, 16, colorContrast, NSTextAlignment::left);
    cx->restoreGState();

    cx->saveGState();
    cx->clip(panelCanvas);
    cx->translateBy(0, 0);
    drawSymbolHotspots(panelCanvas, ResizingBehavior1::independent);
    cx->restoreGState();

    cx->restoreGState();
}

void VYKOrmeltaViewBase::drawSymbolHotspots(CGRect frame, ResizingBehavior1 resizing) {
    // The mapping only records the scale; the paths are canvas rectangles whatever
    // the frame, and no context is needed to build them.
    if (isDrawable(frame)) resizing.apply(panelCanvas, frame);
    const bool allpass = isAllpass;
    auto rect = [](CGFloat x, CGFloat y, CGFloat w, CGFloat h) { return UIBezierPath::rect({x, y, w, h}); };
    auto multibandOnly = [&](CGFloat x, CGFloat y, CGFloat w, CGFloat h) {
        return allpass ? UIBezierPath() : rect(x, y, w, h);
    };
    hotspotSwapChannelsPath = rect(41, 230, 125, 40);
    hotspotInvertChannelPath = rect(41, 272, 125, 40);
    hotspotRecoverMonoPath = rect(41, 479, 125, 40);
    hotspotTestMonoPath = rect(497, 479, 150, 40);
    hotspotNormalizedPath = rect(41, 391, 126, 22);
    hotspotMainPath = rect(212, 252, 256, 256);
    hotspotOscillographPath = rect(41, 367, 126, 22);
    hotspotPhaseShiftPath = rect(497, 339, 150, 84);
    hotspotPanoramaPath = rect(196, 201, 238, 44);
    hotspotStereoWidthPath = rect(249, 515, 238, 44);
    hotspotStereoWidthResetPath = rect(195, 515, 44, 44);
    hotspotPanoramaResetPath = rect(444, 201, 44, 44);
    hotspotActiveLPPath = multibandOnly(52, 131, 100, 20);
    hotspotActiveBPPath = multibandOnly(290, 131, 100, 20);
    hotspotActiveHPPath = multibandOnly(538, 131, 100, 20);
    hotspotCaption2Path = rect(538, 30, 122, 24);
    hotspotButtonAllpassPath = rect(237, 28, 100, 24);
    hotspotMultiPath = multibandOnly(20, 70, 640, 56);
    hotspotButtonMultibandPath = rect(343, 29, 100, 24);
    hotspotCaption1Path = rect(20, 30, 144, 24);
}

void VYKOrmeltaViewBase::storeBandBarHotspots() {
    const CGFloat x1 = splitX1(), x2 = splitX2();
    hotspotRangeLPPath = UIBezierPath::rect({20, 9, x1 - 4, 48});
    hotspotRangeBPPath = UIBezierPath::rect({x1 + 16, 9, x2 - x1, 48});
    hotspotRangeHPPath = UIBezierPath::rect({x2 + 16, 9, 644 - x2, 48});
    hotspotSplit1Path = UIBezierPath::rect({x1 - 3, 0, 37, 70});
    hotspotSplit2Path = UIBezierPath::rect({x2 - 2.94, 0, 37, 70});
}
