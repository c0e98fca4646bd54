#include "avfoundation/AVAudioFile.h"

#include "avfoundation/AVAudioError.h"
#include "avfoundation/FFmpegLog.h"
#include "foundation/Console.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

#include <sys/stat.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

namespace {

// Containers we open; everything else (playlists, streams, images) is refused.
constexpr const char* kFormatWhitelist = "mov,wav,flac,mp3,ogg";
constexpr const char* kCodecWhitelist =
    "aac,mp3,mp3float,flac,vorbis,opus,libopus,pcm_s16le,pcm_s24le,pcm_s32le,pcm_f32le,"
    "pcm_f64le,pcm_u8,pcm_s16be,pcm_s24be,pcm_s32be,pcm_f32be,pcm_f64be,pcm_mulaw,pcm_alaw,alac";

std::string averror(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

[[noreturn]] void fail(int code, const std::string& path, const std::string& reason) {
    throw AVAudioError(code, "The audio file '" + path + "' could not be read: " + reason + ".");
}

struct FormatCloser {
    void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
struct CodecCloser {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct PacketFree {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct FrameFree {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct SwrFree {
    void operator()(SwrContext* s) const { swr_free(&s); }
};

// Copies every `step`th sample of `from` into `to` as floats.
template <typename Sample, typename Convert>
void copySamples(const std::uint8_t* from, int step, int n, float* to, Convert convert) {
    const auto* samples = reinterpret_cast<const Sample*>(from);
    for (int i = 0; i < n; ++i) to[i] = convert(samples[std::ptrdiff_t(i) * step]);
}

// Appends one decoded frame, in whatever sample layout the decoder gives, as floats.
// Samples that are not finite become 0 and are counted. Each channel grows by half
// at a time, never beyond `capacity` frames.
bool appendFrame(const AVFrame& frame, std::vector<std::vector<float>>& out, std::size_t capacity,
                 std::size_t& nonFinite) {
    const auto format = static_cast<AVSampleFormat>(frame.format);
    const AVSampleFormat packed = av_get_packed_sample_fmt(format);
    const int channels = int(out.size());
    const bool planar = av_sample_fmt_is_planar(format) != 0;
    const int n = frame.nb_samples;
    const int step = planar ? 1 : channels;
    for (int c = 0; c < channels; ++c) {
        auto& dst = out[std::size_t(c)];
        const std::size_t base = dst.size();
        if (base + std::size_t(n) > dst.capacity())
            dst.reserve(std::min(capacity, std::max(base + std::size_t(n), base + base / 2)));
        dst.resize(base + std::size_t(n));
        float* to = dst.data() + base;
        const std::uint8_t* from =
            planar ? frame.extended_data[c] : frame.extended_data[0] + c * av_get_bytes_per_sample(format);
        switch (packed) {
        case AV_SAMPLE_FMT_FLT:
            copySamples<float>(from, step, n, to, [](float v) { return v; });
            break;
        case AV_SAMPLE_FMT_DBL:
            copySamples<double>(from, step, n, to, [](double v) { return float(v); });
            break;
        case AV_SAMPLE_FMT_S16:
            copySamples<std::int16_t>(from, step, n, to, [](std::int16_t v) { return float(v) / 32768.0f; });
            break;
        case AV_SAMPLE_FMT_S32:
            copySamples<std::int32_t>(from, step, n, to,
                                      [](std::int32_t v) { return float(double(v) / 2147483648.0); });
            break;
        case AV_SAMPLE_FMT_U8:
            copySamples<std::uint8_t>(from, step, n, to, [](std::uint8_t v) { return float(int(v) - 128) / 128.0f; });
            break;
        default:
            return false;
        }
        if (packed == AV_SAMPLE_FMT_FLT || packed == AV_SAMPLE_FMT_DBL)
            for (float* p = to; p != to + n; ++p)
                if (!std::isfinite(*p)) {
                    *p = 0.0f;
                    ++nonFinite;
                }
    }
    return true;
}

AVChannelLayout defaultLayout(int channels) {
    AVChannelLayout layout;
    av_channel_layout_default(&layout, channels);
    return layout;
}

std::string hertz(double rate) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g Hz", rate);
    return text;
}

std::string rateRange() {
    return std::to_string(AVAudioFile::kMinimumSampleRate) + " to " + std::to_string(AVAudioFile::kMaximumSampleRate) +
           " Hz";
}

// Runs `body`, turning any other exception into an AVAudioError that names the file.
template <typename Body>
auto onlyAVAudioError(const std::string& path, const std::string& failure, Body&& body) {
    try {
        return body();
    } catch (const AVAudioError&) {
        throw;
    } catch (const std::bad_alloc&) {
        throw AVAudioError(kAVAudioErrorOutOfMemory,
                           "The audio file '" + path + "' " + failure + ": there is not enough memory.");
    } catch (const std::exception& e) {
        throw AVAudioError(kAVAudioErrorDecodeFailed,
                           "The audio file '" + path + "' " + failure + ": " + e.what() + ".");
    }
}

} // namespace

AVAudioFile::AVAudioFile(const URL& fileURL) : url_(fileURL), format_(48000.0, 2) {
    onlyAVAudioError(url_.path(), "could not be read", [this] { read(); });
}

void AVAudioFile::read() {
    avf::routeFFmpegLogToConsole();
    const std::string& path = url_.path();
    if (!url_.isFileURL() && !url_.scheme().empty())
        fail(kAVAudioErrorFormatNotAllowed, url_.absoluteString(), "only local files are read");

    // Refuse what is not a plain file before FFmpeg sees it: a FIFO would block.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) fail(errno, path, std::strerror(errno));
    if (!S_ISREG(info.st_mode)) fail(kAVAudioErrorFileNotReadable, path, "it is not a regular file");

    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    av_dict_set(&options, "format_whitelist", kFormatWhitelist, 0);
    av_dict_set(&options, "codec_whitelist", kCodecWhitelist, 0);
    AVFormatContext* raw = avformat_alloc_context();
    if (raw == nullptr) throw std::bad_alloc();
    const int opened = avformat_open_input(&raw, ("file:" + path).c_str(), nullptr, &options);
    av_dict_free(&options);
    if (opened < 0) {
        // EINVAL: a format off the whitelist (a playlist, say).
        if (opened == AVERROR(EINVAL) || opened == AVERROR_INVALIDDATA)
            fail(kAVAudioErrorFormatNotAllowed, path,
                 "it is not an audio file of a known format (m4a, WAV, FLAC, MP3, Ogg)");
        fail(kAVAudioErrorFileNotReadable, path, averror(opened));
    }
    std::unique_ptr<AVFormatContext, FormatCloser> container(raw);
    if (int r = avformat_find_stream_info(raw, nullptr); r < 0) fail(kAVAudioErrorDecodeFailed, path, averror(r));

    const AVCodec* codec = nullptr;
    const int index = av_find_best_stream(raw, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (index < 0 || codec == nullptr) fail(kAVAudioErrorFileNotReadable, path, "it holds no audio we can decode");
    for (unsigned i = 0; i < raw->nb_streams; ++i)
        if (int(i) != index) raw->streams[i]->discard = AVDISCARD_ALL;
    AVStream* stream = raw->streams[index];

    std::unique_ptr<AVCodecContext, CodecCloser> decoder(avcodec_alloc_context3(codec));
    if (!decoder) throw std::bad_alloc();
    avcodec_parameters_to_context(decoder.get(), stream->codecpar);
    decoder->thread_count = 1;
    AVDictionary* codecOptions = nullptr;
    av_dict_set(&codecOptions, "codec_whitelist", kCodecWhitelist, 0);
    const int codecOpened = avcodec_open2(decoder.get(), codec, &codecOptions);
    av_dict_free(&codecOptions);
    if (codecOpened < 0) fail(kAVAudioErrorFormatNotAllowed, path, averror(codecOpened));

    const int channels = decoder->ch_layout.nb_channels;
    const int rate = decoder->sample_rate;
    if (channels < 1 || channels > int(kAudioBufferListCapacity))
        fail(kAVAudioErrorFileNotReadable, path,
             "it has " + std::to_string(channels) + " channels (1 to " + std::to_string(kAudioBufferListCapacity) +
                 " are read)");
    if (rate <= 0) fail(kAVAudioErrorFileNotReadable, path, "it has no sample rate");
    if (rate < kMinimumSampleRate || rate > kMaximumSampleRate)
        fail(kAVAudioErrorFormatNotAllowed, path,
             "its sample rate of " + std::to_string(rate) + " Hz is outside " + rateRange());
    // What is decoded, not what the container claims, is held to both limits.
    const std::size_t maximumFrames = std::size_t(kMaximumSeconds * rate);
    const std::size_t capacity = std::min(maximumFrames, kMaximumSamples / std::size_t(channels));
    std::size_t nonFinite = 0;

    samples_.assign(std::size_t(channels), {});
    std::unique_ptr<AVPacket, PacketFree> packet(av_packet_alloc());
    std::unique_ptr<AVFrame, FrameFree> frame(av_frame_alloc());
    if (!packet || !frame) throw std::bad_alloc();
    auto drain = [&] {
        for (;;) {
            const int r = avcodec_receive_frame(decoder.get(), frame.get());
            if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return;
            if (r < 0) fail(kAVAudioErrorDecodeFailed, path, averror(r));
            // A chained Ogg stream may change its rate: played at the first rate, the
            // later part would be out of tune.
            const int frameRate = frame->sample_rate;
            if (frameRate != 0 && frameRate != rate) {
                av_frame_unref(frame.get());
                fail(kAVAudioErrorFormatNotAllowed, path,
                     "its sample rate changes from " + std::to_string(rate) + " Hz to " + std::to_string(frameRate) +
                         " Hz");
            }
            const std::size_t total = samples_[0].size() + std::size_t(std::max(frame->nb_samples, 0));
            if (total > capacity) {
                av_frame_unref(frame.get());
                if (total > maximumFrames) fail(kAVAudioErrorFileTooLong, path, "it is longer than 10 minutes");
                fail(kAVAudioErrorFileTooLong, path,
                     "it holds more than " + std::to_string(kMaximumSamples) +
                         " samples (10 minutes of stereo at 48 kHz)");
            }
            const bool ok =
                frame->ch_layout.nb_channels == channels && appendFrame(*frame, samples_, capacity, nonFinite);
            av_frame_unref(frame.get());
            if (!ok) fail(kAVAudioErrorDecodeFailed, path, "its channel count or sample format changes");
        }
    };
    for (;;) {
        const int r = av_read_frame(raw, packet.get());
        if (r == AVERROR_EOF) break;
        if (r < 0) fail(kAVAudioErrorDecodeFailed, path, averror(r));
        if (packet->stream_index == index) {
            const int sent = avcodec_send_packet(decoder.get(), packet.get());
            av_packet_unref(packet.get());
            if (sent < 0 && sent != AVERROR(EAGAIN)) fail(kAVAudioErrorDecodeFailed, path, averror(sent));
            drain();
        } else {
            av_packet_unref(packet.get());
        }
    }
    avcodec_send_packet(decoder.get(), nullptr);
    drain();

    // AAC ends on a whole 1024-frame packet; the container's duration says where the
    // audio really ends (the decoder already dropped the priming at the start). An m4a
    // file keeps that end to the millisecond.
    std::size_t frames = samples_[0].size();
    if (decoder->codec_id == AV_CODEC_ID_AAC && stream->duration != AV_NOPTS_VALUE && stream->duration > 0) {
        const auto exact = std::size_t(av_rescale_q(stream->duration, stream->time_base, AVRational{1, rate}));
        if (exact < frames) {
            frames = exact;
            for (auto& channel : samples_) channel.resize(frames);
        }
    }
    if (frames == 0) fail(kAVAudioErrorDecodeFailed, path, "it holds no audio frames");
    if (nonFinite > 0)
        Console::write("AVAudioFile: WARNING: The audio file '" + path + "' holds " + std::to_string(nonFinite) +
                       " samples that are not finite numbers; they are read as 0.\n");
    format_ = AVAudioFormat(double(rate), AVAudioChannelCount(channels));
    length_ = AVAudioFramePosition(frames);
}

std::shared_ptr<const AVAudioPCMBuffer> AVAudioFile::converted(const AVAudioFormat& format) const {
    std::lock_guard lock(cacheMutex_);
    if (cache_ && cache_->format() == format) return cache_;
    cache_ = onlyAVAudioError(url_.path(), "could not be converted", [&] { return convert(format); });
    return cache_;
}

std::shared_ptr<const AVAudioPCMBuffer> AVAudioFile::convert(const AVAudioFormat& format) const {
    auto refuse = [&](int code, const std::string& reason) {
        throw AVAudioError(code, "The audio file '" + url_.path() + "' could not be converted to " +
                                     hertz(format.sampleRate()) + ": " + reason + ".");
    };
    const double rate = format.sampleRate();
    if (rate < kMinimumSampleRate || rate > kMaximumSampleRate)
        refuse(kAVAudioErrorFormatNotAllowed, "only rates from " + rateRange() + " are made");
    const bool sameRate = rate == format_.sampleRate();
    const double exactFrames = sameRate ? double(length_) : std::round(double(length_) * rate / format_.sampleRate());
    if (exactFrames * format.channelCount() > double(kMaximumSamples))
        refuse(kAVAudioErrorFileTooLong, "that would be more than " + std::to_string(kMaximumSamples) + " samples");
    const auto frames = AVAudioFrameCount(exactFrames);

    // Channels are chosen first, so only the ones kept are resampled: a mono file's one
    // channel, else the first ones, up to the format's count.
    const AVAudioChannelCount sourceChannels = format_.channelCount();
    const AVAudioChannelCount kept = sourceChannels == 1 ? 1 : std::min(sourceChannels, format.channelCount());
    auto buffer = std::make_shared<AVAudioPCMBuffer>(format, frames);
    float* const* out = buffer->floatChannelData();
    if (sameRate) {
        for (AVAudioChannelCount c = 0; c < kept; ++c) std::memcpy(out[c], samples_[c].data(), frames * sizeof(float));
    } else {
        AVChannelLayout layout = defaultLayout(int(kept));
        SwrContext* raw = nullptr;
        if (swr_alloc_set_opts2(&raw, &layout, AV_SAMPLE_FMT_FLTP, int(rate), &layout, AV_SAMPLE_FMT_FLTP,
                                int(format_.sampleRate()), 0, nullptr) < 0 ||
            swr_init(raw) < 0) {
            swr_free(&raw);
            refuse(kAVAudioErrorDecodeFailed, "the resampler could not be set up");
        }
        std::unique_ptr<SwrContext, SwrFree> swr(raw);
        // Fed in pieces, so the resampler's own buffers stay small. What it makes beyond
        // `frames` is dropped; what it falls short by (its rounding) stays silent.
        constexpr AVAudioFramePosition piece = 1 << 16;
        std::uint8_t* to[kAudioBufferListCapacity] = {};
        const std::uint8_t* from[kAudioBufferListCapacity] = {};
        AVAudioFrameCount filled = 0;
        int made = 0;
        for (AVAudioFramePosition at = 0; made >= 0 && filled < frames; at += piece) {
            const int n = int(std::clamp<AVAudioFramePosition>(length_ - at, 0, piece)); // 0: flush
            for (AVAudioChannelCount c = 0; c < kept; ++c) {
                to[c] = reinterpret_cast<std::uint8_t*>(out[c] + filled);
                from[c] = n > 0 ? reinterpret_cast<const std::uint8_t*>(samples_[c].data() + at) : nullptr;
            }
            const int room = std::min(int(frames - filled), std::max(swr_get_out_samples(swr.get(), n), 0));
            made = swr_convert(swr.get(), to, room, n > 0 ? from : nullptr, n);
            if (made > 0) filled += AVAudioFrameCount(made);
            if (n == 0) break;
        }
        if (made < 0) refuse(kAVAudioErrorDecodeFailed, averror(made));
        // Finite samples near the largest float may sum past it in the filter.
        for (AVAudioChannelCount c = 0; c < kept; ++c)
            for (float* p = out[c]; p != out[c] + frames; ++p)
                if (!std::isfinite(*p)) *p = 0.0f;
    }
    if (sourceChannels == 1)
        for (AVAudioChannelCount c = 1; c < format.channelCount(); ++c)
            std::memcpy(out[c], out[0], frames * sizeof(float));
    buffer->setFrameLength(frames);
    return buffer;
}
