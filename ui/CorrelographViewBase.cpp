#include "ui/CorrelographViewBase.h"

#include "audiounit/VYK_Wimbrax_Extension_AudioUnit.h"
#include "ui/PanelDrawing.h"
#include "uikit/UIBezierPath.h"
#include "uikit/UIGraphics.h"

#include <algorithm>
#include <cmath>

CGSize CorrelographViewScale{0, 0};

namespace {
// Non-finite samples read as silence; huge ones are kept within a range whose
// canvas positions stay finite.
float sample(const float* buffer, std::int64_t index) {
    const float v = buffer[index];
    return std::isfinite(v) ? std::clamp(v, -1e6f, 1e6f) : 0.0f;
}
} // namespace

std::shared_ptr<VYK_Wimbrax_Extension_AudioUnit> CorrelographViewBase::audioUnit() const {
    return viewController ? viewController->audioUnit() : nullptr;
}

void CorrelographViewBase::drawCorrelograph(CGRect frame, ResizingBehavior resizing) {
    if (!viewController) return;
    const std::shared_ptr<VYK_Wimbrax_Extension_AudioUnit> unit = audioUnit();
    if (!unit) return;
    const float modeValue = viewController->getParameter(2);
    // Truncation toward zero, with NaN and far values refused before any conversion.
    if (!(modeValue > -1.0f && modeValue < 4.0f)) return;
    const int mode = static_cast<int>(modeValue);
    if (!UIGraphicsGetCurrentContext() || !vyk::ui::isDrawable(frame)) return;
    // Left first: it takes the band's newest snapshot, and right is that snapshot's.
    const float* left = unit->getBufferLeft(mode);
    const float* right = unit->getBufferRight(mode);
    if (!left || !right) return;
    drawSnapshot(left, right, unit->getBufferSize(), frame, resizing);
}

void CorrelographViewBase::drawSnapshot(const float* left, const float* right, std::int64_t size, CGRect frame,
                                        ResizingBehavior resizing) {
    CGContext* cx = UIGraphicsGetCurrentContext();
    if (!left || !right || size < 1) return;
    if (!vyk::ui::beginCanvas(cx, canvas, frame, resizing)) return;
    const CGRect r = resizing.apply(canvas, frame);
    lastScale_ = {r.width() / canvas.width(), r.height() / canvas.height()};
    cx->saveGState();

    computePoints(left, right, size / static_cast<std::int64_t>(pointCount));
    const CGFloat centre = halfsize;
    // Each mark is its own path: where marks coincide (silence, a repeating waveform,
    // the first and last point) their antialiased coverage builds up, which one path
    // covering them all would not do, whatever the colour.
    if (drawMode == "points") {
        colorEmphasize.setStroke();
        for (const CGPoint& p : points_) {
            UIBezierPath dot;
            dot.move(p);
            dot.addLine({p.x + 0.5, p.y + 0.5});
            dot.close();
            dot.lineWidth = 1.0;
            dot.stroke();
        }
    } else if (drawMode == "ovals") {
        colorEmphasize.setFill();
        for (const CGPoint& p : points_) UIBezierPath::ovalIn({p.x, p.y, 1, 1}).fill();
    } else {
        UIBezierPath line;
        line.move({centre, centre});
        for (const CGPoint& p : points_) line.addLine(p);
        line.addLine({centre, centre});
        line.close();
        line.lineWidth = 0.5;
        colorEmphasize.setStroke();
        line.stroke();
    }

    cx->restoreGState();
    cx->restoreGState();
}

void CorrelographViewBase::computePoints(const float* left, const float* right, std::int64_t step) {
    float gain = 1.0f;
    if (isNormalized) {
        float peak = 0.0f;
        for (std::size_t i = 0; i < pointCount; ++i) {
            const std::int64_t k = static_cast<std::int64_t>(i) * step;
            peak = std::max({peak, std::fabs(sample(left, k)), std::fabs(sample(right, k))});
        }
        // A peak so small that its reciprocal overflows is silence for the display.
        if (peak != 0.0f && std::isfinite(1.0f / peak)) gain = 1.0f / peak;
    }
    for (std::size_t i = 0; i < pointCount; ++i) {
        const std::int64_t k = static_cast<std::int64_t>(i) * step;
        const float l = sample(left, k), r = sample(right, k);
        const float x = isNormalized ? -constant * ((l - r) * gain) : -constant * (l - r);
        const float y = isNormalized ? -constant * ((l + r) * gain) : -constant * (l + r);
        points_[i] = {static_cast<CGFloat>(x * 80.0f) + halfsize, static_cast<CGFloat>(y * 80.0f) + halfsize};
    }
    points_.front() = points_.back() = {halfsize, halfsize};
}
