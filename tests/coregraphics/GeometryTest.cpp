#include "coregraphics/CGAffineTransform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr double eps = 1e-12;

void expectPoint(CGPoint p, double x, double y)
{
    EXPECT_NEAR(p.x, x, eps);
    EXPECT_NEAR(p.y, y, eps);
}

TEST(Geometry, NegativeSizesAreStandardised)
{
    const CGRect r(10, 20, -4, -6);
    EXPECT_EQ(r.standardized(), CGRect(6, 14, 4, 6));
    EXPECT_EQ(r.minX(), 6);
    EXPECT_EQ(r.maxX(), 10);
    EXPECT_EQ(r.midY(), 17);
    EXPECT_EQ(r.width(), 4);
    EXPECT_TRUE(r.contains({7, 15}));
    EXPECT_EQ(r.offsetBy(1, 2).origin, (CGPoint{11, 22}));
    EXPECT_EQ(CGRect(0, 0, 10, 10).insetBy(2, 3), CGRect(2, 3, 6, 4));
}

TEST(Geometry, ContainsIsHalfOpen)
{
    const CGRect r(0, 0, 10, 10);
    EXPECT_TRUE(r.contains({0, 0}));
    EXPECT_TRUE(r.contains({9.999, 9.999}));
    EXPECT_FALSE(r.contains({10, 5}));
    EXPECT_FALSE(r.contains({5, 10}));
    EXPECT_FALSE(r.contains({-0.001, 5}));
    // Tiled neighbours never share a point.
    EXPECT_TRUE(CGRect(10, 0, 10, 10).contains({10, 5}));
    EXPECT_FALSE(CGRect(5, 5, 0, 10).contains({5, 6}));
    EXPECT_FALSE(r.contains({NAN, 5}));
}

TEST(Geometry, IntersectsNeedsSharedArea)
{
    const CGRect r(0, 0, 10, 10);
    EXPECT_TRUE(r.intersects({9, 9, 5, 5}));
    EXPECT_TRUE(r.intersects({-5, -5, 30, 30}));
    EXPECT_FALSE(r.intersects({10, 0, 5, 5}));  // touching edges
    EXPECT_FALSE(r.intersects({2, 2, 0, 5}));   // no area
    EXPECT_TRUE(r.intersects({12, 12, -5, -5}));
    EXPECT_FALSE(r.intersects({20, 20, 1, 1}));
}

TEST(AffineTransform, RotationTurnsClockwiseOnScreen)
{
    // y points down, so +90 degrees takes the x axis onto the screen's downward y axis.
    expectPoint(CGPoint{1, 0}.applying(CGAffineTransform::makeRotation(std::numbers::pi / 2)), 0, 1);
}

TEST(AffineTransform, ConcatenationAppliesLeftFirst)
{
    const auto t = CGAffineTransform::makeScale(2, 3).concatenating(CGAffineTransform::makeTranslation(10, 20));
    expectPoint(CGPoint{1, 1}.applying(t), 12, 23);
    const auto u = CGAffineTransform::makeTranslation(10, 20).concatenating(CGAffineTransform::makeScale(2, 3));
    expectPoint(CGPoint{1, 1}.applying(u), 22, 63);
}

TEST(AffineTransform, InverseRoundTripsAndSingularIsRefused)
{
    const auto t = CGAffineTransform::makeRotation(0.3)
                       .concatenating(CGAffineTransform::makeScale(2, 0.5))
                       .concatenating(CGAffineTransform::makeTranslation(-7, 11));
    ASSERT_TRUE(t.isInvertible());
    expectPoint(CGPoint{3, -4}.applying(t).applying(t.inverted()), 3, -4);
    EXPECT_FALSE(CGAffineTransform::makeScale(0, 1).isInvertible());
    EXPECT_FALSE(CGAffineTransform::makeScale(NAN, 1).isInvertible());
    EXPECT_TRUE(CGAffineTransform::makeScale(0, 1).inverted().isIdentity());
}

TEST(AffineTransform, RectBoundingBox)
{
    const CGRect r = CGRect(0, 0, 10, 20).applying(CGAffineTransform::makeRotation(std::numbers::pi / 2));
    EXPECT_NEAR(r.minX(), -20, eps);
    EXPECT_NEAR(r.width(), 20, eps);
    EXPECT_NEAR(r.height(), 10, eps);
}

} // namespace
