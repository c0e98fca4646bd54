#pragma once
// What the unit's tests share: the registered description, a console capture, a private
// documents folder, and a host that renders through the unit's render block.
#include "audiotoolbox/AUAudioStatus.h"
#include "audiounit/VYK_Wimbrax_Extension_AudioUnit.h"
#include "foundation/Console.h"
#include "foundation/RunLoop.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace unitrig {

// 'aumf', 'vkwb', 'FLNR'
constexpr AudioComponentDescription kDescription{0x61756D66, 0x766B7762, 0x464C4E52, 0, 0};

class ConsoleCapture {
public:
    ConsoleCapture() {
        previous_ = Console::setSink([this](std::string_view text) { text_ += text; });
    }
    ~ConsoleCapture() { Console::setSink(previous_); }
    ConsoleCapture(const ConsoleCapture&) = delete;
    ConsoleCapture& operator=(const ConsoleCapture&) = delete;

    // Lines printed so far, those the main queue holds included.
    std::vector<std::string> lines() const {
        std::istringstream in(text());
        std::vector<std::string> out;
        for (std::string line; std::getline(in, line);) out.push_back(line);
        return out;
    }
    const std::string& text() const {
        RunLoop::main().runUntilIdle();
        return text_;
    }
    void clear() { text_.clear(); }

private:
    Console::Sink previous_;
    std::string text_;
};

// A fresh documents folder for one test, with its Presets folder.
class Documents {
public:
    Documents() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vyk-unit-XXXXXX").string();
        root_ = mkdtemp(pattern.data());
        previous_ = std::getenv("VYK_WIMBRAX_DOCUMENTS") ? std::getenv("VYK_WIMBRAX_DOCUMENTS") : "";
        setenv("VYK_WIMBRAX_DOCUMENTS", root_.c_str(), 1);
    }
    ~Documents() {
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
        setenv("VYK_WIMBRAX_DOCUMENTS", previous_.c_str(), 1);
    }
    std::filesystem::path presets() const { return root_ / "Presets"; }
    std::filesystem::path makePresets() const {
        std::filesystem::create_directories(presets());
        return presets();
    }

private:
    std::filesystem::path root_;
    std::string previous_;
};

inline std::shared_ptr<VYK_Wimbrax_Extension_AudioUnit> makeUnit() {
    return std::make_shared<VYK_Wimbrax_Extension_AudioUnit>(kDescription);
}

struct Stereo {
    std::vector<float> l, r;
    explicit Stereo(std::size_t n = 0, float v = 0.0f) : l(n, v), r(n, v) {}
};

// Renders through the unit's render block, pulling `in` from `offset` into `out` at
// the same offset.
class Host {
public:
    explicit Host(std::shared_ptr<VYK_Wimbrax_Extension_AudioUnit> unit) : unit(std::move(unit)) {}

    bool allocate() {
        if (!unit->allocateRenderResources()) return false;
        block = unit->renderBlock();
        return true;
    }

    AUAudioUnitStatus render(const Stereo& in, Stereo& out, std::size_t offset, AUAudioFrameCount frames,
                             const AURenderEvent* events = nullptr) {
        input_ = &in;
        offset_ = offset;
        AudioBufferList list{};
        list.mNumberBuffers = 2;
        list.mBuffers[0] = {1, frames * 4u, out.l.data() + offset};
        list.mBuffers[1] = {1, frames * 4u, out.r.data() + offset};
        AudioTimeStamp ts{};
        ts.mSampleTime = static_cast<double>(offset);
        ts.mFlags = kAudioTimeStampSampleTimeValid;
        AudioUnitRenderActionFlags flags = 0;
        return block(&flags, &ts, frames, 0, &list, events, &pull_);
    }

    std::shared_ptr<VYK_Wimbrax_Extension_AudioUnit> unit;
    AURenderBlock block;

private:
    const Stereo* input_ = nullptr;
    std::size_t offset_ = 0;
    AURenderPullInputBlock pull_ = [this](AudioUnitRenderActionFlags*, const AudioTimeStamp*, AUAudioFrameCount n,
                                          NSInteger, AudioBufferList* l) {
        std::memcpy(l->mBuffers[0].mData, input_->l.data() + offset_, n * sizeof(float));
        std::memcpy(l->mBuffers[1].mData, input_->r.data() + offset_, n * sizeof(float));
        return noErr;
    };
};

} // namespace unitrig
