#include "avfoundation/WavFileOutputSink.h"

#include "avfoundation/AVAudioError.h"
#include "foundation/Console.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace avf {
namespace {

constexpr std::uint32_t kHeaderBytes = 44;
constexpr std::uint32_t kBytesPerFrame = kOutputChannels * sizeof(float);

void put16(unsigned char* p, std::uint16_t v) {
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}
void put32(unsigned char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(v >> (8 * i));
}

} // namespace

WavFileOutputSink::WavFileOutputSink(std::string path) : path_(std::move(path)) {}

WavFileOutputSink::~WavFileOutputSink() { stop(); }

void WavFileOutputSink::open() {
    fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd_ < 0)
        throw AVAudioError(errno,
                           "The output file '" + path_ + "' could not be written: " + std::strerror(errno) + ".");
    unsigned char header[kHeaderBytes] = {};
    std::memcpy(header, "RIFF", 4);
    std::memcpy(header + 8, "WAVEfmt ", 8);
    put32(header + 16, 16);
    put16(header + 20, 3); // IEEE float
    put16(header + 22, kOutputChannels);
    put32(header + 24, std::uint32_t(kOutputSampleRate));
    put32(header + 28, std::uint32_t(kOutputSampleRate) * kBytesPerFrame);
    put16(header + 32, kBytesPerFrame);
    put16(header + 34, 32);
    std::memcpy(header + 36, "data", 4);
    framesWritten_ = 0;
    full_ = false;
    interleaved_.assign(std::size_t(kOutputCycleFrames) * kOutputChannels, 0.0f);
    if (::write(fd_, header, kHeaderBytes) != ssize_t(kHeaderBytes)) {
        const int error = errno;
        ::close(fd_);
        fd_ = -1;
        throw AVAudioError(error,
                           "The output file '" + path_ + "' could not be written: " + std::strerror(error) + ".");
    }
    writeSizes();
}

void WavFileOutputSink::deliver(const float* const* channels, std::uint32_t frames) {
    if (full_ || fd_ < 0) return;
    const auto limit = std::uint64_t(kMaximumSeconds * kOutputSampleRate);
    if (framesWritten_ + frames > limit) frames = std::uint32_t(limit - framesWritten_);
    for (std::uint32_t i = 0; i < frames; ++i)
        for (std::uint32_t c = 0; c < kOutputChannels; ++c) interleaved_[i * kOutputChannels + c] = channels[c][i];
    const auto bytes = ssize_t(frames * kBytesPerFrame);
    if (::write(fd_, interleaved_.data(), std::size_t(bytes)) != bytes) {
        Console::write("AVAudioEngine: ERROR: Writing '" + path_ + "' failed: " + std::strerror(errno) +
                       ". Later audio is not written.\n");
        full_ = true;
        return;
    }
    framesWritten_ += frames;
    writeSizes();
    if (framesWritten_ == limit) {
        Console::write("AVAudioEngine: The output file '" + path_ +
                       "' reached 5 minutes; later audio is not written.\n");
        full_ = true;
    }
}

void WavFileOutputSink::writeSizes() {
    const auto data = std::uint32_t(framesWritten_ * kBytesPerFrame);
    unsigned char riff[4], chunk[4];
    put32(riff, kHeaderBytes - 8 + data);
    put32(chunk, data);
    // Data size first: a reader finds at worst a RIFF size one cycle short, not a data
    // chunk longer than the file.
    if (::pwrite(fd_, chunk, 4, 40) != 4 || ::pwrite(fd_, riff, 4, 4) != 4) full_ = true;
}

void WavFileOutputSink::close() {
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
}

} // namespace avf
