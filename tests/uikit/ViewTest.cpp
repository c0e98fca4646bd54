#include "shared/ViewPinning.h"
#include "uikit/UIView.h"
#include "uikit/UIWindow.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

void expectPoint(CGPoint p, CGPoint e) {
    EXPECT_NEAR(p.x, e.x, 1e-9);
    EXPECT_NEAR(p.y, e.y, 1e-9);
}

TEST(ViewGeometry, TransformAppliesAboutTheCentre) {
    auto v = std::make_shared<UIView>(CGRect(10, 20, 100, 50));
    v->setTransform(CGAffineTransform::makeScale(2, 2));
    EXPECT_EQ(v->frame(), CGRect(-40, -5, 200, 100));
    EXPECT_EQ(v->bounds(), CGRect(0, 0, 100, 50)); // bounds are untouched
    v->setTransform(CGAffineTransform::makeScale(0.5, 0.5));
    EXPECT_EQ(v->frame(), CGRect(35, 32.5, 50, 25));
    v->setTransform(CGAffineTransform::identity());
    v->setFrame({1, 2, NAN, 4}); // ignored
    EXPECT_EQ(v->frame(), CGRect(10, 20, 100, 50));
    v->setFrame({5, 5, -10, 20}); // standardised
    EXPECT_EQ(v->frame(), CGRect(-5, 5, 10, 20));
}

TEST(ViewGeometry, ConversionThroughTransformsAndBounds) {
    auto root = std::make_shared<UIView>(CGRect(0, 0, 400, 300));
    auto panel = std::make_shared<UIView>(CGRect(100, 50, 200, 100));
    auto child = std::make_shared<UIView>(CGRect(10, 10, 20, 20));
    root->addSubview(panel);
    panel->addSubview(child);
    EXPECT_EQ(child->convert(CGPoint{0, 0}, root.get()), (CGPoint{110, 60}));
    EXPECT_EQ(root->convert(CGPoint{110, 60}, child.get()), (CGPoint{0, 0}));
    EXPECT_EQ(child->convertFrom(CGPoint{110, 60}, root.get()), (CGPoint{0, 0}));

    // Rotating the panel a quarter turn clockwise about its centre (200, 100).
    panel->setTransform(CGAffineTransform::makeRotation(std::numbers::pi / 2));
    // Panel point (0, 0) is 100 left and 50 above its centre; turned, it lies
    // 50 right of and 100 above the centre.
    expectPoint(panel->convert(CGPoint{0, 0}, root.get()), {250, 0});
    expectPoint(root->convert(CGPoint{250, 0}, panel.get()), {0, 0});

    // Shifting the panel's bounds origin scrolls its content.
    panel->setTransform(CGAffineTransform::identity());
    panel->setBounds({50, 0, 200, 100});
    EXPECT_EQ(child->convert(CGPoint{0, 0}, root.get()), (CGPoint{60, 60}));
    EXPECT_EQ(child->convert(CGRect(0, 0, 20, 20), root.get()), CGRect(60, 60, 20, 20));
}

TEST(ViewTree, AddingMovesAndRefusesCycles) {
    auto a = std::make_shared<UIView>();
    auto b = std::make_shared<UIView>();
    auto c = std::make_shared<UIView>();
    a->addSubview(c);
    b->addSubview(c);
    EXPECT_TRUE(a->subviews().empty());
    EXPECT_EQ(c->superview(), b.get());
    c->addSubview(b); // b is c's ancestor
    EXPECT_TRUE(c->subviews().empty());
    a->addSubview(a);
    EXPECT_TRUE(a->subviews().empty());
    c->removeFromSuperview();
    EXPECT_EQ(c->superview(), nullptr);
    EXPECT_EQ(c->window(), nullptr);
    {
        auto parent = std::make_shared<UIView>();
        parent->addSubview(c);
    }
    EXPECT_EQ(c->superview(), nullptr); // a dying parent lets go
}

