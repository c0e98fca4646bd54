#pragma once
// The correlograph's drawing: one band's analysis snapshot (left and right taken
// from the same render turn through the unit's hand-off) turned into 1024 points,
// difference across and sum up, on a 256 x 256 canvas scaled into any rectangle,
// drawn as dots, tiny ovals or one closed line.
//
// Thread rules: main thread only. The snapshot is read through the unit's
// lock-free hand-off, never from a buffer the render thread is writing.
#include "coregraphics/CGGeometry.h"
#include "ui/PanelController.h"
#include "ui/ResizingBehavior.h"
#include "uikit/UIColor.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

// Scale factors of the last correlograph mapping that did not return its canvas
// unchanged. Nothing reads it; each drawing keeps its own record.
extern CGSize CorrelographViewScale;

class CorrelographViewBase {
public:
    using ResizingBehavior = vyk::ui::ResizingBehaviorWithRecord<&CorrelographViewScale>;
    static constexpr CGRect canvas{0, 0, 256, 256};
    static constexpr std::size_t pointCount = 1024;

    CorrelographViewBase() = default;
    CorrelographViewBase(const CorrelographViewBase&) = delete;
    CorrelographViewBase& operator=(const CorrelographViewBase&) = delete;

    // Not owned; the controller clears it before it goes away.
    PanelController* viewController = nullptr;
    std::shared_ptr<VYK_Wimbrax_Extension_AudioUnit> audioUnit() const;

    UIColor colorEmphasize{0.226, 0.781, 0.145, 1.0};
    const float constant = 0.707107f;
    const CGFloat halfsize = 128;
    bool isNormalized = true;
    // "points", "ovals", or anything else for one closed line.
    std::string drawMode = "points";

    // The canvas positions of the last draw that had a snapshot.
    const std::array<CGPoint, pointCount>& points() const { return points_; }
    // The scale factors of this drawing's last mapping into a frame.
    CGSize lastScale() const { return lastScale_; }

    // Draws the snapshot of the band that parameter 2 names into the current
    // context. Nothing is drawn without a controller, a unit, a mode of 0 to 3 (after
    // truncation), a snapshot, a current context, or a frame that can be drawn into.
    void drawCorrelograph(CGRect frame = canvas, ResizingBehavior resizing = ResizingBehavior::uniformFit);
    // Draws `size` frames per channel as drawCorrelograph draws the unit's snapshot
    // (every size / 1024th frame; frame 0 throughout when size is below 1024;
    // nothing when it is below 1). Samples that are not finite count as 0.
    void drawSnapshot(const float* left, const float* right, std::int64_t size, CGRect frame = canvas,
                      ResizingBehavior resizing = ResizingBehavior::uniformFit);

private:
    void computePoints(const float* left, const float* right, std::int64_t step);

    std::array<CGPoint, pointCount> points_{};
    CGSize lastScale_{};
};
