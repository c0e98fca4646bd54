// The desktop window under the fixture's Xvfb: open, draw, redraw what changed,
// read the pixels back from the X server, close.
#include "TestEnvironment.h"
#include "foundation/DispatchQueue.h"
#include "foundation/RunLoop.h"
#include "foundation/Timer.h"
#include "uikit/UIBezierPath.h"
#include "uikit/UIDesktopWindow.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

namespace {

bool useFixtureDisplay() {
    const char* file = std::getenv("VYK_XVFB_DISPLAY_FILE");
    std::string number;
    if (file) std::ifstream(file) >> number;
    if (number.empty()) return false;
    ::setenv("DISPLAY", (":" + number).c_str(), 1);
    ::unsetenv("WAYLAND_DISPLAY");
    ::unsetenv("GDK_SCALE");
    return true;
}

// Runs the main loop (SDL's wait) until `done` or two seconds have passed.
bool runUntil(const std::function<bool()>& done) {
    bool ok = false;
    auto poll = Timer::scheduledTimer(0.01, true, [&](Timer&) {
        if (done()) {
            ok = true;
            RunLoop::main().stop();
        }
    });
    auto limit = Timer::scheduledTimer(2, false, [](Timer&) { RunLoop::main().stop(); });
    RunLoop::main().run();
    poll->invalidate();
    limit->invalidate();
    return ok;
}

unsigned long screenPixel(unsigned long window, int x, int y) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return ~0ul;
    XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
    const unsigned long pixel = image ? XGetPixel(image, 0, 0) & 0xFFFFFF : ~0ul;
    if (image) XDestroyImage(image);
    XCloseDisplay(display);
    return pixel;
}

// A view that paints itself in one colour; a new colour only marks it for display.
class Swatch : public UIView {
public:
    using UIView::UIView;
    void setColour(UIColor c) {
        colour_ = c;
        setNeedsDisplay();
    }
    void draw(CGRect rect) override {
        colour_.setFill();
        UIBezierPath::rect(rect).fill();
    }

private:
    UIColor colour_ = UIColor(1, 0, 0, 1);
};

TEST(DesktopWindow, DrawsAndRedrawsWhatChanged) {
    ASSERT_TRUE(useFixtureDisplay()) << "no display from the Xvfb fixture";
    bool closed = false;
    std::string error;
    auto desktop = UIDesktopWindow::open("display test", {200, 150}, {[&] { closed = true; }, {}, {}}, &error);
    ASSERT_TRUE(desktop) << error;
    UIWindow& window = *desktop->window();
    EXPECT_EQ(window.screenScale(), 1);
    auto root = std::make_shared<UIView>(window.bounds());
    root->setBackgroundColor(UIColor(0, 0, 1, 1));
    auto button = std::make_shared<Swatch>(CGRect{20, 20, 80, 60});
    root->addSubview(button);
    window.addSubview(root);

    const unsigned long id = desktop->nativeWindowId();
    ASSERT_NE(id, 0u);
    EXPECT_TRUE(runUntil([&] { return screenPixel(id, 60, 50) == 0xFF0000; }));
    EXPECT_EQ(screenPixel(id, 150, 120), 0x0000FFu);

    // Only the button is marked for display, so only its area is redrawn (clicks through
    // the X server are the host's window test).
    button->setColour(UIColor(0, 1, 0, 1));
    EXPECT_TRUE(runUntil([&] { return screenPixel(id, 60, 50) == 0x00FF00; }));
    EXPECT_EQ(screenPixel(id, 150, 120), 0x0000FFu);
    button->setColour(UIColor(1, 1, 0, 1));
    EXPECT_EQ(window.displayDamage(), (std::array<int, 4>{20, 20, 80, 60}));
    window.writePNG(vyk::test::artifactPath("desktop-window.png"));

    // Another thread's post wakes SDL's wait at once.
    bool woke = false;
    std::thread([&] { DispatchQueue::main().async([&] { woke = true; }); }).join();
    EXPECT_TRUE(runUntil([&] { return woke; }));
    EXPECT_FALSE(closed);
    desktop.reset();
}

} // namespace