TEST(HitTest, SkipsHiddenTransparentAndInertViewsTopmostFirst) {
    auto root = std::make_shared<UIView>(CGRect(0, 0, 200, 200));
    auto lower = std::make_shared<UIView>(CGRect(0, 0, 100, 100));
    auto upper = std::make_shared<UIView>(CGRect(50, 50, 100, 100));
    root->addSubview(lower);
    root->addSubview(upper);
    EXPECT_EQ(root->hitTest({75, 75}, nullptr), upper.get());
    EXPECT_EQ(root->hitTest({25, 25}, nullptr), lower.get());
    EXPECT_EQ(root->hitTest({175, 25}, nullptr), root.get());
    EXPECT_EQ(root->hitTest({200, 25}, nullptr), nullptr); // half-open bounds

    upper->setHidden(true);
    EXPECT_EQ(root->hitTest({75, 75}, nullptr), lower.get());
    upper->setHidden(false);
    upper->setAlpha(0.005);
    EXPECT_EQ(root->hitTest({75, 75}, nullptr), lower.get());
    upper->setAlpha(1);
    upper->setUserInteractionEnabled(false);
    EXPECT_EQ(root->hitTest({75, 75}, nullptr), lower.get());
    upper->setUserInteractionEnabled(true);

    // A scaled view is hit where it is drawn: (50,50,100,100) doubled about its
    // centre (100, 100) covers (0,0)-(200,200).
    upper->setTransform(CGAffineTransform::makeScale(2, 2));
    EXPECT_EQ(root->hitTest({10, 10}, nullptr), upper.get());
    // A subview outside its superview's bounds is not hit.
    auto outside = std::make_shared<UIView>(CGRect(150, 0, 100, 10));
    lower->addSubview(outside);
    upper->setHidden(true);
    EXPECT_EQ(root->hitTest({160, 5}, nullptr), root.get());
    upper->setTransform(CGAffineTransform::makeScale(0, 1)); // singular: never hit
    upper->setHidden(false);
    EXPECT_EQ(root->hitTest({75, 75}, nullptr), lower.get());
}

class Layout : public ::testing::Test {
protected:
    std::shared_ptr<UIView> parent = std::make_shared<UIView>(CGRect(0, 0, 300, 200));
    std::shared_ptr<UIView> child = std::make_shared<UIView>(CGRect(5, 5, 40, 30));
    void SetUp() override { parent->addSubview(child); }
};

TEST_F(Layout, PinnedViewFollowsItsSuperview) {
    auto loose = std::make_shared<UIView>(CGRect(5, 5, 10, 10));
    pinToSuperviewEdges(*loose); // no superview: nothing happens
    EXPECT_TRUE(loose->translatesAutoresizingMaskIntoConstraints);
    EXPECT_TRUE(loose->constraints().empty());

    pinToSuperviewEdges(*child);
    EXPECT_FALSE(child->translatesAutoresizingMaskIntoConstraints);
    ASSERT_EQ(child->constraints().size(), 4u);
    parent->layoutIfNeeded();
    EXPECT_EQ(child->frame(), CGRect(0, 0, 300, 200));
    parent->setFrame({10, 10, 640, 480});
    parent->layoutIfNeeded();
    EXPECT_EQ(child->frame(), CGRect(0, 0, 640, 480));

    // The constraints go when the view leaves its superview.
    child->removeFromSuperview();
    EXPECT_TRUE(child->constraints().empty());
    parent->addSubview(child);
    parent->setFrame({0, 0, 50, 50});
    parent->layoutIfNeeded();
    EXPECT_EQ(child->frame(), CGRect(0, 0, 640, 480));
}

TEST_F(Layout, ConstantsAndSingleEdges) {
    NSLayoutConstraint::activate({child->bottomAnchor().constraint(parent->bottomAnchor(), -10),
                                  child->trailingAnchor().constraint(parent->trailingAnchor(), -20)});
    parent->layoutIfNeeded();
    EXPECT_EQ(child->frame(), CGRect(240, 160, 40, 30));
}

TEST_F(Layout, ConstraintsOutlivingTheirViewsAreInert) {
    const auto held = child->topAnchor().constraint(parent->topAnchor());
    NSLayoutConstraint::activate({held});
    child.reset();
    parent.reset();
    EXPECT_EQ(held->firstItem(), nullptr);
    EXPECT_FALSE(held->isActive());
    NSLayoutConstraint::activate({held}); // nothing to attach to
    EXPECT_FALSE(held->isActive());
}

TEST(Window, RootOfTheTree) {
    auto window = std::make_shared<UIWindow>(CGSize{320, 240}, 2);
    auto v = std::make_shared<UIView>(CGRect(0, 0, 10, 10));
    EXPECT_EQ(v->window(), nullptr);
    window->addSubview(v);
    EXPECT_EQ(v->window(), window.get());
    EXPECT_EQ(window->surface().width(), 640);
    EXPECT_EQ(window->surface().height(), 480);
    window->resize({0, 100}, 1); // no surface, nothing drawn, no crash
    EXPECT_FALSE(window->surface().isValid());
    EXPECT_FALSE(window->displayIfNeeded());
}

} // namespace
