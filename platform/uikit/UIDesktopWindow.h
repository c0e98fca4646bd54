#pragma once
// A UIWindow shown in a desktop window through SDL2.
//
// The window is drawn at the screen's scale (the drawable's pixels per window
// unit, times GDK_SCALE when set to 2...4), with cairo into the UIWindow's
// surface; only the area of the views marked for display is redrawn and
// uploaded to a streaming texture. The mouse is one touch, the wheel with Ctrl
// a pinch, keys and text go to UIKeyboard. While it exists, SDL's event wait is
// the main run loop's waiter: a post from another thread pushes an SDL event,
// and the window is presented each time the loop runs out of work.
//
// Thread rules: main thread; one at a time.
#include "uikit/UIWindow.h"

#include <functional>
#include <memory>
#include <string>

class UIDesktopWindow {
public:
    struct Callbacks {
        std::function<void()> quit;          // the window was closed
        std::function<void(bool)> focus;     // gained (true) or lost
        std::function<void(bool)> minimized; // minimized (true) or restored
    };
    // Null with a reason in `error` when there is no display or SDL fails.
    static std::unique_ptr<UIDesktopWindow> open(const std::string& title, CGSize size, Callbacks callbacks,
                                                 std::string* error);
    ~UIDesktopWindow();
    UIDesktopWindow(const UIDesktopWindow&) = delete;
    UIDesktopWindow& operator=(const UIDesktopWindow&) = delete;

    const std::shared_ptr<UIWindow>& window() const { return window_; }
    // Redraws what changed and shows it; true when something was shown.
    bool present();
    // The X11 window id (0 elsewhere), for automation.
    unsigned long nativeWindowId() const;

    struct Impl;

private:
    explicit UIDesktopWindow(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
    std::shared_ptr<UIWindow> window_;
};
