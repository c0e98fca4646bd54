// The panel's two roads, in µs (median per iteration, counter "median_us"):
// - a touch-down on a switch until the unit's parameter has changed, delivered at once
//   under the virtual clock and as a posted input event through the real run loop;
// - a parameter set on another thread until the panel shows it and is redrawn, with
//   the main loop drained by hand under the virtual clock, and with the real main
//   run loop woken by the post ("mirrored_median_us": until the model holds the value,
//   before the redraw, which is most of the cost).
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
#include <functional>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Panel {
    Panel() {
        previous = Console::setSink([](std::string_view) {});
        controller = AudioUnitViewController::make();
        controller->showIn(*window);
        controller->createAudioUnit({0x61756D66, 0x766B7762, 0x464C4E52, 0, 0});
        RunLoop::main().runUntilIdle();
        window->displayIfNeeded();
        swap = controller->audioUnit()->parameterTree()->parameterWithAddress(28);
    }
    ~Panel() {
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

void reportMedian(benchmark::State& state, std::vector<double>& us, const char* name = "median_us") {
    std::nth_element(us.begin(), us.begin() + us.size() / 2, us.end());
    state.counters[name] = us.empty() ? 0 : us[us.size() / 2];
}

double since(Clock::time_point t) { return std::chrono::duration<double, std::micro>(Clock::now() - t).count(); }

void TouchDownToParameter(benchmark::State& state) {
    RunLoop::main().setVirtualClock(true);
    Panel p;
    std::vector<double> us;
    for (auto _ : state) {
        const float before = p.swap->value();
        RunLoop::main().advance(1); // never a double tap
        const auto t0 = Clock::now();
        p.window->mouseDown({50, 240});
        const double d = since(t0);
        if (p.swap->value() == before) state.SkipWithError("the touch did not reach the unit");
        us.push_back(d);
        p.window->mouseUp({50, 240});
        RunLoop::main().runUntilIdle();
        p.window->displayIfNeeded();
    }
    reportMedian(state, us);
    RunLoop::main().setVirtualClock(false);
}
BENCHMARK(TouchDownToParameter)->Unit(benchmark::kMicrosecond);

// A host thread that, once per turn, notes the time and runs `action`.
class Host {
public:
    explicit Host(std::function<void(int turn)> action)
        : thread_([this, action = std::move(action)] {
              for (int turn = 1;; ++turn) {
                  while (go_.load() < turn && !done_) std::this_thread::yield();
                  if (done_) return;
                  t0 = Clock::now();
                  action(turn);
                  set_ = turn;
              }
          }) {}
    ~Host() {
        done_ = true;
        thread_.join();
    }
    // Starts the next turn; with `wait`, returns once its action is done.
    void turn(bool wait) {
        const int t = ++turns_;
        go_ = t;
        while (wait && set_.load() < t) std::this_thread::yield();
    }
    Clock::time_point t0; // written before the set, read after it is published

private:
    std::atomic<int> go_{0}, set_{0};
    std::atomic<bool> done_{false};
    int turns_ = 0;
    std::thread thread_;
};

// The same touch as an input event that the real main run loop delivers.
void TouchDownToParameterRunLoop(benchmark::State& state) {
    Panel p;
    std::vector<double> us;
    Host* hostPtr = nullptr;
    Host host([&](int) {
        DispatchQueue::main().async([&] {
            const float before = p.swap->value();
            p.window->mouseDown({50, 240});
            us.push_back(since(hostPtr->t0));
            if (p.swap->value() == before) state.SkipWithError("the touch did not reach the unit");
            p.window->mouseUp({50, 240});
            RunLoop::main().stop();
        });
    });
    hostPtr = &host;
    for (auto _ : state) {
        host.turn(false);
        RunLoop::main().run();
        RunLoop::main().runUntilIdle();
        p.window->displayIfNeeded();
        std::this_thread::sleep_for(std::chrono::milliseconds(400)); // never a double tap
    }
    reportMedian(state, us);
}
BENCHMARK(TouchDownToParameterRunLoop)->Unit(benchmark::kMicrosecond)->Iterations(20);

// Host automation, the main side drained by hand: mirrored, then redrawn.
void AutomationToRedrawVirtualClock(benchmark::State& state) {
    RunLoop::main().setVirtualClock(true);
    Panel p;
    std::vector<double> us, mirrored;
    Host host([&](int turn) { p.swap->setValue(float(turn % 2)); });
    for (auto _ : state) {
        host.turn(true);
        RunLoop::main().runUntilIdle();
        mirrored.push_back(since(host.t0));
        p.window->displayDamage();
        us.push_back(since(host.t0));
        if (p.controller->mainView->baseClass().isSwapOn[2] != (p.swap->value() == 1))
            state.SkipWithError("the panel did not follow");
    }
    reportMedian(state, us);
    reportMedian(state, mirrored, "mirrored_median_us"); // before the redraw
    RunLoop::main().setVirtualClock(false);
}
BENCHMARK(AutomationToRedrawVirtualClock)->Unit(benchmark::kMicrosecond);

// The same with the real main run loop, woken by the posts: after the mirror's own
// post, a second one draws and stops the loop.
void AutomationToRedrawRunLoop(benchmark::State& state) {
    Panel p;
    std::vector<double> us;
    Host* hostPtr = nullptr;
    Host host([&](int turn) {
        p.swap->setValue(float(turn % 2));
        DispatchQueue::main().async([&] {
            p.window->displayDamage();
            us.push_back(since(hostPtr->t0));
            RunLoop::main().stop();
        });
    });
    hostPtr = &host;
    for (auto _ : state) {
        host.turn(false);
        RunLoop::main().run();
    }
    reportMedian(state, us);
}
BENCHMARK(AutomationToRedrawRunLoop)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
