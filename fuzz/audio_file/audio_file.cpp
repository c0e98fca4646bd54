// Feeds arbitrary bytes, as a file, to the audio file reader and converts what it reads
// to the engine's format (48 kHz stereo). Whatever the bytes: no exception but AVAudioError, no sample
// that is not finite, and no more samples, nor memory, than the reader's limits allow.
// The seeds are small WAV, FLAC, Ogg and m4a files written with tests/avfoundation's
// TestMedia (a tone of a few hundred frames).
#include "avfoundation/AVAudioError.h"
#include "avfoundation/AVAudioFile.h"
#include "foundation/Console.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include <sys/resource.h>
#include <unistd.h>

namespace {

// Decoded samples, their conversion, the resampler and the sanitizers' own share.
constexpr long kPeakKilobytes = 2L << 20;

std::string& inputPath() {
    static std::string path = [] {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && base[0] == '/' ? base : "/tmp") + "/vyk-fuzz-audio-XXXXXX";
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0) std::abort();
        ::close(fd);
        return pattern;
    }();
    return path;
}

// Uninstrumented: a per-sample comparison in this loop would be traced for coverage.
__attribute__((no_sanitize("coverage"))) void check(const AVAudioPCMBuffer& buffer) {
    const std::size_t channels = buffer.format().channelCount();
    if (std::size_t(buffer.frameLength()) * channels > AVAudioFile::kMaximumSamples) std::abort();
    for (std::size_t c = 0; c < channels; ++c)
        for (AVAudioFrameCount i = 0; i < buffer.frameLength(); ++i)
            if (!std::isfinite(buffer.floatChannelData()[c][i])) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Console::setSink([](std::string_view) {});
    std::atexit([] { ::unlink(inputPath().c_str()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = inputPath();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr || std::fwrite(data, 1, size, f) != size || std::fclose(f) != 0) std::abort();
    try {
        const AVAudioFile file(URL::fileURL(path));
        const std::size_t channels = file.processingFormat().channelCount();
        if (file.length() <= 0 || std::size_t(file.length()) * channels > AVAudioFile::kMaximumSamples) std::abort();
        check(*file.converted(AVAudioFormat(48000, 2)));
    } catch (const AVAudioError&) {
    } catch (...) {
        std::abort();
    }
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    if (usage.ru_maxrss > kPeakKilobytes) std::abort();
    return 0;
}
