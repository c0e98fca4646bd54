#pragma once
// Shared pieces of the view-controller tests: console capture and clicks.
#include "foundation/Console.h"
#include "uikit/UIWindow.h"

#include <mutex>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace vyk::test {

class ConsoleLines {
public:
    ConsoleLines()
    {
        previous_ = Console::setSink([this](std::string_view t) {
            std::lock_guard<std::mutex> lock(mutex_);
            text_ += t;
        });
    }
    ~ConsoleLines() { Console::setSink(previous_); }
    std::vector<std::string> lines() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        std::istringstream in(text_);
        std::vector<std::string> out;
        for (std::string line; std::getline(in, line);)
            out.push_back(line);
        return out;
    }
    void clear()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        text_.clear();
    }

private:
    Console::Sink previous_;
    mutable std::mutex mutex_;
    std::string text_;
};

// A click at the centre of a view, in window coordinates.
inline void click(UIWindow& window, const UIView& view)
{
    const CGRect b = view.bounds();
    const CGPoint p = view.convert(CGPoint{b.midX(), b.midY()}, nullptr);
    window.mouseDown(p);
    window.mouseUp(p);
}

} // namespace vyk::test
