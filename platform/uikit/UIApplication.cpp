#include "uikit/UIApplication.h"

#include "foundation/BrowserLauncher.h"
#include "foundation/Console.h"
#include "foundation/DispatchQueue.h"
#include "foundation/RunLoop.h"
#include "foundation/Timer.h"
#include "uikit/UIControl.h"
#include "uikit/UIDesktopWindow.h"
#include "uikit/UIStoryboard.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

namespace {
std::map<std::string, std::function<std::shared_ptr<UIApplicationDelegate>()>>& delegateClasses() {
    static std::map<std::string, std::function<std::shared_ptr<UIApplicationDelegate>()>> registry;
    return registry;
}

void say(const std::string& line) { Console::write(line + "\n"); }

// Hidden controls cannot be pressed.
UIControl* findControl(UIView& view, const std::string& identifier) {
    if (view.isHidden()) return nullptr;
    if (view.accessibilityIdentifier == identifier)
        if (auto* control = dynamic_cast<UIControl*>(&view)) return control;
    // Topmost first, so a control of a presented dialog wins.
    const auto subviews = view.subviews();
    for (auto it = subviews.rbegin(); it != subviews.rend(); ++it)
        if (UIControl* found = findControl(**it, identifier)) return found;
    return nullptr;
}

bool endsWithPNG(const std::string& s) {
    if (s.size() < 5) return false;
    std::string tail = s.substr(s.size() - 4);
    for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".png";
}
} // namespace

std::optional<UIAutomationOptions> parseAutomationOptions(int argc, const char* const* argv, std::string* error) {
    UIAutomationOptions options;
    auto fail = [error](std::string why) -> std::optional<UIAutomationOptions> {
        if (error) *error = std::move(why);
        return std::nullopt;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i] ? argv[i] : "";
        const bool hasValue = i + 1 < argc && argv[i + 1];
        if (arg == "--headless") {
            options.headless = true;
        } else if (arg == "--press" || arg == "--run-seconds" || arg == "--screenshot") {
            if (!hasValue) return fail(arg + " needs a value");
            const std::string value = argv[++i];
            if (arg == "--press") {
                if (value.empty()) return fail("--press needs a control's accessibility identifier");
                options.presses.push_back(value);
            } else if (arg == "--run-seconds") {
                char* end = nullptr;
                const double n = std::strtod(value.c_str(), &end);
                if (value.empty() || *end != '\0' || !std::isfinite(n) || n < 0 || n > 1e6)
                    return fail("--run-seconds needs a number of seconds from 0 to 1000000, not \"" + value + "\"");
                options.runSeconds = n;
            } else {
                if (!endsWithPNG(value))
                    return fail("--screenshot needs a file name ending in .png, not \"" + value + "\"");
                options.screenshot = value;
            }
        } else {
            return fail("unknown option \"" + arg + "\"");
        }
    }
    return options;
}

UIApplication& UIApplication::shared() {
    static UIApplication application;
    return application;
}

void UIApplication::registerDelegateClass(const std::string& name,
                                          std::function<std::shared_ptr<UIApplicationDelegate>()> make) {
    delegateClasses()[name] = std::move(make);
}

void UIApplication::open(const URL& url, const UILaunchOptions&, std::function<void(bool)> completion) {
    std::string error;
    const bool started = Foundation::openInBrowser(url, &error);
    if (!started) say("UIApplication: " + error);
    if (completion) DispatchQueue::main().async([completion = std::move(completion), started] { completion(started); });
}

void UIApplication::terminate() { RunLoop::main().stop(); }

bool UIApplication::press(const std::string& identifier) {
    UIControl* control = window_ ? findControl(*window_, identifier) : nullptr;
    if (!control) return false;
    const auto keep = control->shared_from_this();
    control->sendActions(UIControlEvents::touchUpInside);
    return true;
}

UIPressHold::~UIPressHold() {
    DispatchQueue::main().async([session = session_] { UIApplication::shared().releasePressHold(session); });
}

std::shared_ptr<UIPressHold> UIApplication::holdPresses() {
    ++pressHolds_;
    return std::shared_ptr<UIPressHold>(new UIPressHold(session_));
}

void UIApplication::releasePressHold(std::uint64_t session) {
    if (session != session_ || pressHolds_ == 0) return;
    if (--pressHolds_ == 0) startPresses();
}

