#pragma once
// Test helpers shared by several test folders: a temporary folder removed
// afterwards, environment variables set for one test and restored after it, and
// the console text written while a capture lives.
#include "foundation/Console.h"
#include "foundation/RunLoop.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace vyk::test {

// Where a test writes a file for people to look at: the artefacts folder, else here.
inline std::string artifactPath(const std::string& name) {
    const char* dir = std::getenv("VYK_ARTIFACTS_DIR");
    return std::string(dir && *dir ? dir : ".") + "/" + name;
}

class TemporaryFolder {
public:
    TemporaryFolder() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && base[0] == '/' ? base : "/tmp") + "/vyk-test-XXXXXX";
        if (!::mkdtemp(pattern.data())) ADD_FAILURE() << "mkdtemp failed";
        path_ = pattern;
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    std::string file(const std::string& name) const { return *this / name; }

private:
    std::string path_;
};

class EnvironmentGuard {
public:
    ~EnvironmentGuard() {
        for (const auto& [name, value] : saved_) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
    }
    void set(const std::string& name, const std::optional<std::string>& value) {
        if (!saved_.count(name)) {
            const char* old = std::getenv(name.c_str());
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        if (value)
            ::setenv(name.c_str(), value->c_str(), 1);
        else
            ::unsetenv(name.c_str());
    }

private:
    std::map<std::string, std::optional<std::string>> saved_;
};

// Takes the console sink while it lives; writes may come from any thread. Lines
// queued on the main loop reach it when the loop drains (`drained`).
class ConsoleCapture {
public:
    ConsoleCapture() {
        previous_ = Console::setSink([this](std::string_view t) {
            std::lock_guard<std::mutex> lock(mutex_);
            text_ += t;
        });
    }
    ~ConsoleCapture() { Console::setSink(previous_); }
    ConsoleCapture(const ConsoleCapture&) = delete;
    ConsoleCapture& operator=(const ConsoleCapture&) = delete;

    std::string text() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return text_;
    }
    std::vector<std::string> lines() const {
        std::istringstream in(text());
        std::vector<std::string> out;
        for (std::string line; std::getline(in, line);) out.push_back(line);
        return out;
    }
    void clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        text_.clear();
    }
    // Drains the main loop, then hands over and forgets the text so far.
    std::string drained() {
        RunLoop::main().runUntilIdle();
        std::lock_guard<std::mutex> lock(mutex_);
        return std::exchange(text_, {});
    }

private:
    Console::Sink previous_;
    mutable std::mutex mutex_;
    std::string text_;
};

} // namespace vyk::test
