#pragma once
// Collects what the system writes to the console while it lives; the engine's
// service thread may write too.
#include "foundation/Console.h"

#include <mutex>
#include <string>

class ConsoleLines {
public:
    ConsoleLines() {
        previous_ = Console::setSink([this](std::string_view text) {
            std::lock_guard lock(mutex_);
            all_ += text;
        });
    }
    ~ConsoleLines() { Console::setSink(previous_); }
    std::string text() {
        std::lock_guard lock(mutex_);
        return all_;
    }

private:
    std::mutex mutex_;
    std::string all_;
    Console::Sink previous_;
};
