#pragma once
// A rectangle of the window that draws itself and takes touches, in a tree.
//
// Geometry follows the platform: `bounds` is the view's own coordinate space,
// `center` its position in the superview, `transform` applies about the centre,
// and `frame` is the bounding box of all that in the superview. Views draw with
// cairo through draw(rect), which always receives the full bounds; a view's
// alpha composes it and its subviews as one layer. Views are made with
// std::make_shared; a superview owns its subviews.
//
// Thread rules: main thread only.
#include "coregraphics/CGAffineTransform.h"
#include "coregraphics/CGContext.h"
#include "uikit/NSLayoutConstraint.h"
#include "uikit/UIColor.h"
#include "uikit/UITouch.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class UIGestureRecognizer;
class UIWindow;

class UIView : public UIResponder, public std::enable_shared_from_this<UIView> {
public:
    explicit UIView(CGRect frame = {});
    ~UIView() override;
    UIView(const UIView&) = delete;
    UIView& operator=(const UIView&) = delete;

    // Geometry. Non-finite values are ignored. With a transform other than the
    // identity, setFrame moves the centre only.
    CGRect frame() const;
    void setFrame(CGRect frame);
    CGRect bounds() const { return bounds_; }
    void setBounds(CGRect bounds);
    CGPoint center() const { return center_; }
    void setCenter(CGPoint center);
    CGAffineTransform transform() const { return transform_; }
    void setTransform(const CGAffineTransform& transform);

    // The tree.
    UIView* superview() const { return superview_; }
    const std::vector<std::shared_ptr<UIView>>& subviews() const { return subviews_; }
    void addSubview(const std::shared_ptr<UIView>& view); // on top; moves it from another parent
    void removeFromSuperview();
    UIWindow* window() const; // null unless the root of the tree is a window
    UIResponder* next() const override { return superview_; }

    // Appearance. Alpha is clamped to 0...1 (NaN ignored).
    bool isHidden() const { return hidden_; }
    void setHidden(bool hidden);
    CGFloat alpha() const { return alpha_; }
    void setAlpha(CGFloat alpha);
    const std::optional<UIColor>& backgroundColor() const { return background_; }
    void setBackgroundColor(std::optional<UIColor> colour);
    bool isUserInteractionEnabled() const { return interactive_; }
    void setUserInteractionEnabled(bool on) { interactive_ = on; }
    // The name automation finds the view by (the application's --press).
    std::string accessibilityIdentifier;

    // Drawing: draw(rect) draws into the current context, in bounds coordinates,
    // clipped to the bounds; the display pass calls it with the full bounds.
    void setNeedsDisplay();
    bool needsDisplay() const { return needsDisplay_; }
    virtual void draw(CGRect rect);
    // Draws this view and its subviews into `context`, whose user space is the
    // superview's coordinate space. Hidden, fully transparent or singular views
    // draw nothing. Leaves the context's state as it found it.
    void render(CGContext& context);

    // Layout: the pass resolves the subviews' edge constraints.
    void setNeedsLayout();
    void layoutIfNeeded();
    virtual void layoutSubviews();
    bool translatesAutoresizingMaskIntoConstraints = true;
    NSLayoutAnchor topAnchor() { return {*this, NSLayoutAttribute::top}; }
    NSLayoutAnchor leadingAnchor() { return {*this, NSLayoutAttribute::leading}; }
    NSLayoutAnchor bottomAnchor() { return {*this, NSLayoutAttribute::bottom}; }
    NSLayoutAnchor trailingAnchor() { return {*this, NSLayoutAttribute::trailing}; }
    const std::vector<std::shared_ptr<NSLayoutConstraint>>& constraints() const { return constraints_; }

    // Hit testing, in this view's coordinates: the deepest visible, interactive
    // view under the point, the topmost sibling first; null when none.
    virtual UIView* hitTest(CGPoint point, const UIEvent* event);
    virtual bool pointInside(CGPoint point, const UIEvent* event) const;

    // Conversion between coordinate spaces; a null view means the window's.
    CGPoint convert(CGPoint point, const UIView* to) const;
    CGPoint convertFrom(CGPoint point, const UIView* from) const;
    CGRect convert(CGRect rect, const UIView* to) const;
    CGPoint convertFromWindow(CGPoint point) const;
    // From this view's coordinates to the window's (the root's parent space).
    CGAffineTransform transformToWindow() const;

    // Gesture recognisers watch the touches that hit this view or its subviews.
    void addGestureRecognizer(const std::shared_ptr<UIGestureRecognizer>& recognizer);
    void removeGestureRecognizer(const UIGestureRecognizer* recognizer);
    const std::vector<std::shared_ptr<UIGestureRecognizer>>& gestureRecognizers() const { return recognizers_; }

protected:
    // Something visible changed: the window must redraw.
    void invalidateWindow() const;

private:
    friend class NSLayoutConstraint;
    CGAffineTransform transformToSuperview() const;
    bool drawable() const;
    void applyConstraints(UIView& subview) const;
    void dropConstraintsTo(const UIView* other);

    CGRect bounds_;
    CGPoint center_;
    CGAffineTransform transform_;
    UIView* superview_ = nullptr;
    std::vector<std::shared_ptr<UIView>> subviews_;
    bool hidden_ = false;
    CGFloat alpha_ = 1;
    std::optional<UIColor> background_;
    bool interactive_ = true;
    bool needsDisplay_ = true;
    bool needsLayout_ = true;
    std::vector<std::shared_ptr<NSLayoutConstraint>> constraints_; // first item is this view
    std::vector<std::shared_ptr<UIGestureRecognizer>> recognizers_;
};
