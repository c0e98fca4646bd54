#pragma once
// Offscreen rendering of the panel's drawing classes for pixel probes.
#include "DrawingProbes.h"

#include "uikit/UIGraphics.h"

#include <functional>
#include <memory>

namespace vyk::test {

// A `width` x `height` point image at `deviceScale` pixels per point, filled with
// `background`; `drawer` runs with the image's context current (its origin moved to
// `origin`), and the context must be balanced afterwards.
inline std::unique_ptr<gfx::ImageSurface> render(CGFloat width, CGFloat height, CGFloat deviceScale,
                                                 const std::function<void()>& drawer, CGColor background = {1, 1, 1, 1},
                                                 CGPoint origin = {}) {
    auto image = std::make_unique<gfx::ImageSurface>(width * deviceScale, height * deviceScale);
    image->clear(background);
    CGContext cx(image->cairoSurface(), deviceScale);
    {
        ui::CurrentContext current(cx);
        cx.saveGState();
        cx.translateBy(origin.x, origin.y);
        drawer();
        cx.restoreGState();
    }
    expectBalanced(cx, *image, deviceScale);
    return image;
}

// Pixels clearly of the emphasis colour (green well above red) in [x0, x1) x [y0, y1).
inline int greenCount(const gfx::ImageSurface& s, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) n += s.pixel(x, y).g - s.pixel(x, y).r > 40 ? 1 : 0;
    return n;
}

} // namespace vyk::test
