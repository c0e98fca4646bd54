#pragma once
// A graphics context over cairo with the platform's state model: a stack of saved
// states, a global alpha kept here (cairo has none) and multiplied into every
// source, transparency layers, dashes, fills and strokes of recorded paths.
//
// Bad input never reaches cairo, where one bad matrix or size would put the
// context into a permanent error state: a zero or non-finite scale, translation,
// rotation or clip suppresses drawing until the matching restore, and a path with
// a non-finite point is not drawn.
//
// Thread rules: one thread at a time (the main thread for windows).
#include "coregraphics/CGAffineTransform.h"
#include "coregraphics/CGColor.h"
#include "coregraphics/CGPath.h"

#include <cairo.h>

#include <functional>
#include <string>
#include <vector>

enum class CGLineCap { butt, round, square };
enum class CGLineJoin { miter, round, bevel };

struct CGStrokeStyle {
    CGFloat lineWidth = 1;
    CGLineCap cap = CGLineCap::butt;
    CGLineJoin join = CGLineJoin::miter;
    CGFloat miterLimit = 10;
};

namespace vyk::gfx {
// One drawing operation that reached the surface, for tests that check what was
// drawn rather than the pixels.
struct DrawCall {
    enum class Kind { fill, stroke, text, image };
    Kind kind = Kind::fill;
    CGPath path;           // fill, stroke
    CGStrokeStyle style;   // stroke
    CGColor colour;        // fill, stroke, text: the colour as set
    CGFloat alpha = 1;     // the global alpha in effect
    CGAffineTransform ctm; // user space to the context's base space
    CGRect rect;           // text, image: the box
    std::string text;      // text
    std::string fontFamily;
    double fontSize = 0;
};
using DrawObserver = std::function<void(const DrawCall&)>;
} // namespace vyk::gfx

class CGContext {
public:
    // Draws into `surface` (not owned; may be null, which gives a context that
    // draws nothing). `deviceScale` maps user units to surface pixels.
    explicit CGContext(cairo_surface_t* surface, CGFloat deviceScale = 1);
    ~CGContext();
    CGContext(const CGContext&) = delete;
    CGContext& operator=(const CGContext&) = delete;

    void saveGState();
    void restoreGState(); // an unmatched restore is ignored
    // Restores until `depth` saved states remain (unwinds a careless drawer).
    void restoreToDepth(int depth);

    void translateBy(CGFloat dx, CGFloat dy);
    void scaleBy(CGFloat sx, CGFloat sy);
    void rotate(CGFloat angle); // radians, clockwise on the y-down screen
    void concatenate(const CGAffineTransform& t);
    void clip(CGRect rect);

    void setAlpha(CGFloat alpha); // clamped to 0...1; NaN is ignored
    // Everything drawn until the end is composed alone, then painted once with
    // the alpha in effect at the begin. Each begin needs its end.
    void beginTransparencyLayer();
    void endTransparencyLayer();
    // Empty lengths switch dashing off; negative, non-finite or all-zero ones too.
    void setLineDash(CGFloat phase, const std::vector<CGFloat>& lengths);

    void setFillColor(CGColor c);
    void setStrokeColor(CGColor c);
    void fillPath(const CGPath& path); // non-zero winding rule
    void strokePath(const CGPath& path, const CGStrokeStyle& style);
    void fill(CGRect rect);
    // Paints an image surface (not owned) scaled into `rect`.
    void drawImage(cairo_surface_t* image, CGRect rect);

    // State, for tests and for drawers that need it.
    int gStateDepth() const { return static_cast<int>(states_.size()) - 1; }
    CGFloat alpha() const { return top().alpha; }
    CGColor fillColor() const { return top().fill; }
    CGColor strokeColor() const { return top().stroke; }
    int dashCount() const;
    // Surface pixels per unit of the base space.
    CGFloat deviceScale() const { return deviceScale_; }
    bool isDrawingSuppressed() const { return cr_ == nullptr || top().suppressed; }
    // The transform from user space to the context's base space (after the
    // device scale).
    CGAffineTransform ctm() const;
    CGRect clipBoundingBox() const;

    // cairo, for text; null while drawing is suppressed.
    cairo_t* cairoForDrawing() { return isDrawingSuppressed() ? nullptr : cr_; }

    // Tests: sees every operation that is drawn (not the suppressed ones).
    void setObserver(vyk::gfx::DrawObserver observer) { observer_ = std::move(observer); }
    // Drawers outside this class (text) report their operations here.
    void report(vyk::gfx::DrawCall call) const;
    bool isObserved() const { return static_cast<bool>(observer_); }

private:
    struct State {
        CGFloat alpha = 1;
        CGColor fill{0, 0, 0, 1};
        CGColor stroke{0, 0, 0, 1};
        bool suppressed = false;
        bool layer = false; // pushed by beginTransparencyLayer
        CGFloat layerAlpha = 1;
    };
    const State& top() const { return states_.back(); }
    void setSource(CGColor c);
    void suppress() { states_.back().suppressed = true; }

    // A layer records its drawing, then paints just the inked area with its
    // alpha: a group the size of the whole clip would cost a full-surface
    // clear and composite per layer. On vector targets a layer is a cairo group
    // (recording is null).
    struct Layer {
        cairo_t* parent;
        cairo_surface_t* recording;
    };
    void closeLayer(bool paint, CGFloat alpha);

    cairo_t* cr_ = nullptr;
    std::vector<Layer> layers_;
    CGFloat deviceScale_ = 1;
    std::vector<State> states_{State{}};
    vyk::gfx::DrawObserver observer_;
};
