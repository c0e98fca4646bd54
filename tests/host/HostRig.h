#pragma once
// The host in-process with the effect's module: the main scene in an offscreen
// window, playing into the manual sink, its resources (loop 1: a 440 Hz tone on the left only, exactly
// 220 periods; a two-page manual) in a temporary folder, the browser replaced by
// a list of the addresses it was asked to open.
#include "../avfoundation/TestMedia.h"
#include "../uikit_app/AppRig.h"

#include "avfoundation/ManualOutputSink.h"
#include "foundation/BrowserLauncher.h"
#include "foundation/RunLoop.h"
#include "host/HostEnvironment.h"
#include "host/Scenes.h"
#include "host/ViewController.h"
#include "uikit/UIStoryboard.h"

#include <cairo-pdf.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace host::test {

constexpr std::size_t kLoopFrames = 24000; // 0.5 s at 48 kHz

inline void writeLoop(const std::string& path) {
    media::Channels audio(2, std::vector<float>(kLoopFrames, 0.0f));
    for (std::size_t i = 0; i < kLoopFrames; ++i)
        audio[0][i] = 0.5f * float(std::sin(2 * M_PI * 440.0 * double(i) / 48000));
    media::encode(path, "aac", audio, 48000);
}

inline void writeManual(const std::string& path) {
    cairo_surface_t* pdf = cairo_pdf_surface_create(path.c_str(), 400, 300);
    cairo_t* cr = cairo_create(pdf);
    for (double grey : {0.0, 0.5}) {
        cairo_set_source_rgb(cr, grey, grey, grey);
        cairo_rectangle(cr, 0, 0, 400, 150); // the upper half of each page
        cairo_fill(cr);
        cairo_show_page(cr);
    }
    cairo_destroy(cr);
    cairo_surface_destroy(pdf);
}

// What a shell command prints (with its error output), and its exit status when not 0.
inline std::string shellOutput(const std::string& command) {
    std::string text;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    char buffer[4096];
    while (std::size_t n = pipe ? std::fread(buffer, 1, sizeof buffer, pipe) : 0) text.append(buffer, n);
    if (const int status = pipe ? ::pclose(pipe) : -1) text += "\n(exit status " + std::to_string(status) + ")";
    return text;
}

struct HostRig {
    // Plays into the manual sink, or into `output` when given; shows the main scene.
    explicit HostRig(std::shared_ptr<avf::AudioOutputSink> output = nullptr, bool showMain = true) {
        ::setenv("AUDIO_COMPONENT_PATH", VYK_TEST_PLUGINS_DIR, 1);
        writeLoop(folder.file("1.m4a"));
        writeManual(folder.file("manual.pdf"));
        environment().makeOutputSink = [s = output ? output : sink] { return s; };
        environment().loopNumber = [] { return 1; };
        environment().resourceFolder = URL::fileURL(folder.path());
        Foundation::setBrowserOpener([this](const URL& url, std::string*) {
            opened.push_back(url.absoluteString());
            return true;
        });
        registerScenes();
        window = std::make_shared<UIWindow>(CGSize{kWindowWidth, kWindowHeight});
        if (!showMain) return;
        controller = std::dynamic_pointer_cast<ViewController>(UIStoryboard::instantiate("Main"));
        controller->showIn(*window);
    }
    ~HostRig() {
        if (controller && controller->presentedViewController()) controller->dismiss(false);
        controller.reset();
        window.reset();
        RunLoop::main().runUntilIdle();
        environment() = {};
        Foundation::setBrowserOpener({});
    }

    // Drains the main queue until `done` (at most ten seconds).
    template <class Done>
    bool pumpUntil(Done done) {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!done()) {
            RunLoop::main().runUntilIdle();
            if (std::chrono::steady_clock::now() > limit) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }
    bool hasLine(const std::string& line) const {
        const auto lines = console.lines();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    // A click on a visible control.
    bool press(const std::shared_ptr<UIButton>& button) {
        if (!button || button->isHidden()) return false;
        vyk::test::click(*window, *button);
        return true;
    }
    // Pulls `frames` frames through the engine in device-sized cycles, at about five
    // times the device's pace, so the player's threads keep up as they would live.
    void render(std::size_t frames) {
        for (std::size_t done = 0; done < frames; done += 512) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            const auto* out = sink->render(512);
            left.insert(left.end(), out[0].begin(), out[0].begin() + 512);
            right.insert(right.end(), out[1].begin(), out[1].begin() + 512);
        }
    }

    vyk::test::ConsoleLines console;
    media::TempFolder folder;
    std::vector<std::string> opened;
    std::shared_ptr<avf::ManualOutputSink> sink = std::make_shared<avf::ManualOutputSink>();
    std::shared_ptr<UIWindow> window;
    std::shared_ptr<ViewController> controller;
    std::vector<float> left, right;
};

} // namespace host::test
