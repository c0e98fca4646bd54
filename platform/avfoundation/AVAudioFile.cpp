#include "avfoundation/AVAudioFile.h"

#include "avfoundation/AVAudioError.h"
#include "avfoundation/FFmpegLog.h"

#include <cerrno>
#include <cmath>
#include <cstring>
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

// Appends one decoded frame, in whatever sample layout the decoder gives, as floats.
bool appendFrame(const AVFrame& frame, std::vector<std::vector<float>>& out) {
    const auto format = static_cast<AVSampleFormat>(frame.format);
    const int channels = int(out.size());
    const bool planar = av_sample_fmt_is_planar(format) != 0;
    const int n = frame.nb_samples;
    for (int c = 0; c < channels; ++c) {
        auto& dst = out[std::size_t(c)];
        const std::size_t base = dst.size();
        dst.resize(base + std::size_t(n));
        const std::uint8_t* plane = frame.extended_data[planar ? c : 0];
        const int step = planar ? 1 : channels;
        const int first = planar ? 0 : c;
        for (int i = 0; i < n; ++i) {
            const int k = first + i * step;
            float v;
            switch (av_get_packed_sample_fmt(format)) {
            case AV_SAMPLE_FMT_FLT: v = reinterpret_cast<const float*>(plane)[k]; break;
            case AV_SAMPLE_FMT_DBL: v = float(reinterpret_cast<const double*>(plane)[k]); break;
            case AV_SAMPLE_FMT_S16: v = float(reinterpret_cast<const std::int16_t*>(plane)[k]) / 32768.0f; break;
            case AV_SAMPLE_FMT_S32: v = float(double(reinterpret_cast<const std::int32_t*>(plane)[k]) / 2147483648.0); break;
            case AV_SAMPLE_FMT_U8: v = float(int(plane[k]) - 128) / 128.0f; break;
            default: return false;
            }
            dst[base + std::size_t(i)] = v;
        }
    }
    return true;
}

AVChannelLayout defaultLayout(int channels) {
    AVChannelLayout layout;
    av_channel_layout_default(&layout, channels);
    return layout;
}

} // namespace

AVAudioFile::AVAudioFile(const URL& fileURL) : url_(fileURL), format_(48000.0, 2) {
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
    if (raw->duration != AV_NOPTS_VALUE && raw->duration > std::int64_t(kMaximumSeconds * AV_TIME_BASE))
        fail(kAVAudioErrorFileTooLong, path, "it is longer than 10 minutes");

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
             "it has " + std::to_string(channels) + " channels (1 to " +
                 std::to_string(kAudioBufferListCapacity) + " are read)");
    if (rate <= 0) fail(kAVAudioErrorFileNotReadable, path, "it has no sample rate");
    const std::size_t maximumFrames = std::size_t(kMaximumSeconds * rate);

    samples_.assign(std::size_t(channels), {});
    std::unique_ptr<AVPacket, PacketFree> packet(av_packet_alloc());
    std::unique_ptr<AVFrame, FrameFree> frame(av_frame_alloc());
    if (!packet || !frame) throw std::bad_alloc();
    auto drain = [&] {
        for (;;) {
            const int r = avcodec_receive_frame(decoder.get(), frame.get());
            if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return;
            if (r < 0) fail(kAVAudioErrorDecodeFailed, path, averror(r));
            const bool ok = frame->ch_layout.nb_channels == channels && appendFrame(*frame, samples_);
            av_frame_unref(frame.get());
            if (!ok) fail(kAVAudioErrorDecodeFailed, path, "its channel count or sample format changes");
            if (samples_[0].size() > maximumFrames)
                fail(kAVAudioErrorFileTooLong, path, "it is longer than 10 minutes");
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
    format_ = AVAudioFormat(double(rate), AVAudioChannelCount(channels));
    length_ = AVAudioFramePosition(frames);
}

std::shared_ptr<const AVAudioPCMBuffer> AVAudioFile::converted(const AVAudioFormat& format) const {
    std::lock_guard lock(cacheMutex_);
    if (cache_ && cache_->format() == format) return cache_;

    // Rate first, at the file's channel count.
    const int sourceChannels = int(format_.channelCount());
    std::vector<std::vector<float>> resampled;
    const std::vector<std::vector<float>>* source = &samples_;
    std::size_t frames = std::size_t(length_);
    if (format.sampleRate() != format_.sampleRate()) {
        frames = std::size_t(std::llround(double(length_) * format.sampleRate() / format_.sampleRate()));
        AVChannelLayout layout = defaultLayout(sourceChannels);
        SwrContext* raw = nullptr;
        if (swr_alloc_set_opts2(&raw, &layout, AV_SAMPLE_FMT_FLTP, int(format.sampleRate()), &layout,
                                AV_SAMPLE_FMT_FLTP, int(format_.sampleRate()), 0, nullptr) < 0 ||
            swr_init(raw) < 0) {
            swr_free(&raw);
            throw AVAudioError(kAVAudioErrorDecodeFailed,
                               "The audio file '" + url_.path() + "' could not be resampled.");
        }
        std::unique_ptr<SwrContext, SwrFree> swr(raw);
        resampled.assign(std::size_t(sourceChannels), std::vector<float>(frames + 4096));
        std::uint8_t* out[kAudioBufferListCapacity] = {};
        const std::uint8_t* in[kAudioBufferListCapacity] = {};
        for (int c = 0; c < sourceChannels; ++c) {
            out[c] = reinterpret_cast<std::uint8_t*>(resampled[std::size_t(c)].data());
            in[c] = reinterpret_cast<const std::uint8_t*>(samples_[std::size_t(c)].data());
        }
        const int capacity = int(frames + 4096);
        int made = swr_convert(swr.get(), out, capacity, in, int(length_));
        if (made >= 0) {
            for (int c = 0; c < sourceChannels; ++c) out[c] += std::size_t(made) * sizeof(float);
            const int tail = swr_convert(swr.get(), out, capacity - made, nullptr, 0);
            made = tail < 0 ? tail : made + tail;
        }
        if (made < 0)
            throw AVAudioError(kAVAudioErrorDecodeFailed,
                               "The audio file '" + url_.path() + "' could not be resampled.");
        // Short of the exact length only by the resampler's rounding: pad with silence.
        for (auto& channel : resampled) {
            std::fill(channel.begin() + std::min<std::ptrdiff_t>(made, std::ptrdiff_t(frames)),
                      channel.end(), 0.0f);
        }
        source = &resampled;
    }

    auto buffer = std::make_shared<AVAudioPCMBuffer>(format, AVAudioFrameCount(frames));
    for (AVAudioChannelCount c = 0; c < format.channelCount(); ++c) {
        float* dst = buffer->floatChannelData()[c];
        const int from = sourceChannels == 1 ? 0 : int(c);
        if (from < sourceChannels)
            std::memcpy(dst, (*source)[std::size_t(from)].data(), frames * sizeof(float));
    }
    buffer->setFrameLength(AVAudioFrameCount(frames));
    cache_ = buffer;
    return cache_;
}
