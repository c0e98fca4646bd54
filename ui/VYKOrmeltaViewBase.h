#pragma once
// The control panel's model and drawing: every value the 680 x 600 panel shows,
// the 25 hot spots that touches are tested against, and the operations that draw
// the panel (and its band bar, split marker and controls canvas) into the current
// graphics context, scaled into any rectangle.
//
// Each draw reads the model afresh, rebuilds the hot spots it owns and records the
// mapping it chose in lastDraw(), which touch handling uses to turn view points into
// panel units; the process-wide VYKOrmeltaViewScale is written too, but two panels
// in one process each keep their own record.
//
// Thread rules: main thread only (touches, drawing and the parameter mirror).
#include "coregraphics/CGGeometry.h"
#include "ui/BackingStore.h"
#include "ui/PanelController.h"
#include "ui/ResizingBehavior.h"
#include "uikit/UIBezierPath.h"
#include "uikit/UIColor.h"

#include <array>
#include <memory>
#include <string>

// Scale factors of the last panel mapping that did not return its canvas unchanged.
extern CGSize VYKOrmeltaViewScale;

class VYKOrmeltaViewBase {
public:
    using ResizingBehavior = vyk::ui::ResizingBehaviorWithRecord<nullptr>;
    using ResizingBehavior1 = vyk::ui::ResizingBehaviorWithRecord<&VYKOrmeltaViewScale>;

    static constexpr CGRect panelCanvas{0, 0, 680, 600};
    static constexpr CGRect controlsCanvas{0, 0, 680, 440};
    static constexpr CGRect rangesCanvas{0, 0, 680, 100};
    static constexpr CGRect splitCanvas{0, 0, 31, 42};
    // Where the sub-canvases lie on the panel.
    static constexpr CGFloat controlsOffsetY = 160;
    static constexpr CGFloat rangesOffsetY = 70;

    VYKOrmeltaViewBase() = default;
    VYKOrmeltaViewBase(const VYKOrmeltaViewBase&) = delete;
    VYKOrmeltaViewBase& operator=(const VYKOrmeltaViewBase&) = delete;

    // Not owned; the controller clears it before it goes away.
    PanelController* viewController = nullptr;
    // The controller's unit, or null without a controller or unit.
    std::shared_ptr<VYK_Wimbrax_Extension_AudioUnit> audioUnit() const;

    UIColor colorEmphasize{0.226, 0.781, 0.145, 1.0};
    UIColor colorContrast{0.0, 0.0, 0.0, 1.0};
    UIColor colorContrastInverted{1.0, 1.0, 1.0, 1.0};
    UIColor colorHotspots{0.742, 1.0, 0.513, 0.139};
    const CGFloat markersAngle = -45.0;
    const CGFloat knobsAngle = -140.0;

    // The band shown and edited (0 all-pass, 1 low, 2 middle, 3 high). Drawing
    // clamps the index it uses into 0...3.
    NSInteger currentMode = 2;
    bool isAllpass = false;
    bool isOscillograph = true;
    bool isNormalized = true;
    CGFloat valueSplit1 = 0.25;
    CGFloat valueSplit2 = 0.75;
    std::array<bool, 4> isRangeSelected{false, false, true, false};
    std::array<bool, 4> isRangeActive{true, true, true, true};
    std::array<bool, 4> isInvert{};
    std::array<bool, 4> isRecover{};
    std::array<bool, 4> isMonoOn{};
    std::array<bool, 4> isSwapOn{};
    std::array<CGFloat, 4> valuePanorama{0.5, 0.5, 0.5, 0.5};
    std::array<CGFloat, 4> valuePhaseShift{0.0, 0.0, 0.0, 0.0};
    std::array<CGFloat, 4> valueStereoWidth{0.5, 0.5, 0.5, 0.5};
    bool isKnobStereoWidthActive = false;
    bool isOptionStereoWidthActive = false;
    bool isSplit1Active = false;
    bool isSplit2Active = false;
    bool isKnobPanoramaActive = false;
    bool isOptionPanoramaActive = false;
    bool isOptionPhaseShiftActive = false;
    bool isStereoWidthResetActive = false;
    bool isPanoramaResetActive = false;

