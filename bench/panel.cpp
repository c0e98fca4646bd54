// The effect's panel in a window shaped like the plug-in's: one full panel draw, and
// one correlograph refresh as the 25 Hz timer causes it (the correlograph view marked
// for display, the window redrawing the area it covers), at 1x and 2x.
#include "ui/CorrelographViewBase.h"
#include "ui/VYKOrmeltaViewBase.h"
#include "uikit/UIGraphics.h"
#include "uikit/UIWindow.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

class PanelView : public UIView {
public:
    using UIView::UIView;
    VYKOrmeltaViewBase model;
    bool cached = false;
    void draw(CGRect) override {
        if (cached)
            model.drawCached(bounds());
        else
            model.draw(bounds());
    }
};

// A snapshot of a wide stereo signal: two sines a little apart.
class ScopeView : public UIView {
public:
    explicit ScopeView(CGRect frame) : UIView(frame), left(1024), right(1024) {
        for (int i = 0; i < 1024; ++i) {
            left[i] = 0.8f * std::sin(0.031f * i);
            right[i] = 0.6f * std::sin(0.029f * i + 0.7f);
        }
    }
    CorrelographViewBase base;
    std::vector<float> left, right;
    void draw(CGRect) override { base.drawSnapshot(left.data(), right.data(), 1024, bounds()); }
};

struct Panel {
    std::shared_ptr<UIWindow> window;
    std::shared_ptr<PanelView> panel;
    std::shared_ptr<ScopeView> scope;
    Panel(double scale, bool cached)
        : window(std::make_shared<UIWindow>(CGSize{680, 600}, scale)),
          panel(std::make_shared<PanelView>(CGRect{0, 0, 680, 600})),
          scope(std::make_shared<ScopeView>(CGRect{212, 252, 256, 256})) {
        panel->cached = cached;
        window->addSubview(panel);
        window->addSubview(scope);
        window->displayIfNeeded();
    }
};

// Arguments: device scale; 1 when the panel view draws through its backing store.
// A full draw is what a model change causes: the cache is invalidated each time.
void BM_PanelFullDraw(benchmark::State& state) {
    Panel p(static_cast<double>(state.range(0)), state.range(1) != 0);
    for (auto _ : state) {
        p.panel->model.currentMode = p.panel->model.currentMode == 2 ? 1 : 2;
        p.window->setNeedsRedraw();
        benchmark::DoNotOptimize(p.window->displayIfNeeded());
    }
}
BENCHMARK(BM_PanelFullDraw)->ArgsProduct({{1, 2}, {0, 1}})->Unit(benchmark::kMillisecond);

void BM_CorrelographRefresh(benchmark::State& state) {
    Panel p(static_cast<double>(state.range(0)), state.range(1) != 0);
    for (auto _ : state) {
        p.scope->setNeedsDisplay();
        benchmark::DoNotOptimize(p.window->displayDamage());
    }
}
BENCHMARK(BM_CorrelographRefresh)->ArgsProduct({{1, 2}, {0, 1}})->Unit(benchmark::kMillisecond);

} // namespace

namespace {
void BM_ScopeOnly(benchmark::State& state) {
    vyk::gfx::ImageSurface image(256 * state.range(0), 256 * state.range(0));
    CGContext cx(image.cairoSurface(), static_cast<double>(state.range(0)));
    vyk::ui::CurrentContext current(cx);
    ScopeView scope({0, 0, 256, 256});
    const char* modes[] = {"points", "ovals", "bezier"};
    scope.base.drawMode = modes[state.range(1)];
    for (auto _ : state) scope.draw({});
}
BENCHMARK(BM_ScopeOnly)->ArgsProduct({{1, 2}, {0, 1, 2}})->Unit(benchmark::kMillisecond);
void BM_PanelOnly(benchmark::State& state) {
    vyk::gfx::ImageSurface image(680 * state.range(0), 600 * state.range(0));
    CGContext cx(image.cairoSurface(), static_cast<double>(state.range(0)));
    vyk::ui::CurrentContext current(cx);
    VYKOrmeltaViewBase model;
    for (auto _ : state) model.draw();
}
BENCHMARK(BM_PanelOnly)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
} // namespace

BENCHMARK_MAIN();
