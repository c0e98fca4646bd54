#pragma once
// A view's drawing kept as pixels at the device resolution: painted back while the
// content key and the device placement are unchanged, redrawn when either changes.
// Lets a static panel be composited under a fast-changing view without being
// rasterised again.
//
// Thread rules: the thread that draws (the main thread).
#include "coregraphics/CGGeometry.h"
#include "coregraphics/Surfaces.h"

#include <functional>
#include <memory>
#include <optional>

namespace vyk::ui {

// The pixels, without knowledge of what they show.
class PixelCache {
public:
    // Paints `frame` of the current context from the cache, first running `drawer`
    // into the cache (clipped to `frame`) when `redraw` is set or the frame's device
    // placement changed. False, with nothing drawn, when the context cannot be served
    // from pixels: none current, a frame that cannot be drawn into, or a transform
    // that rotates, mirrors or skews.
    bool draw(CGRect frame, bool redraw, const std::function<void()>& drawer);
    void clear() { image_.reset(); }

private:
    struct Placement {
        CGRect frame;
        double sx = 0, sy = 0, fx = 0, fy = 0; // device scale and sub-pixel offset
        int width = 0, height = 0;             // pixels
        friend bool operator==(const Placement&, const Placement&) = default;
    };
    std::unique_ptr<gfx::ImageSurface> image_;
    Placement placement_;
};

// PixelCache with the content key that decides when the pixels are stale.
template <class Key>
class BackingStore {
public:
    // Draws `frame` through the cache; `drawer` runs when `key` differs from the key of
    // the cached pixels or the placement changed, and directly when pixels cannot serve.
    void draw(CGRect frame, const Key& key, const std::function<void()>& drawer) {
        const bool stale = !key_ || !(*key_ == key);
        if (!cache_.draw(frame, stale, drawer)) {
            key_.reset();
            drawer();
            return;
        }
        key_ = key;
    }
    void invalidate() { key_.reset(); }

private:
    std::optional<Key> key_;
    PixelCache cache_;
};

} // namespace vyk::ui
