#include "DecodeAudio.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <memory>

namespace {

struct Context {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    ~Context() {
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
        avformat_close_input(&format);
    }
};

void take(Context& c, DecodedAudio& out) {
    while (avcodec_receive_frame(c.codec, c.frame) == 0) {
        if (c.frame->format != AV_SAMPLE_FMT_FLTP) {
            out.error = "not planar float";
            return;
        }
        for (std::size_t ch = 0; ch < out.channels.size(); ++ch) {
            const auto* samples = reinterpret_cast<const float*>(c.frame->extended_data[ch]);
            out.channels[ch].insert(out.channels[ch].end(), samples, samples + c.frame->nb_samples);
        }
    }
}

} // namespace

DecodedAudio decodeAudio(const std::string& path) {
    DecodedAudio out;
    Context c;
    if (avformat_open_input(&c.format, path.c_str(), nullptr, nullptr) < 0 ||
        avformat_find_stream_info(c.format, nullptr) < 0) {
        out.error = "cannot open";
        return out;
    }
    const int index = av_find_best_stream(c.format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (index < 0) {
        out.error = "no audio stream";
        return out;
    }
    const AVStream* stream = c.format->streams[index];
    const AVCodec* decoder = avcodec_find_decoder(stream->codecpar->codec_id);
    c.codec = avcodec_alloc_context3(decoder);
    if (!decoder || avcodec_parameters_to_context(c.codec, stream->codecpar) < 0 ||
        avcodec_open2(c.codec, decoder, nullptr) < 0) {
        out.error = "no decoder";
        return out;
    }
    out.sampleRate = c.codec->sample_rate;
    out.channels.resize(static_cast<std::size_t>(c.codec->ch_layout.nb_channels));
    while (out.error.empty() && av_read_frame(c.format, c.packet) >= 0) {
        if (c.packet->stream_index == index && avcodec_send_packet(c.codec, c.packet) == 0) take(c, out);
        av_packet_unref(c.packet);
    }
    avcodec_send_packet(c.codec, nullptr);
    take(c, out);
    if (stream->duration > 0) {
        const auto frames = static_cast<std::size_t>(
            av_rescale_q(stream->duration, stream->time_base, AVRational{1, out.sampleRate}));
        for (auto& channel : out.channels)
            if (channel.size() > frames) channel.resize(frames);
    }
    return out;
}
