#pragma once
// Offscreen rendering of the panel's drawing classes for pixel probes.
#include "DrawingProbes.h"

#include "uikit/UIGraphics.h"

#include <functional>
#include <memory>

namespace vyk::test {

// A `width` x `height` point image at `deviceScale` pixels per point, filled with
// `background`; `drawer` runs with the image's context current, and the context
// must be balanced afterwards.
inline std::unique_ptr<gfx::ImageSurface> render(CGFloat width, CGFloat height, CGFloat deviceScale,
                                                 const std::function<void()>& drawer,
                                                 CGColor background = {1, 1, 1, 1})
{
    auto image = std::make_unique<gfx::ImageSurface>(width * deviceScale, height * deviceScale);
    image->clear(background);
    CGContext cx(image->cairoSurface(), deviceScale);
    {
        ui::CurrentContext current(cx);
        drawer();
    }
    expectBalanced(cx, *image, deviceScale);
    return image;
}

} // namespace vyk::test
