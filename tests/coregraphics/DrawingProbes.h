#pragma once
// Pixel probes and artefact output for offscreen drawing tests.
#include "coregraphics/CGContext.h"
#include "coregraphics/Surfaces.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace vyk::test {

struct Rgb {
    int r, g, b;
};

// The pixel at (x, y) is within `tolerance` of `expected` in every channel.
inline ::testing::AssertionResult pixelNear(const gfx::ImageSurface& s, int x, int y, Rgb expected, int tolerance = 3) {
    const gfx::Pixel p = s.pixel(x, y);
    if (std::abs(p.r - expected.r) <= tolerance && std::abs(p.g - expected.g) <= tolerance &&
        std::abs(p.b - expected.b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is (" << int(p.r) << ", " << int(p.g)
                                         << ", " << int(p.b) << "), expected (" << expected.r << ", " << expected.g
                                         << ", " << expected.b << ")";
}

struct Probe {
    double x, y;
    Rgb expected;
};

// Every probe holds; the points are in user units of a surface drawn at `scale`.
inline void expectPixels(const gfx::ImageSurface& s, double scale, std::initializer_list<Probe> probes) {
    for (const Probe& p : probes)
        EXPECT_TRUE(pixelNear(s, static_cast<int>(p.x * scale), static_cast<int>(p.y * scale), p.expected));
}

// Pixels darker than 240 in any channel inside the pixel rectangle [x0, x1) x [y0, y1).
inline int inkCount(const gfx::ImageSurface& s, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const gfx::Pixel p = s.pixel(x, y);
            n += (p.r < 240 || p.g < 240 || p.b < 240) ? 1 : 0;
        }
    return n;
}

// Writes the image into the artefacts folder (when set) for people to look at.
inline void saveArtifact(const gfx::ImageSurface& s, const std::string& name) {
    const char* dir = std::getenv("VYK_ARTIFACTS_DIR");
    if (!dir || !*dir) return;
    std::string error;
    EXPECT_TRUE(s.writePNG(std::string(dir) + "/" + name + ".png", &error)) << error;
}

// The state a drawer must leave behind: nothing saved, no transform beyond the
// start, full alpha, no dash, the whole surface clippable.
inline void expectBalanced(const CGContext& cx, const gfx::ImageSurface& s, CGFloat scale = 1) {
    EXPECT_EQ(cx.gStateDepth(), 0);
    EXPECT_TRUE(cx.ctm().isIdentity());
    EXPECT_EQ(cx.alpha(), 1.0);
    EXPECT_EQ(cx.dashCount(), 0);
    EXPECT_EQ(cx.clipBoundingBox(), CGRect(0, 0, s.width() / scale, s.height() / scale));
    EXPECT_FALSE(cx.isDrawingSuppressed());
}

} // namespace vyk::test
