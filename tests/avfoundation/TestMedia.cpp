#include "TestMedia.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <stdexcept>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
}

namespace media {

namespace {

std::int16_t toS16(float v) {
    const long q = std::lround(double(v) * 32768.0);
    return std::int16_t(std::clamp<long>(q, -32768, 32767));
}

// Little-endian, `bytes` long.
void put(std::FILE* f, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) std::fputc(int((v >> (8 * i)) & 0xff), f);
}

void check(int r, const char* what) {
    if (r < 0) throw std::runtime_error(std::string("FFmpeg: ") + what + " failed");
}

} // namespace

Channels quantised16(Channels audio) {
    for (auto& channel : audio)
        for (float& v : channel) v = float(toS16(v)) / 32768.0f;
    return audio;
}

Channels tone(int channels, std::size_t frames, int rate, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> noise(-0.01f, 0.01f);
    Channels audio(std::size_t(channels), std::vector<float>(frames, 0.0f));
    for (int c = 0; c < channels; ++c)
        for (std::size_t i = 0; i < frames; ++i)
            audio[std::size_t(c)][i] =
                0.5f * float(std::sin(2.0 * M_PI * (220.0 * (c + 1)) * double(i) / rate)) + noise(random);
    return audio;
}

namespace {

void writeWav(const std::string& path, const Channels& audio, int rate, bool floats) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) throw std::runtime_error("cannot write " + path);
    const auto channels = std::uint32_t(audio.size());
    const auto frames = std::uint32_t(audio[0].size());
    const std::uint32_t width = floats ? 4 : 2;
    const std::uint32_t bytes = frames * channels * width;
    std::fputs("RIFF", f);
    put(f, 36 + bytes, 4);
    std::fputs("WAVEfmt ", f);
    // size, PCM or float, channels, rate, byte rate, block align, bits
    for (auto [value, size] : {std::pair{16u, 4},
                               {floats ? 3u : 1u, 2},
                               {channels, 2},
                               {std::uint32_t(rate), 4},
                               {std::uint32_t(rate) * channels * width, 4},
                               {channels * width, 2},
                               {8 * width, 2}})
        put(f, value, size);
    std::fputs("data", f);
    put(f, bytes, 4);
    for (std::uint32_t i = 0; i < frames; ++i)
        for (std::uint32_t c = 0; c < channels; ++c) {
            std::uint32_t bits;
            std::memcpy(&bits, &audio[c][i], 4);
            put(f, floats ? bits : std::uint16_t(toS16(audio[c][i])), int(width));
        }
    std::fclose(f);
}

} // namespace

void writeWav16(const std::string& path, const Channels& audio, int rate) { writeWav(path, audio, rate, false); }

void writeWavFloat(const std::string& path, const Channels& audio, int rate) { writeWav(path, audio, rate, true); }

void encode(const std::string& path, const std::string& codecName, const Channels& audio, int rate, int serial) {
    const bool aac = codecName == "aac";
    const bool ogg = path.size() > 4 && path.compare(path.size() - 4, 4, ".ogg") == 0;
    const AVCodec* codec = avcodec_find_encoder_by_name(codecName.c_str());
    if (codec == nullptr) throw std::runtime_error("no encoder " + codecName);
    AVFormatContext* out = nullptr;
    check(avformat_alloc_output_context2(&out, nullptr, aac ? "ipod" : ogg ? "ogg" : "flac", path.c_str()), "output");
    AVStream* stream = avformat_new_stream(out, nullptr);
    AVCodecContext* enc = avcodec_alloc_context3(codec);
    const int channels = int(audio.size());
    av_channel_layout_default(&enc->ch_layout, channels);
    enc->sample_rate = rate;
    enc->sample_fmt = aac ? AV_SAMPLE_FMT_FLTP : AV_SAMPLE_FMT_S16;
    enc->bit_rate = aac ? 256000 : 0;
    enc->time_base = AVRational{1, rate};
    if (out->oformat->flags & AVFMT_GLOBALHEADER) enc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    check(avcodec_open2(enc, codec, nullptr), "encoder");
    check(avcodec_parameters_from_context(stream->codecpar, enc), "parameters");
    stream->time_base = enc->time_base;
    check(avio_open(&out->pb, path.c_str(), AVIO_FLAG_WRITE), "open");
    AVDictionary* options = nullptr;
    if (ogg) av_dict_set_int(&options, "serial_offset", serial, 0);
    av_dict_set_int(&options, "metadata_header_padding", 0, 0); // no 8 KB of FLAC padding
    const int header = avformat_write_header(out, &options);
    av_dict_free(&options);
    check(header, "header");

    AVPacket* packet = av_packet_alloc();
    auto drain = [&] {
        while (avcodec_receive_packet(enc, packet) == 0) {
            av_packet_rescale_ts(packet, enc->time_base, stream->time_base);
            packet->stream_index = stream->index;
            check(av_interleaved_write_frame(out, packet), "write");
        }
    };
    const int chunk = enc->frame_size > 0 ? enc->frame_size : 1152;
    const std::size_t frames = audio[0].size();
    for (std::size_t at = 0; at < frames; at += std::size_t(chunk)) {
        const int n = int(std::min<std::size_t>(std::size_t(chunk), frames - at));
        AVFrame* frame = av_frame_alloc();
        frame->nb_samples = n;
        frame->format = enc->sample_fmt;
        av_channel_layout_copy(&frame->ch_layout, &enc->ch_layout);
        frame->sample_rate = rate;
        frame->pts = std::int64_t(at);
        check(av_frame_get_buffer(frame, 0), "frame");
        for (int i = 0; i < n; ++i) {
            for (int c = 0; c < channels; ++c) {
                const float v = audio[std::size_t(c)][at + std::size_t(i)];
                if (aac)
                    reinterpret_cast<float*>(frame->data[c])[i] = v;
                else
                    reinterpret_cast<std::int16_t*>(frame->data[0])[i * channels + c] = toS16(v);
            }
        }
        check(avcodec_send_frame(enc, frame), "send");
        av_frame_free(&frame);
        drain();
    }
    check(avcodec_send_frame(enc, nullptr), "flush");
    drain();
    check(av_write_trailer(out), "trailer");
    av_packet_free(&packet);
    avcodec_free_context(&enc);
    avio_closep(&out->pb);
    avformat_free_context(out);
}

} // namespace media
