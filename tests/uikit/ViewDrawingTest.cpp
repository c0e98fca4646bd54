#include "DrawingProbes.h"

#include "uikit/UIBezierPath.h"
#include "uikit/UIButton.h"
#include "uikit/UIGraphics.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UISlider.h"
#include "uikit/UIWindow.h"

#include <gtest/gtest.h>

namespace {

using vyk::test::pixelNear;
using vyk::test::Rgb;

constexpr Rgb white{255, 255, 255}, grey{128, 128, 128}, blue{0, 0, 255};

// Fills its bounds inset by 1 and counts its draws; can leave the state unbalanced.
class Swatch : public UIView {
public:
    Swatch(CGRect frame, UIColor colour) : UIView(frame), colour_(colour) {}
    int draws = 0;
    CGRect lastRect;
    bool careless = false;
    void draw(CGRect rect) override {
        ++draws;
        lastRect = rect;
        CGContext* cx = UIGraphicsGetCurrentContext();
        ASSERT_NE(cx, nullptr);
        if (careless) {
            cx->saveGState();
            cx->scaleBy(3, 3);
            cx->setAlpha(0.1);
        }
        colour_.setFill();
        // Draws beyond its bounds on purpose: the view clips.
        UIBezierPath::rect(rect.insetBy(-20, -20)).fill();
    }

private:
    UIColor colour_;
};

class WindowDrawing : public ::testing::TestWithParam<double> {
protected:
    double k = GetParam();
    std::shared_ptr<UIWindow> window = std::make_shared<UIWindow>(CGSize{200, 120}, k);
    void probe(std::initializer_list<vyk::test::Probe> probes) {
        vyk::test::expectPixels(window->surface(), k, probes);
    }
    void SetUp() override { window->setBackgroundColor(UIColor::white()); }
    template <class... V>
    void add(const V&... views) {
        (window->addSubview(views), ...);
    }
    void save(const char* what) {
        vyk::test::saveArtifact(window->surface(), std::string("uikit-") + what + (k > 1 ? "-2x" : "-1x"));
    }
};

TEST_P(WindowDrawing, TreeWithAlphaTransformsAndHiddenViews) {
    auto red = std::make_shared<Swatch>(CGRect(10, 10, 40, 40), UIColor(1, 0, 0, 1));
    auto group = std::make_shared<UIView>(CGRect(60, 10, 60, 40));
    auto a = std::make_shared<Swatch>(CGRect(0, 0, 40, 40), UIColor::black());
    auto b = std::make_shared<Swatch>(CGRect(20, 0, 40, 40), UIColor::black());
    auto hidden = std::make_shared<Swatch>(CGRect(130, 10, 40, 40), UIColor::black());
    auto scaled = std::make_shared<Swatch>(CGRect(140, 70, 20, 20), UIColor(0, 0, 1, 1));
    add(red, group, hidden, scaled);
    group->addSubview(a);
    group->addSubview(b);
    group->setAlpha(0.5); // the group composes once: its overlap is no darker
    hidden->setHidden(true);
    scaled->setTransform(CGAffineTransform::makeScale(2, 1)); // about its centre: x 130..170

    ASSERT_TRUE(window->displayIfNeeded());
    save("tree");
    // The swatch's overdraw is clipped to its bounds (8 and 52 stay white).
    probe({{30, 30, {255, 0, 0}},
           {8, 30, white},
           {52, 30, white},
           {65, 30, grey},
           {90, 30, grey},
           {150, 30, white},
           {132, 80, blue},
           {168, 80, blue},
           {150, 95, white}});
    EXPECT_EQ(red->lastRect, CGRect(0, 0, 40, 40)); // always the full bounds
    EXPECT_EQ(hidden->draws, 0);

    // Nothing changed: no redraw. A change redraws everything.
    EXPECT_FALSE(window->displayIfNeeded());
    red->setNeedsDisplay();
    EXPECT_TRUE(window->displayIfNeeded());
    EXPECT_EQ(red->draws, 2);
    hidden->setHidden(false);
    EXPECT_TRUE(window->displayIfNeeded());
    probe({{150, 30, {0, 0, 0}}});
}

TEST_P(WindowDrawing, ACarelessDrawerCannotSpoilItsSiblings) {
    auto careless = std::make_shared<Swatch>(CGRect(10, 10, 20, 20), UIColor::black());
    careless->careless = true;
    auto after = std::make_shared<Swatch>(CGRect(100, 10, 20, 20), UIColor(0, 1, 0, 1));
    add(careless, after);
    window->displayIfNeeded();
    probe({{110, 20, {0, 255, 0}}, {60, 60, white}});
}

TEST_P(WindowDrawing, ZeroScaleAndZeroSizeViewsDrawNothing) {
    auto overlay = std::make_shared<Swatch>(CGRect(10, 10, 100, 100), UIColor::black());
    auto flat = std::make_shared<Swatch>(CGRect(10, 10, 0, 100), UIColor::black());
    auto next = std::make_shared<Swatch>(CGRect(150, 10, 20, 20), UIColor(0, 0, 1, 1));
    add(overlay, flat, next);
    overlay->setTransform(CGAffineTransform::makeScale(0, 0)); // a fading overlay's first frame
    window->displayIfNeeded();
    EXPECT_EQ(overlay->draws, 0);
    probe({{50, 50, white}, {160, 20, blue}});
    overlay->setTransform(CGAffineTransform::makeScale(0.5, 0.5));
    window->displayIfNeeded();
    probe({{60, 60, {0, 0, 0}}, {20, 20, white}});
}

TEST_P(WindowDrawing, StandardViewsLeaveInk) {
    auto label = std::make_shared<UILabel>(CGRect(10, 10, 180, 30));
    label->setText("correlograph");
    label->setFont(*UIFont::named("HelveticaNeue", 14));
    auto button = std::make_shared<UIButton>(CGRect(10, 50, 80, 30));
    button->setTitle("Play");
    button->setTitleColor(UIColor::black());
    auto slider = std::make_shared<UISlider>(CGRect(100, 50, 90, 30));
    slider->setValue(1);
    auto image = std::make_shared<UIImageView>(CGRect(10, 90, 20, 20));
    image->setImage(nullptr);
    add(label, button, slider, image);
    window->displayIfNeeded();
    save("controls");
    auto ink = [this](double x0, double y0, double x1, double y1) {
        auto px = [this](double v) { return static_cast<int>(v * k); };
        return vyk::test::inkCount(window->surface(), px(x0), px(y0), px(x1), px(y1));
    };
    EXPECT_GT(ink(10, 10, 190, 40), 0);
    EXPECT_GT(ink(10, 50, 90, 80), 0);
    EXPECT_EQ(ink(10, 90, 30, 110), 0);
    EXPECT_GT(ink(175, 55, 190, 75), 0); // the full slider's thumb sits at the right end
}

INSTANTIATE_TEST_SUITE_P(Scales, WindowDrawing, ::testing::Values(1.0, 2.0));

TEST(Image, PngRoundTripThroughAView) {
    vyk::gfx::ImageSurface src(4, 2);
    src.clear({0, 0.5, 1, 1});
    const std::string path = ::testing::TempDir() + "vyk-image.png";
    ASSERT_TRUE(src.writePNG(path));
    const auto image = UIImage::fromFile(path);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), (CGSize{4, 2}));
    EXPECT_FALSE(UIImage::fromFile(path + ".missing"));
    EXPECT_FALSE(UIImage::fromData({'n', 'o', 't'}));

    auto window = std::make_shared<UIWindow>(CGSize{40, 20});
    auto view = std::make_shared<UIImageView>(CGRect(0, 0, 40, 20));
    view->setImage(image);
    window->addSubview(view);
    window->displayIfNeeded();
    EXPECT_TRUE(pixelNear(window->surface(), 20, 10, {0, 128, 255}));
}

} // namespace
