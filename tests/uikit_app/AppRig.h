#pragma once
// Shared pieces of the view-controller tests: console capture and clicks.
#include "TestEnvironment.h"
#include "uikit/UIWindow.h"

namespace vyk::test {

using ConsoleLines = ConsoleCapture;

// A click at the centre of a view, in window coordinates.
inline void click(UIWindow& window, const UIView& view) {
    const CGRect b = view.bounds();
    const CGPoint p = view.convert(CGPoint{b.midX(), b.midY()}, nullptr);
    window.mouseDown(p);
    window.mouseUp(p);
}

} // namespace vyk::test
