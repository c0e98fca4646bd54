// A full redraw of a 680 x 600 view tree shaped like the plug-in panel: a few
// hundred filled and stroked paths (knob faces in transparency layers, dashed
// axes, rounded boxes) and twenty text boxes measured and drawn in clips.
#include "uikit/NSStringDrawing.h"
#include "uikit/UIBezierPath.h"
#include "uikit/UIGraphics.h"
#include "uikit/UIWindow.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <string>

namespace {

constexpr double degrees = std::numbers::pi / 180;

class PanelLike : public UIView {
public:
    using UIView::UIView;
    void draw(CGRect) override {
        CGContext& cx = *UIGraphicsGetCurrentContext();
        const UIColor emphasis(0.226, 0.781, 0.145, 1);
        for (int i = 0; i < 60; ++i) { // 60 knob faces: 4 paths each, in layers
            const CGFloat x = 30 + (i % 12) * 54, y = 40 + (i / 12) * 110;
            cx.saveGState();
            cx.translateBy(x, y);
            cx.setAlpha(0.5);
            cx.beginTransparencyLayer();
            UIBezierPath face;
            face.addArc({0, 0}, 15.5, -230 * degrees, 50 * degrees, true);
            face.addLine({0, 0});
            face.close();
            UIColor::black().withAlphaComponent(0.1).setFill();
            face.fill();
            UIColor::gray().setStroke();
            face.lineWidth = 0.5;
            face.stroke();
            cx.endTransparencyLayer();
            UIBezierPath rim = UIBezierPath::ovalIn({-15, -15, 31, 31});
            rim.lineWidth = 2;
            UIColor::black().setStroke();
            rim.stroke();
            cx.rotate((i * 7 % 280 - 140) * degrees);
            UIBezierPath pointer;
            pointer.move({0, -14});
            pointer.addLine({0, 0});
            pointer.lineWidth = 2;
            pointer.lineCapStyle = CGLineCap::round;
            emphasis.setStroke();
            pointer.stroke();
            cx.restoreGState();
        }
        for (int i = 0; i < 40; ++i) { // 40 rounded boxes, filled and stroked
            UIBezierPath box = UIBezierPath::roundedRect({20.0 + (i % 8) * 80, 60.0 + (i / 8) * 110, 70, 26}, 4);
            UIColor::black().withAlphaComponent(0.1).setFill();
            box.fill();
            UIColor::black().withAlphaComponent(0.5).setStroke();
            box.stroke();
        }
        cx.saveGState();
        cx.setLineDash(2, {2, 2});
        for (int i = 0; i < 20; ++i) { // 20 dashed lines
            UIBezierPath axis;
            axis.move({212, 252.0 + i * 12.8});
            axis.addLine({468, 252.0 + i * 12.8});
            axis.lineWidth = 0.5;
            axis.stroke();
        }
        cx.restoreGState();
        const NSStringAttributes attributes{
            UIFont::named("HelveticaNeue", 10), UIColor::black(), {NSTextAlignment::center}};
        for (int i = 0; i < 20; ++i) { // 20 text boxes: measure, clip, draw
            const CGRect box(20.0 + (i % 5) * 130, 90.0 + (i / 5) * 110, 120, 22);
            const std::string text = "stereo width: " + std::to_string(i * 5 - 50) + "%";
            const CGFloat h =
                NSString::boundingRect(text, {box.width(), 1e9}, usesLineFragmentOrigin, attributes).height();
            cx.saveGState();
            cx.clip(box);
            NSString::draw(text, {box.minX(), box.minY() + (box.height() - h) / 2, box.width(), h}, attributes);
            cx.restoreGState();
        }
    }
};

void fullRedraw(benchmark::State& state) {
    const double scale = static_cast<double>(state.range(0));
    auto window = std::make_shared<UIWindow>(CGSize{680, 600}, scale);
    window->setBackgroundColor(UIColor::white());
    auto panel = std::make_shared<PanelLike>(CGRect(0, 0, 680, 600));
    window->addSubview(panel);
    for (auto _ : state) {
        panel->setNeedsDisplay();
        benchmark::DoNotOptimize(window->displayIfNeeded());
    }
    state.SetLabel(std::to_string(static_cast<int>(scale)) + "x");
}
BENCHMARK(fullRedraw)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