void UIApplication::startPresses() {
    if (!pressesWaiting_) return;
    pressesWaiting_ = false;
    if (pressLimit_) pressLimit_->invalidate();
    pressWhenIdle(0);
}

// One press per idle main queue, so whatever a press posts is done before the next,
// as between a user's clicks.
void UIApplication::pressWhenIdle(std::size_t index) {
    if (index >= options_.presses.size()) return;
    RunLoop::main().performWhenIdle([this, index, session = session_] {
        if (session != session_ || !window_) return;
        const std::string& name = options_.presses[index];
        if (!press(name)) say("UIApplication: --press " + name + ": no control has that accessibility identifier.");
        pressWhenIdle(index + 1);
    });
}

void UIApplication::setActive(bool active) {
    if (active == active_ || !delegate_) return;
    active_ = active;
    active ? delegate_->applicationDidBecomeActive(*this) : delegate_->applicationWillResignActive(*this);
}

int UIApplication::run(int argc, char** argv, const std::string& delegateClass) {
    std::string error;
    auto options = parseAutomationOptions(argc, argv, &error);
    if (!options) {
        say("UIApplication: " + error + ".");
        say("Options: --headless, --press NAME (repeatable), --run-seconds N, --screenshot FILE.png");
        return 2;
    }
    options_ = *options;
    ++session_;
    pressHolds_ = 0;
    const auto made = delegateClasses().find(delegateClass);
    if (made == delegateClasses().end() || !made->second || !(delegate_ = made->second())) {
        say("UIApplication: there is no application delegate class named \"" + delegateClass + "\".");
        return 1;
    }

    std::unique_ptr<UIDesktopWindow> desktop;
    if (!options_.headless) {
        UIDesktopWindow::Callbacks callbacks;
        callbacks.quit = [this] { terminate(); };
        callbacks.focus = [this](bool gained) { setActive(gained); };
        callbacks.minimized = [this](bool minimized) {
            minimized ? delegate_->applicationDidEnterBackground(*this)
                      : delegate_->applicationWillEnterForeground(*this);
        };
        desktop = UIDesktopWindow::open(windowTitle, windowSize, std::move(callbacks), &error);
        if (!desktop) say("UIApplication: no display (" + error + "); running with the offscreen window.");
    }
    window_ = desktop ? desktop->window() : std::make_shared<UIWindow>(windowSize);
    delegate_->window = window_;

    int status = 0;
    std::shared_ptr<UIViewController> root;
    try {
        root = UIStoryboard::instantiate("Main");
        root->showIn(*window_);
    } catch (const UISceneError& e) {
        say(std::string("UIApplication: cannot show the main scene: ") + e.what() + ".");
        status = 1;
    }
    std::shared_ptr<Timer> deadline;
    if (status == 0) {
        delegate_->application(*this, nullptr);
        setActive(true);
        if (!options_.presses.empty()) {
            pressesWaiting_ = true;
            if (pressHolds_ == 0) {
                startPresses();
            } else {
                pressLimit_ = Timer::scheduledTimer(pressHoldLimit, false, [this](Timer&) {
                    std::ostringstream limit;
                    limit << pressHoldLimit;
                    say("UIApplication: the start-up has not settled after " + limit.str() +
                        " seconds; pressing anyway.");
                    startPresses();
                });
            }
        }
        if (options_.runSeconds)
            deadline = Timer::scheduledTimer(*options_.runSeconds, false, [this](Timer&) { terminate(); });
        RunLoop::main().run();
        setActive(false);
        delegate_->applicationDidEnterBackground(*this);
        delegate_->applicationWillTerminate(*this);
        if (options_.screenshot) {
            if (window_->writePNG(*options_.screenshot, &error)) {
                say("UIApplication: screenshot written to " + *options_.screenshot);
            } else {
                say("UIApplication: could not write the screenshot " + *options_.screenshot + ": " + error);
                status = 1;
            }
        }
    }
    if (deadline) deadline->invalidate();
    pressesWaiting_ = false;
    if (pressLimit_) pressLimit_->invalidate();
    pressLimit_.reset();
    if (root && root->presentedViewController()) root->dismiss(false);
    root.reset();
    delegate_->window.reset();
    window_.reset();
    desktop.reset();
    return status;
}

int UIApplicationMain(int argc, char** argv, const char*, const char* delegateClassName) {
    return UIApplication::shared().run(argc, argv, delegateClassName ? delegateClassName : "");
}
