// The panel's two roads, in µs (median per iteration, counter "median_us"):
// - a touch-down on a switch until the unit's parameter has changed;
// - a parameter set on another thread until the panel shows it and is redrawn, with
//   the main loop drained by hand under the virtual clock, and with the real main
//   run loop woken by the post.
#include "audiounit/VYK_Wimbrax_Extension_AudioUnit.h"
#include "foundation/Console.h"
#include "foundation/DispatchQueue.h"
#include "foundation/RunLoop.h"
#include "ui/AudioUnitViewController.h"
#include "ui/VYKOrmeltaView.h"
#include "uikit/UIWindow.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Panel {
    Panel()
    {
        previous = Console::setSink([](std::string_view) {});
        controller = AudioUnitViewController::make();
        controller->showIn(*window);
        controller->createAudioUnit({0x61756D66, 0x766B7762, 0x464C4E52, 0, 0});
        RunLoop::main().runUntilIdle();
        window->displayIfNeeded();
        swap = controller->audioUnit()->parameterTree()->parameterWithAddress(28);
    }
    ~Panel()
    {
        controller.reset();
        window.reset();
        RunLoop::main().runUntilIdle();
        Console::setSink(previous);
    }
    Console::Sink previous;
    std::shared_ptr<UIWindow> window = std::make_shared<UIWindow>(CGSize{680, 600});
    std::shared_ptr<AudioUnitViewController> controller;
    std::shared_ptr<AUParameter> swap;
};

void reportMedian(benchmark::State& state, std::vector<double>& us)
{
    std::nth_element(us.begin(), us.begin() + us.size() / 2, us.end());
    state.counters["median_us"] = us.empty() ? 0 : us[us.size() / 2];
}

double since(Clock::time_point t) { return std::chrono::duration<double, std::micro>(Clock::now() - t).count(); }

void TouchDownToParameter(benchmark::State& state)
{
    RunLoop::main().setVirtualClock(true);
    Panel p;
    std::vector<double> us;
    for (auto _ : state) {
        const float before = p.swap->value();
        RunLoop::main().advance(1);  // never a double tap
        const auto t0 = Clock::now();
        p.window->mouseDown({50, 240});
        const double d = since(t0);
        if (p.swap->value() == before)
            state.SkipWithError("the touch did not reach the unit");
        us.push_back(d);
        p.window->mouseUp({50, 240});
        RunLoop::main().runUntilIdle();
        p.window->displayIfNeeded();
    }
    reportMedian(state, us);
    RunLoop::main().setVirtualClock(false);
}
BENCHMARK(TouchDownToParameter)->Unit(benchmark::kMicrosecond);

// Host automation: a thread sets the value, the main side drains, mirrors and redraws.
void AutomationToRedrawVirtualClock(benchmark::State& state)
{
    RunLoop::main().setVirtualClock(true);
    Panel p;
    std::vector<double> us;
    float v = 0;
    for (auto _ : state) {
        v = v == 0 ? 1 : 0;
        const auto t0 = Clock::now();
        std::thread([&] { p.swap->setValue(v); }).join();
        RunLoop::main().runUntilIdle();
        p.window->displayDamage();
        us.push_back(since(t0));
        if (p.controller->mainView->baseClass().isSwapOn[2] != (v == 1))
            state.SkipWithError("the panel did not follow");
    }
    reportMedian(state, us);
    RunLoop::main().setVirtualClock(false);
}
BENCHMARK(AutomationToRedrawVirtualClock)->Unit(benchmark::kMicrosecond);

void AutomationToRedrawRunLoop(benchmark::State& state)
{
    Panel p;
    std::vector<double> us;
    std::atomic<int> go{0};
    std::atomic<bool> done{false};
    Clock::time_point t0;
    // One host thread for the whole run; each turn sets the value, then asks the
    // main loop (after the mirror's own post) to draw and stop.
    std::thread host([&] {
        for (int turn = 1; !done; ++turn) {
            while (go.load() < turn && !done)
                std::this_thread::yield();
            if (done)
                break;
            t0 = Clock::now();
            p.swap->setValue(turn % 2);
            DispatchQueue::main().async([&] {
                p.window->displayDamage();
                us.push_back(since(t0));
                RunLoop::main().stop();
            });
        }
    });
    int turn = 0;
    for (auto _ : state) {
        go = ++turn;
        RunLoop::main().run();
    }
    done = true;
    host.join();
    reportMedian(state, us);
}
BENCHMARK(AutomationToRedrawRunLoop)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
