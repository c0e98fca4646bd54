#pragma once
// An audio file opened for reading: m4a/AAC, WAV, FLAC, MP3 or Ogg (Vorbis, Opus, FLAC).
// Opening decodes the whole file into memory, so length() is exact and a corrupt file
// fails at once. The decoded audio, never a container's claim, decides the length;
// AAC priming and end padding are trimmed to the stream's duration, so a file played
// pass after pass loops sample-exactly. Refused, before the memory is taken: files over
// 10 minutes, files or conversions over kMaximumSamples, rates outside
// kMinimumSampleRate to kMaximumSampleRate, and a chained stream whose rate or channel
// count changes. Samples that are not finite read as 0, with one warning line per file.
// Nothing but AVAudioError leaves the class.
// Thread rules: any thread (control threads only; never the render thread).
#include "avfoundation/AVAudioFormat.h"
#include "avfoundation/AVAudioPCMBuffer.h"
#include "foundation/URL.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

using AVAudioFramePosition = std::int64_t;

class AVAudioFile {
public:
    static constexpr double kMaximumSeconds = 600.0;
    // Frames times channels, decoded or converted: 10 minutes of stereo at 48 kHz.
    static constexpr std::size_t kMaximumSamples = 600 * 48000 * 2;
    // Sample rates read from files and converted to.
    static constexpr int kMinimumSampleRate = 1000;
    static constexpr int kMaximumSampleRate = 768000;

    // forReading. Throws AVAudioError naming the file and the reason.
    explicit AVAudioFile(const URL& fileURL);

    const URL& url() const { return url_; }
    // Float, non-interleaved, at the file's rate and channel count.
    const AVAudioFormat& processingFormat() const { return format_; }
    AVAudioFramePosition length() const { return length_; }

    // The whole file at `format`: a mono file duplicated, a wider one cut to the first
    // channels, a narrower one's missing channels silent, then only the channels kept
    // resampled with libswresample when the rates differ (to exactly
    // round(length * rate / fileRate) frames). The result of the last call is kept, so
    // scheduling a loop again costs nothing. Throws AVAudioError when conversion fails.
    std::shared_ptr<const AVAudioPCMBuffer> converted(const AVAudioFormat& format) const;

private:
    void read();
    std::shared_ptr<const AVAudioPCMBuffer> convert(const AVAudioFormat& format) const;

    URL url_;
    AVAudioFormat format_;
    AVAudioFramePosition length_ = 0;
    std::vector<std::vector<float>> samples_; // one array per channel

    mutable std::mutex cacheMutex_;
    mutable std::shared_ptr<const AVAudioPCMBuffer> cache_;
};