    // Hot spots in panel units; empty until the first draw.
    UIBezierPath hotspotSwapChannelsPath;
    UIBezierPath hotspotInvertChannelPath;
    UIBezierPath hotspotRecoverMonoPath;
    UIBezierPath hotspotTestMonoPath;
    UIBezierPath hotspotNormalizedPath;
    UIBezierPath hotspotMainPath;
    UIBezierPath hotspotOscillographPath;
    UIBezierPath hotspotPhaseShiftPath;
    UIBezierPath hotspotPanoramaPath;
    UIBezierPath hotspotStereoWidthPath;
    UIBezierPath hotspotStereoWidthResetPath;
    UIBezierPath hotspotPanoramaResetPath;
    UIBezierPath hotspotActiveLPPath; // empty in all-pass mode
    UIBezierPath hotspotActiveBPPath; // empty in all-pass mode
    UIBezierPath hotspotActiveHPPath; // empty in all-pass mode
    UIBezierPath hotspotCaption2Path;
    UIBezierPath hotspotButtonAllpassPath;
    UIBezierPath hotspotButtonMultibandPath;
    UIBezierPath hotspotCaption1Path;
    UIBezierPath hotspotMultiPath; // the band bar's area; empty in all-pass mode
    // Band-bar hot spots, in band-bar units (panel y - 70); rebuilt only while the
    // band bar is drawn.
    UIBezierPath hotspotRangeLPPath;
    UIBezierPath hotspotRangeBPPath;
    UIBezierPath hotspotRangeHPPath;
    UIBezierPath hotspotSplit1Path;
    UIBezierPath hotspotSplit2Path;

    // The mapping of the last draw(): where the panel canvas landed in the frame's
    // coordinates and its scale factors (1 at exactly 680 x 600). `drawn` is false
    // before the first draw and after a draw into a frame that cannot be drawn into.
    struct DrawRecord {
        bool drawn = false;
        CGRect canvas;
        CGSize scale;
    };
    const DrawRecord& lastDraw() const { return lastDraw_; }

    // Drawing into the current graphics context; each leaves the context's state as
    // it found it. A frame that is not finite or has no area draws nothing (the hot
    // spots are still rebuilt by draw()). Without a current context nothing is drawn.
    void draw(CGRect frame = panelCanvas, ResizingBehavior1 resizing = ResizingBehavior1::uniformFit);
    void drawSymbolSplit(CGRect frame = splitCanvas, ResizingBehavior resizing = ResizingBehavior::uniformFit);
    void drawSymbolRanges(CGRect frame = rangesCanvas, ResizingBehavior resizing = ResizingBehavior::uniformFit);
    void drawSymbolControls(CGRect frame = controlsCanvas, ResizingBehavior resizing = ResizingBehavior::uniformFit);
    // Rebuilds the twenty panel hot spots; draws nothing, needs no context.
    void drawSymbolHotspots(CGRect frame = panelCanvas, ResizingBehavior1 resizing = ResizingBehavior1::uniformFit);

    // Everything the panel's drawing reads of the model: equal appearances draw equal
    // pictures and hot spots.
    struct Appearance {
        UIColor colorEmphasize, colorContrast;
        NSInteger currentMode;
        bool isAllpass, isOscillograph, isNormalized;
        CGFloat valueSplit1, valueSplit2;
        std::array<bool, 4> isRangeSelected, isRangeActive, isInvert, isRecover, isMonoOn, isSwapOn;
        std::array<CGFloat, 4> valuePanorama, valuePhaseShift, valueStereoWidth;
        std::array<bool, 7> highlights;
        friend bool operator==(const Appearance&, const Appearance&) = default;
    };
    Appearance appearance() const;
    // draw(frame) through this model's backing store: while the appearance and the
    // frame's place on the device are unchanged, the last drawing's pixels are painted
    // again (clipped to the frame) instead of drawing the panel anew. For the control
    // view's drawing pass, which the correlograph's refresh repeats 25 times a second.
    void drawCached(CGRect frame);

    // The band index drawing uses: currentMode kept within 0...3.
    int band() const;
    // Split positions on the band bar: 20 + 610 x split, the split taken as 0 when
    // not finite and kept within 0...1.
    CGFloat splitX1() const;
    CGFloat splitX2() const;

private:
    void storeBandBarHotspots();

    DrawRecord lastDraw_;
    vyk::ui::BackingStore<Appearance> backingStore_;
};
