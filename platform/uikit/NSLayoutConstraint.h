#pragma once
// Edge constraints between a view and its superview: the part of auto layout
// that pinning a view to its parent needs. A constraint relates an edge of the
// first view to an edge of its superview plus a constant; the superview's layout
// pass moves the view's edges there. Constraints to any other view are kept but
// not resolved.
// Thread rules: main thread.
#include "coregraphics/CGGeometry.h"

#include <memory>
#include <vector>

class UIView;

enum class NSLayoutAttribute { top, leading, bottom, trailing };

class NSLayoutConstraint {
public:
    NSLayoutConstraint(UIView& first, NSLayoutAttribute firstAttribute, UIView& second,
                       NSLayoutAttribute secondAttribute, CGFloat constant);

    // Activating hands the constraint to its first view and asks its superview
    // for a layout pass; deactivating takes it back. A view that leaves its
    // superview drops its constraints to it. The items are held weakly: a
    // constraint whose view went away does nothing.
    static void activate(const std::vector<std::shared_ptr<NSLayoutConstraint>>& constraints);
    static void deactivate(const std::vector<std::shared_ptr<NSLayoutConstraint>>& constraints);
    bool isActive() const { return active_; }

    std::shared_ptr<UIView> firstItem() const { return first_.lock(); }
    std::shared_ptr<UIView> secondItem() const { return second_.lock(); }
    NSLayoutAttribute firstAttribute() const { return firstAttribute_; }
    NSLayoutAttribute secondAttribute() const { return secondAttribute_; }
    CGFloat constant = 0;

private:
    friend class UIView;
    std::weak_ptr<UIView> first_;
    std::weak_ptr<UIView> second_;
    NSLayoutAttribute firstAttribute_, secondAttribute_;
    bool active_ = false;
};

class NSLayoutAnchor {
public:
    NSLayoutAnchor(UIView& view, NSLayoutAttribute attribute) : view_(view), attribute_(attribute) {}
    std::shared_ptr<NSLayoutConstraint> constraint(const NSLayoutAnchor& equalTo, CGFloat constant = 0) const;

private:
    UIView& view_;
    NSLayoutAttribute attribute_;
};
