#include "AacWriter.h"

#include "avfoundation/AVAudioError.h"
#include "avfoundation/AVAudioFile.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
}

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <cstring>
#include <memory>

namespace loops {
namespace {

struct Failure {
    std::string reason;
};

void check(int status, const char* what) {
    if (status >= 0) return;
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(status, text, sizeof text);
    throw Failure{std::string(what) + ": " + text};
}

struct Output {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    ~Output() {
        av_packet_free(&packet);
        av_frame_free(&frame);
        avcodec_free_context(&codec);
        if (format) {
            if (format->pb) avio_closep(&format->pb);
            avformat_free_context(format);
        }
    }
};

void drain(Output& out, AVStream* stream) {
    for (;;) {
        const int status = avcodec_receive_packet(out.codec, out.packet);
        if (status == AVERROR(EAGAIN) || status == AVERROR_EOF) return;
        check(status, "encoding");
        av_packet_rescale_ts(out.packet, out.codec->time_base, stream->time_base);
        out.packet->stream_index = stream->index;
        check(av_interleaved_write_frame(out.format, out.packet), "writing");
    }
}

void write(const std::string& path, const std::vector<float>& left, const std::vector<float>& right, int sampleRate,
           int bitRate) {
    Output out;
    check(avformat_alloc_output_context2(&out.format, nullptr, "ipod", path.c_str()), "making the container");
    out.format->flags |= AVFMT_FLAG_BITEXACT;
    const AVCodec* encoder = avcodec_find_encoder_by_name("aac");
    if (!encoder) throw Failure{"FFmpeg has no AAC encoder"};
    AVStream* stream = avformat_new_stream(out.format, nullptr);
    out.codec = avcodec_alloc_context3(encoder);
    if (!stream || !out.codec) throw Failure{"out of memory"};
    out.codec->sample_fmt = AV_SAMPLE_FMT_FLTP;
    out.codec->sample_rate = sampleRate;
    out.codec->bit_rate = bitRate;
    out.codec->time_base = {1, sampleRate};
    out.codec->flags |= AV_CODEC_FLAG_BITEXACT;
    const AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    check(av_channel_layout_copy(&out.codec->ch_layout, &stereo), "the channel layout");
    if (out.format->oformat->flags & AVFMT_GLOBALHEADER) out.codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    // The fast coder is several times quicker than the default search and, at this bit
    // rate, indistinguishable on these loops.
    AVDictionary* coderOptions = nullptr;
    av_dict_set(&coderOptions, "aac_coder", "fast", 0);
    // Intensity stereo codes the high bands of both channels as one: the anti-phase noise
    // hits came back nearly in phase, their peaks up to 8.5 dB above what was written.
    av_dict_set(&coderOptions, "aac_is", "0", 0);
    const int opened = avcodec_open2(out.codec, encoder, &coderOptions);
    av_dict_free(&coderOptions);
    check(opened, "opening the encoder");
    check(avcodec_parameters_from_context(stream->codecpar, out.codec), "the stream parameters");
    stream->time_base = {1, sampleRate};
    check(avio_open(&out.format->pb, path.c_str(), AVIO_FLAG_WRITE), "opening the file");
    // The edit list that trims the encoder's priming and padding counts in the movie's
    // time scale, by default milliseconds; in samples every loop keeps its exact length.
    AVDictionary* options = nullptr;
    av_dict_set(&options, "movie_timescale", std::to_string(sampleRate).c_str(), 0);
    const int written = avformat_write_header(out.format, &options);
    av_dict_free(&options);
    check(written, "writing the header");

    out.frame = av_frame_alloc();
    out.packet = av_packet_alloc();
    if (!out.frame || !out.packet) throw Failure{"out of memory"};
    const std::size_t total = left.size();
    const auto frameSize = static_cast<std::size_t>(out.codec->frame_size);
    for (std::size_t at = 0; at < total; at += frameSize) {
        const std::size_t n = std::min(frameSize, total - at);
        av_frame_unref(out.frame);
        out.frame->nb_samples = static_cast<int>(n);
        out.frame->format = out.codec->sample_fmt;
        out.frame->sample_rate = sampleRate;
        check(av_channel_layout_copy(&out.frame->ch_layout, &out.codec->ch_layout), "the frame layout");
        check(av_frame_get_buffer(out.frame, 0), "a frame buffer");
        std::memcpy(out.frame->data[0], left.data() + at, n * sizeof(float));
        std::memcpy(out.frame->data[1], right.data() + at, n * sizeof(float));
        out.frame->pts = static_cast<std::int64_t>(at);
        check(avcodec_send_frame(out.codec, out.frame), "encoding");
        drain(out, stream);
    }
    check(avcodec_send_frame(out.codec, nullptr), "finishing the encoder");
    drain(out, stream);
    check(av_write_trailer(out.format), "writing the trailer");
}

// Read back as the host reads it, so the ceiling holds for what the host plays.
double decodedPeak(const std::string& path) {
    try {
        const AVAudioFile file(URL::fileURL(path));
        const std::shared_ptr<const AVAudioPCMBuffer> buffer = file.converted(file.processingFormat());
        double peak = 0.0;
        for (AVAudioChannelCount c = 0; c < buffer->format().channelCount(); ++c) {
            const float* samples = buffer->floatChannelData()[c];
            for (AVAudioFrameCount i = 0; i < buffer->frameLength(); ++i)
                peak = std::max(peak, std::fabs(double(samples[i])));
        }
        return peak;
    } catch (const AVAudioError& error) {
        throw Failure{std::string("reading the file back: ") + error.what()};
    }
}

std::string decibels(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%+.2f dBFS", 20.0 * std::log10(value));
    return text;
}

} // namespace

std::string writeAac(const std::string& path, const std::vector<float>& left, const std::vector<float>& right,
                     int sampleRate, int bitRate, double peakCeiling) {
    // The encoder codes scaled audio a little differently, so a peak moves by up to about
    // a decibel either way, a lower gain sometimes peaking higher. Each retry aims further
    // under the ceiling: 0.2 dB, then 0.4, 0.8, 1.6 and 3.2.
    constexpr double kFirstMarginDb = 0.2;
    constexpr int kMaximumPasses = 6;
    const std::string temporary = path + ".part";
    try {
        std::vector<float> scaledLeft, scaledRight;
        double gain = 1.0;
        for (int pass = 1;; ++pass) {
            const bool scaled = gain != 1.0;
            write(temporary, scaled ? scaledLeft : left, scaled ? scaledRight : right, sampleRate, bitRate);
            const double peak = decodedPeak(temporary);
            if (peak <= peakCeiling) break;
            if (pass == kMaximumPasses)
                throw Failure{"still peaks at " + decibels(peak) + " after " + std::to_string(pass) +
                              " encodings, above the ceiling of " + decibels(peakCeiling)};
            const double marginDb = kFirstMarginDb * double(1 << (pass - 1));
            gain *= peakCeiling * std::pow(10.0, -marginDb / 20.0) / peak;
            // From the original each time, so the rounding never compounds.
            const auto scale = [gain](float v) { return static_cast<float>(v * gain); };
            scaledLeft.resize(left.size());
            scaledRight.resize(right.size());
            std::transform(left.begin(), left.end(), scaledLeft.begin(), scale);
            std::transform(right.begin(), right.end(), scaledRight.begin(), scale);
        }
    } catch (const Failure& failure) {
        std::remove(temporary.c_str());
        return failure.reason;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return std::string("renaming the file: ") + std::strerror(errno);
    }
    return {};
}

} // namespace loops
