#include "AppRig.h"
#include "foundation/DispatchQueue.h"
#include "foundation/RunLoop.h"
#include "uikit/UIApplication.h"
#include "uikit/UIButton.h"
#include "uikit/UIStoryboard.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

using Log = std::vector<std::string>;
Log* lifeLog = nullptr;

class TestDelegate : public UIApplicationDelegate {
public:
    bool application(UIApplication&, const UILaunchOptions*) override {
        lifeLog->push_back(window ? "launched with window" : "launched without window");
        return true;
    }
    void applicationWillResignActive(UIApplication&) override { lifeLog->push_back("resign"); }
    void applicationDidEnterBackground(UIApplication&) override { lifeLog->push_back("background"); }
    void applicationDidBecomeActive(UIApplication&) override { lifeLog->push_back("active"); }
    void applicationWillTerminate(UIApplication&) override { lifeLog->push_back("terminate"); }
};

int runApp(std::vector<std::string> args) {
    args.insert(args.begin(), "app");
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    return UIApplicationMain(static_cast<int>(args.size()), argv.data(), nullptr, "TestDelegate");
}

TEST(Application, HeadlessRunPressesControlsAndWritesAScreenshot) {
    Log log;
    lifeLog = &log;
    UIApplication::registerDelegateClass("TestDelegate", [] { return std::make_shared<TestDelegate>(); });
    UIApplication::shared().windowSize = {320, 240};
    UIStoryboard::registerScene("Main", [&log] {
        auto vc = std::make_shared<UIViewController>();
        vc->setViewBuilder([&log](UIView& root) {
            root.setBackgroundColor(UIColor::white());
            auto button = std::make_shared<UIButton>(CGRect{20, 20, 100, 40});
            button->accessibilityIdentifier = "go";
            button->setTitle("Go");
            auto* raw = button.get();
            button->addTarget(
                [&log, raw](UIControl&) {
                    log.push_back("pressed go");
                    raw->setBackgroundColor(UIColor(1, 0, 0, 1));
                },
                UIControlEvents::touchUpInside);
            root.addSubview(button);
            auto hidden = std::make_shared<UIButton>(CGRect{20, 80, 100, 40});
            hidden->accessibilityIdentifier = "hidden";
            hidden->setHidden(true);
            hidden->addTarget([&log](UIControl&) { log.push_back("pressed hidden"); }, UIControlEvents::touchUpInside);
            root.addSubview(hidden);
        });
        return vc;
    });
    const std::string shot = vyk::test::artifactPath("application-headless.png");
    std::filesystem::remove(shot);

    vyk::test::ConsoleLines console;
    EXPECT_EQ(
        runApp({"--headless", "--press", "go", "--press", "hidden", "--run-seconds", "0.05", "--screenshot", shot}), 0);
    EXPECT_EQ(log, (Log{"launched with window", "active", "pressed go", "resign", "background", "terminate"}));
    EXPECT_EQ(console.lines(),
              (std::vector<std::string>{"UIApplication: --press hidden: no control has that accessibility identifier.",
                                        "UIApplication: screenshot written to " + shot}));
    EXPECT_TRUE(std::filesystem::exists(shot)); // its picture is the host program test's

    // Without --headless and without a display it says so and runs offscreen.
    const char* display = std::getenv("DISPLAY");
    const std::string saved = display ? display : "";
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    console.clear();
    EXPECT_EQ(runApp({"--run-seconds", "0"}), 0);
    ASSERT_EQ(console.lines().size(), 1u);
    EXPECT_EQ(console.lines()[0].rfind("UIApplication: no display (", 0), 0u);
    if (display) ::setenv("DISPLAY", saved.c_str(), 1);
    lifeLog = nullptr;
}

// Start-up work off the main queue holds the presses back until it is done and what it
// posted to the main queue has run, as a user clicks once the window has settled. A
// hold that never goes is waited for pressHoldLimit seconds, said in one line.
TEST(Application, PressesWaitForStartUpHoldsAndThenForAnIdleMainQueue) {
    Log log;
    lifeLog = &log;
    std::shared_ptr<UIPressHold> stuck;
    bool keepHold = false;
    UIApplication::registerDelegateClass("TestDelegate", [] { return std::make_shared<TestDelegate>(); });
    UIStoryboard::registerScene("Main", [&] {
        auto vc = std::make_shared<UIViewController>();
        vc->setViewBuilder([&](UIView& root) {
            auto button = std::make_shared<UIButton>(CGRect{20, 20, 100, 40});
            button->accessibilityIdentifier = "go";
            button->addTarget(
                [&log](UIControl&) {
                    log.push_back("pressed go");
                    UIApplication::shared().terminate();
                },
                UIControlEvents::touchUpInside);
            root.addSubview(button);
            auto hold = UIApplication::shared().holdPresses();
            if (keepHold) {
                stuck = hold;
                return;
            }
            DispatchQueue::global().async([&log, hold] {
                std::this_thread::sleep_for(std::chrono::milliseconds(50)); // a search that takes a while
                DispatchQueue::main().async([&log] {
                    log.push_back("found");
                    // Two hops, so the work is still queued when the hold's release runs.
                    DispatchQueue::main().async(
                        [&log] { DispatchQueue::main().async([&log] { log.push_back("shown"); }); });
                });
            });
        });
        return vc;
    });

    vyk::test::ConsoleLines console;
    EXPECT_EQ(runApp({"--headless", "--press", "go", "--run-seconds", "60"}), 0);
    EXPECT_EQ(log, (Log{"launched with window", "active", "found", "shown", "pressed go", "resign", "background",
                        "terminate"}));
    EXPECT_TRUE(console.lines().empty());

    log.clear();
    keepHold = true;
    UIApplication::shared().pressHoldLimit = 0.05;
    EXPECT_EQ(runApp({"--headless", "--press", "go", "--run-seconds", "60"}), 0);
    UIApplication::shared().pressHoldLimit = 10;
    EXPECT_EQ(log, (Log{"launched with window", "active", "pressed go", "resign", "background", "terminate"}));
    EXPECT_EQ(
        console.lines(),
        (std::vector<std::string>{"UIApplication: the start-up has not settled after 0.05 seconds; pressing anyway."}));
    stuck.reset();
    RunLoop::main().runUntilIdle();
    lifeLog = nullptr;
}

TEST(Application, RefusesBadOptionsAndUnknownDelegates) {
    const char* bad[][3] = {{"--run-seconds", "-1", nullptr},
                            {"--run-seconds", "nan", nullptr},
                            {"--screenshot", "shot.jpg", nullptr},
                            {"--press", nullptr, nullptr},
                            {"--verbose", nullptr, nullptr}};
    for (const auto& args : bad) {
        const char* argv[] = {"app", args[0], args[1], nullptr};
        std::string error;
        EXPECT_FALSE(parseAutomationOptions(args[1] ? 3 : 2, argv, &error)) << args[0];
        EXPECT_FALSE(error.empty());
    }

    vyk::test::ConsoleLines console;
    EXPECT_EQ(runApp({"--bogus"}), 2);
    std::vector<char*> argv{const_cast<char*>("app"), nullptr};
    EXPECT_EQ(UIApplicationMain(1, argv.data(), nullptr, "NoSuchDelegate"), 1);
    EXPECT_EQ(console.lines().back(),
              "UIApplication: there is no application delegate class named \"NoSuchDelegate\".");
}

} // namespace
