// The program's window under the fixture's Xvfb: the unit button shows the panel,
// play starts playback, and the correlograph moves between two pictures.
#include "HostRig.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <fstream>

extern char** environ;

namespace {

// The pixels of a rectangle of the window, as 0xRRGGBB.
std::vector<unsigned long> picture(unsigned long window, int x, int y, int w, int h) {
    std::vector<unsigned long> pixels;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return pixels;
    if (XImage* image = XGetImage(display, window, x, y, unsigned(w), unsigned(h), AllPlanes, ZPixmap)) {
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) pixels.push_back(XGetPixel(image, i, j) & 0xFFFFFF);
        XDestroyImage(image);
    }
    XCloseDisplay(display);
    return pixels;
}

template <class Done>
bool eventually(Done done) {
    for (int i = 0; i < 200; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(25)))
        if (done()) return true;
    return false;
}

} // namespace

TEST(HostWindow, TheUnitButtonShowsThePanelAndPlayingMovesTheCorrelograph) {
    std::string number;
    if (const char* file = std::getenv("VYK_XVFB_DISPLAY_FILE")) std::ifstream(file) >> number;
    ASSERT_FALSE(number.empty()) << "no display from the Xvfb fixture";
    ::setenv("DISPLAY", (":" + number).c_str(), 1);
    ::unsetenv("WAYLAND_DISPLAY");
    ::setenv("VYK_AUDIO_OUTPUT", "null", 1);
    ::unsetenv("AUDIO_COMPONENT_PATH"); // the bundle's own module

    char* argv[] = {const_cast<char*>(VYK_HOST_PROGRAM), const_cast<char*>("--run-seconds"), const_cast<char*>("60"),
                    nullptr};
    pid_t pid = -1;
    ASSERT_EQ(posix_spawn(&pid, argv[0], nullptr, nullptr, argv, environ), 0);
    const unsigned long window = std::strtoul(
        host::test::shellOutput("timeout 10 xdotool search --sync --name '^VYK-Wimbrax$' | head -n 1").c_str(), nullptr,
        10);
    ASSERT_NE(window, 0u);

    // The plug-in area, below the bar: empty until the unit button is pressed.
    const int top = int(host::kBarHeight), w = int(host::kWindowWidth), h = int(host::kWindowHeight) - top;
    ASSERT_TRUE(eventually([&] { return picture(window, 48, 24, 1, 1) != picture(window, 0, top + 10, 1, 1); }));
    const auto empty = picture(window, 0, top, w, h);
    const std::string click = "xdotool mousemove --window " + std::to_string(window);
    host::test::shellOutput(click + " 48 24 click 1"); // Unit
    EXPECT_TRUE(eventually([&] { return picture(window, 0, top, w, h) != empty; }));
    host::test::shellOutput(click + " 136 24 click 1"); // Play

    // The correlograph (the panel's middle square) moves while playing.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const auto first = picture(window, 232, top + 272, 216, 216);
    EXPECT_TRUE(eventually([&] { return picture(window, 232, top + 272, 216, 216) != first; }));
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}
