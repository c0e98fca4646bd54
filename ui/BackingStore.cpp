#include "ui/BackingStore.h"

#include "ui/ResizingBehavior.h"
#include "uikit/UIGraphics.h"

#include <cmath>

namespace vyk::ui {

bool PixelCache::draw(CGRect frame, bool redraw, const std::function<void()>& drawer) {
    CGContext* cx = UIGraphicsGetCurrentContext();
    if (!cx || !isDrawable(frame) || cx->isDrawingSuppressed()) return false;
    // User space to surface pixels.
    const CGAffineTransform m =
        cx->ctm().concatenating(CGAffineTransform::makeScale(cx->deviceScale(), cx->deviceScale()));
    if (m.b != 0 || m.c != 0 || !(m.a > 0) || !(m.d > 0)) return false;
    const double dx = m.a * frame.minX() + m.tx, dy = m.d * frame.minY() + m.ty;
    const double w = std::ceil(frame.width() * m.a + (dx - std::floor(dx)));
    const double h = std::ceil(frame.height() * m.d + (dy - std::floor(dy)));
    if (!std::isfinite(dx) || !std::isfinite(dy) || !(w >= 1 && w <= 16384) || !(h >= 1 && h <= 16384)) return false;
    const Placement placement{frame, m.a, m.d, dx - std::floor(dx), dy - std::floor(dy), int(w), int(h)};

    if (redraw || !image_ || !(placement == placement_)) {
        if (!image_ || image_->width() != placement.width || image_->height() != placement.height)
            image_ = std::make_unique<gfx::ImageSurface>(placement.width, placement.height);
        if (!image_->isValid()) {
            image_.reset();
            return false;
        }
        image_->clear({0, 0, 0, 0});
        CGContext pixels(image_->cairoSurface(), 1);
        pixels.translateBy(placement.fx, placement.fy);
        pixels.scaleBy(m.a, m.d);
        pixels.translateBy(-frame.minX(), -frame.minY());
        pixels.clip(frame);
        {
            CurrentContext current(pixels);
            drawer();
        }
        placement_ = placement;
    }
    // One image pixel per surface pixel, at a whole-pixel offset.
    cx->drawImage(image_->cairoSurface(), {frame.minX() - placement.fx / m.a, frame.minY() - placement.fy / m.d,
                                           placement.width / m.a, placement.height / m.d});
    return true;
}

} // namespace vyk::ui
