#pragma once
// Plays into a 32-bit float stereo WAV file in real time. The header's sizes are brought
// up to date after every cycle, so the file is valid however the process ends; at
// 5 minutes writing stops, with one line, while the engine keeps running.
#include "avfoundation/PacedOutputSink.h"

#include <cstdint>
#include <string>

namespace avf {

class WavFileOutputSink final : public PacedOutputSink {
public:
    static constexpr double kMaximumSeconds = 300.0;

    explicit WavFileOutputSink(std::string path);
    ~WavFileOutputSink() override;
    std::string description() const override { return "the WAV file '" + path_ + "'"; }
    const std::string& path() const { return path_; }

private:
    void open() override; // throws AVAudioError when the file cannot be written
    void deliver(const float* const* channels, std::uint32_t frames) override;
    void close() override;
    void writeSizes();

    std::string path_;
    int fd_ = -1;
    std::uint64_t framesWritten_ = 0;
    bool full_ = false;
    std::vector<float> interleaved_;
};

} // namespace avf
