#pragma once
// The root of a view tree, drawn into an image surface, with pointer input
// turned into touches and gestures. By itself it is the offscreen window that
// tests and headless runs use; a desktop backend keeps one, feeds it the mouse
// and shows its surface.
//
// Input: the pointer is one touch. The view hit at mouse-down gets the whole
// sequence (moved, ended or cancelled), even outside its bounds; then the
// gesture recognisers of that view and its ancestors see the same touch. Ctrl
// with the wheel goes to the recognisers under the pointer.
//
// Thread rules: main thread.
#include "coregraphics/Surfaces.h"
#include "uikit/UIView.h"

#include <array>
#include <memory>
#include <string>

class UIWindow : public UIView {
public:
    // `size` in points, drawn at `scale` pixels per point.
    explicit UIWindow(CGSize size, CGFloat scale = 1);

    CGFloat screenScale() const { return scale_; }
    // Resizes the window and its surface (a backend follows its native window).
    void resize(CGSize size, CGFloat scale);

    // Drawing: everything is redrawn when anything changed.
    void setNeedsRedraw() { needsRedraw_ = true; }
    bool needsRedraw() const;
    // Runs the layout pass, then redraws into the surface if needed; true when
    // it drew.
    bool displayIfNeeded();
    // Like displayIfNeeded(), but when only views marked for display changed,
    // redraws just the pixels those views cover. Returns the redrawn area in
    // surface pixels (x, y, width, height; empty when nothing was drawn).
    std::array<int, 4> displayDamage();
    const vyk::gfx::ImageSurface& surface() const { return *surface_; }
    // Draws (if needed) and writes the surface as a PNG file.
    bool writePNG(const std::string& path, std::string* error = nullptr);

    // Pointer input, in window points.
    void mouseDown(CGPoint p);
    void mouseDragged(CGPoint p);
    void mouseUp(CGPoint p);
    void cancelTouches(); // the pointer was taken away (focus lost)
    void scrollWheel(CGPoint p, double notches, bool control);

private:
    void dispatch(UITouch::Phase phase, CGPoint p);

    CGFloat scale_ = 1;
    std::unique_ptr<vyk::gfx::ImageSurface> surface_;
    bool needsRedraw_ = true;
    std::shared_ptr<UITouch> touch_;
    std::vector<std::shared_ptr<UIGestureRecognizer>> watchers_;
};
