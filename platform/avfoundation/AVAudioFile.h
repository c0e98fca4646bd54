#pragma once
// An audio file opened for reading: m4a/AAC, WAV, FLAC, MP3 or Ogg (Vorbis, Opus, FLAC).
// Opening decodes the whole file into memory, so length() is exact and a corrupt file
// fails at once. Encoder priming and end padding are trimmed to the stream's duration,
// so a file played pass after pass loops sample-exactly. Files over 10 minutes are
// refused.
// Thread rules: any thread (control threads only; never the render thread).
#include "avfoundation/AVAudioFormat.h"
#include "avfoundation/AVAudioPCMBuffer.h"
#include "foundation/URL.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

using AVAudioFramePosition = std::int64_t;

class AVAudioFile {
public:
    static constexpr double kMaximumSeconds = 600.0;

    // forReading. Throws AVAudioError naming the file and the reason.
    explicit AVAudioFile(const URL& fileURL);

    const URL& url() const { return url_; }
    // Float, non-interleaved, at the file's rate and channel count.
    const AVAudioFormat& processingFormat() const { return format_; }
    AVAudioFramePosition length() const { return length_; }

    // The whole file at `format`: resampled with libswresample when the rates differ
    // (to exactly round(length * rate / fileRate) frames), a mono file duplicated, a
    // wider one cut to the first channels, a narrower one's missing channels silent.
    // The result of the last call is kept, so scheduling a loop again costs nothing.
    // Throws AVAudioError when conversion fails.
    std::shared_ptr<const AVAudioPCMBuffer> converted(const AVAudioFormat& format) const;

private:
    URL url_;
    AVAudioFormat format_;
    AVAudioFramePosition length_ = 0;
    std::vector<std::vector<float>> samples_;  // one array per channel

    mutable std::mutex cacheMutex_;
    mutable std::shared_ptr<const AVAudioPCMBuffer> cache_;
};
