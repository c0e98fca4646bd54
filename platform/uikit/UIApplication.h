#pragma once
// The application: its delegate and life cycle, its one window and the
// automation options of its command line.
//
// UIApplicationMain parses the options, makes the delegate from its registered
// class name, opens the window (a desktop window; the offscreen window with
// --headless or, said in one line, when there is no display), shows the scene
// named "Main" in it, tells the delegate that launching finished and that the
// application is active, and runs the main run loop until the window is
// closed, terminate() is called, --run-seconds pass, or SIGINT or SIGTERM
// arrive. At the end the delegate hears that the application resigns, enters
// the background and terminates, and --screenshot writes the window.
//
// Options: --headless; --press NAME (sends touch-up-inside to the visible
// control with that accessibility identifier once the window has settled, see
// holdPresses(); repeatable, in order); --run-seconds N; --screenshot FILE.png.
// Anything else is refused.
//
// Thread rules: main thread, except open().
#include "foundation/URL.h"
#include "uikit/UIWindow.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class Timer;
class UIApplication;

// Keys as the platform names them; this platform passes no launch options.
using UILaunchOptions = std::map<std::string, std::string>;

class UIApplicationDelegate : public UIResponder {
public:
    std::shared_ptr<UIWindow> window; // set by the application before launching finishes
    // application(_:didFinishLaunchingWithOptions:)
    virtual bool application(UIApplication& application, const UILaunchOptions* options) { return true; }
    virtual void applicationWillResignActive(UIApplication&) {}
    virtual void applicationDidEnterBackground(UIApplication&) {}
    virtual void applicationWillEnterForeground(UIApplication&) {}
    virtual void applicationDidBecomeActive(UIApplication&) {}
    virtual void applicationWillTerminate(UIApplication&) {}
};

struct UIAutomationOptions {
    bool headless = false;
    std::vector<std::string> presses;
    std::optional<double> runSeconds;
    std::optional<std::string> screenshot;
};

// None, with the reason in `error`, for arguments that are not the options above.
std::optional<UIAutomationOptions> parseAutomationOptions(int argc, const char* const* argv, std::string* error);

// Keeps the --press options waiting while it lives; see UIApplication::holdPresses().
class UIPressHold {
public:
    ~UIPressHold();
    UIPressHold(const UIPressHold&) = delete;
    UIPressHold& operator=(const UIPressHold&) = delete;

private:
    friend class UIApplication;
    explicit UIPressHold(std::uint64_t session) : session_(session) {}
    const std::uint64_t session_;
};

class UIApplication {
public:
    static UIApplication& shared();

    // Before UIApplicationMain: the delegate classes by name, the title and
    // size (in points) of the window.
    static void registerDelegateClass(const std::string& name,
                                      std::function<std::shared_ptr<UIApplicationDelegate>()> make);
    std::string windowTitle = "Application";
    CGSize windowSize{1024, 768};

    UIApplicationDelegate* delegate() const { return delegate_.get(); }
    const UIAutomationOptions& automation() const { return options_; }

    // Opens a web address in the user's browser (any thread). The completion,
    // if any, runs on the main queue with whether the browser was started.
    void open(const URL& url, const UILaunchOptions& options, std::function<void(bool)> completion = {});

    // Ends the main run loop after the work in hand.
    void terminate();

    // Sends touch-up-inside to the visible control named `identifier` in the
    // window; false when there is none.
    bool press(const std::string& identifier);

    // Start-up work that runs off the main queue and reports back to it (a search, a
    // module load) takes a hold, so that --press acts as a user who clicks once the
    // window has settled: the presses wait until every hold has gone (or for
    // pressHoldLimit seconds, said in one line), and each then waits for the main queue
    // to be idle. Main thread; a hold may be dropped on any thread.
    [[nodiscard]] std::shared_ptr<UIPressHold> holdPresses();
    double pressHoldLimit = 10;

private:
    friend int UIApplicationMain(int, char**, const char*, const char*);
    friend class UIPressHold;
    int run(int argc, char** argv, const std::string& delegateClass);
    void setActive(bool active);
    void releasePressHold(std::uint64_t session);
    void startPresses();
    void pressWhenIdle(std::size_t index);

    std::shared_ptr<UIApplicationDelegate> delegate_;
    UIAutomationOptions options_;
    std::shared_ptr<UIWindow> window_;
    bool active_ = false;
    // Main thread. A session is one run(); holds of another session do not count.
    std::uint64_t session_ = 0;
    int pressHolds_ = 0;
    bool pressesWaiting_ = false;
    std::shared_ptr<Timer> pressLimit_;
};

// Returns the exit status: 0, 1 when the application could not start or its
// screenshot failed, 2 for bad options.
int UIApplicationMain(int argc, char** argv, const char* principalClassName, const char* delegateClassName);
