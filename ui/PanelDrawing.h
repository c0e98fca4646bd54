#pragma once
// Small drawing steps the panel's canvases share. Internal to ui/.
// Thread rules: main thread (the thread that draws).
#include "ui/ResizingBehavior.h"
#include "uikit/UIBezierPath.h"
#include "uikit/UIColor.h"

#include <numbers>

namespace vyk::ui {

inline constexpr CGFloat radians(CGFloat degrees) { return degrees * std::numbers::pi / 180; }

// Strokes `path` in `colour` with `width`, round caps and joins unless `round` is false.
inline void strokeWith(UIBezierPath path, UIColor colour, CGFloat width, bool round = true) {
    path.lineWidth = width;
    if (round) {
        path.lineCapStyle = CGLineCap::round;
        path.lineJoinStyle = CGLineJoin::round;
    }
    colour.setStroke();
    path.stroke();
}

inline void fillWith(const UIBezierPath& path, UIColor colour) {
    colour.setFill();
    path.fill();
}

} // namespace vyk::ui

namespace vyk::ui {

// Maps `canvas` into `frame` with `resizing`, saves the context's state and makes
// canvas units current. False, with the state untouched, when nothing can be drawn
// (no context, or a frame or mapping that is not finite or has no area).
template <class Behaviour>
bool beginCanvas(CGContext* cx, CGRect canvas, CGRect frame, Behaviour resizing) {
    if (!cx || !isDrawable(frame)) return false;
    const CGRect r = resizing.apply(canvas, frame);
    if (!isDrawable(r)) return false;
    cx->saveGState();
    cx->translateBy(r.minX(), r.minY());
    cx->scaleBy(r.width() / canvas.width(), r.height() / canvas.height());
    return true;
}

} // namespace vyk::ui
