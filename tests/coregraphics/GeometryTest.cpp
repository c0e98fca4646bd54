#include "coregraphics/CGAffineTransform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

void expectPoint(CGPoint p, double x, double y) {
    EXPECT_NEAR(p.x, x, 1e-12);
    EXPECT_NEAR(p.y, y, 1e-12);
}

TEST(Geometry, RectsAreStandardisedAndHalfOpen) {
    const CGRect r(10, 20, -4, -6);
    EXPECT_EQ(r.standardized(), CGRect(6, 14, 4, 6));
    EXPECT_EQ(r.midY(), 17);
    EXPECT_TRUE(r.contains({7, 15}));
    EXPECT_EQ(CGRect(0, 0, 10, 10).insetBy(2, 3), CGRect(2, 3, 6, 4));

    // Tiled neighbours never share a point; rects without area hold none.
    const CGRect s(0, 0, 10, 10);
    EXPECT_TRUE(s.contains({0, 0}));
    EXPECT_TRUE(s.contains({9.999, 9.999}));
    EXPECT_FALSE(s.contains({10, 5}));
    EXPECT_FALSE(s.contains({5, 10}));
    EXPECT_TRUE(CGRect(10, 0, 10, 10).contains({10, 5}));
    EXPECT_FALSE(CGRect(5, 5, 0, 10).contains({5, 6}));
    EXPECT_FALSE(s.contains({NAN, 5}));

    EXPECT_TRUE(s.intersects({9, 9, 5, 5}));
    EXPECT_TRUE(s.intersects({12, 12, -5, -5}));
    EXPECT_FALSE(s.intersects({10, 0, 5, 5})); // touching edges
    EXPECT_FALSE(s.intersects({2, 2, 0, 5}));  // no area
}

TEST(AffineTransform, RotationConcatenationAndInverse) {
    // y points down, so +90 degrees takes the x axis onto the screen's downward y axis.
    const auto quarter = CGAffineTransform::makeRotation(std::numbers::pi / 2);
    expectPoint(CGPoint{1, 0}.applying(quarter), 0, 1);
    const CGRect box = CGRect(0, 0, 10, 20).applying(quarter);
    EXPECT_NEAR(box.minX(), -20, 1e-12);
    EXPECT_NEAR(box.width(), 20, 1e-12);
    EXPECT_NEAR(box.height(), 10, 1e-12);

    // The left transform applies first.
    const auto scale = CGAffineTransform::makeScale(2, 3), shift = CGAffineTransform::makeTranslation(10, 20);
    expectPoint(CGPoint{1, 1}.applying(scale.concatenating(shift)), 12, 23);
    expectPoint(CGPoint{1, 1}.applying(shift.concatenating(scale)), 22, 63);

    const auto t = CGAffineTransform::makeRotation(0.3).concatenating(scale).concatenating(shift);
    ASSERT_TRUE(t.isInvertible());
    expectPoint(CGPoint{3, -4}.applying(t).applying(t.inverted()), 3, -4);
    EXPECT_FALSE(CGAffineTransform::makeScale(0, 1).isInvertible());
    EXPECT_FALSE(CGAffineTransform::makeScale(NAN, 1).isInvertible());
    EXPECT_TRUE(CGAffineTransform::makeScale(0, 1).inverted().isIdentity());
}

} // namespace
