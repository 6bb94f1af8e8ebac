#include "image/gif_animation_writer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavformat/avformat.h>
}

#include <cstdio>
#include <cstring>

namespace orva {

namespace {

// A GIF's delays are in hundredths of a second.
constexpr AVRational kGifTime{1, 100};

// Every frame into two: one feeds the palette maker, which gives its palette once it has seen
// them all, the other waits for that palette and is dithered to it.
constexpr char kPaletteGraph[] =
    "split[frames][stats];[stats]palettegen=stats_mode=full[palette];"
    "[frames][palette]paletteuse=dither=sierra2_4a";

std::string AvErrorText(int averror) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(averror, text, sizeof text);
    return text;
}

bool ValidSettings(const CGifSettings& s) {
    return s.width >= 1 && s.height >= 1 && s.width <= 16384 && s.height <= 16384 &&
           s.framesPerSecond >= 1 && s.framesPerSecond <= 100;
}

}  // namespace

struct CGifAnimationWriter::CState {
    CGifSettings settings;
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVStream* stream = nullptr;
    AVFilterGraph* graph = nullptr;
    AVFilterContext* source = nullptr;
    AVFilterContext* sink = nullptr;
    AVFrame* frame = nullptr;
    AVFrame* filtered = nullptr;
    AVPacket* packet = nullptr;
    int64_t frames = 0;
    bool headerWritten = false;

    ~CState() {
        av_packet_free(&packet);
        av_frame_free(&filtered);
        av_frame_free(&frame);
        avfilter_graph_free(&graph);
        avcodec_free_context(&codec);
        if (format != nullptr) {
            avio_closep(&format->pb);
            avformat_free_context(format);
        }
    }

    // The graph from frames of blue, green, red to dithered paletted ones.
    int MakeGraph() {
        graph = avfilter_graph_alloc();
        if (graph == nullptr) {
            return AVERROR(ENOMEM);
        }
        char arguments[160];
        std::snprintf(arguments, sizeof arguments,
                      "video_size=%dx%d:pix_fmt=%d:time_base=1/100:pixel_aspect=1/1",
                      settings.width, settings.height, int(AV_PIX_FMT_BGR24));
        int result = avfilter_graph_create_filter(&source, avfilter_get_by_name("buffer"), "in",
                                                  arguments, nullptr, graph);
        if (result >= 0) {
            result = avfilter_graph_create_filter(&sink, avfilter_get_by_name("buffersink"), "out",
                                                  nullptr, nullptr, graph);
        }
        if (result < 0) {
            return result;
        }
        AVFilterInOut* outputs = avfilter_inout_alloc();
        AVFilterInOut* inputs = avfilter_inout_alloc();
        if (outputs == nullptr || inputs == nullptr) {
            avfilter_inout_free(&outputs);
            avfilter_inout_free(&inputs);
            return AVERROR(ENOMEM);
        }
        outputs->name = av_strdup("in");
        outputs->filter_ctx = source;
        inputs->name = av_strdup("out");
        inputs->filter_ctx = sink;
        result = avfilter_graph_parse_ptr(graph, kPaletteGraph, &inputs, &outputs, nullptr);
        avfilter_inout_free(&outputs);
        avfilter_inout_free(&inputs);
        return result < 0 ? result : avfilter_graph_config(graph, nullptr);
    }
};

CGifAnimationWriter::CGifAnimationWriter() = default;

CGifAnimationWriter::~CGifAnimationWriter() {
    Abandon();
}

bool CGifAnimationWriter::Open(const std::string& path, const CGifSettings& settings) {
    Abandon();
    if (!ValidSettings(settings)) {
        return Fail("animation size or frame rate out of range");
    }
    const AVCodec* encoder = avcodec_find_encoder(AV_CODEC_ID_GIF);
    if (encoder == nullptr) {
        return Fail("this FFmpeg has no GIF encoder");
    }
    av_log_set_level(AV_LOG_ERROR);
    auto s = std::make_unique<CState>();
    s->settings = settings;
    int result = avformat_alloc_output_context2(&s->format, nullptr, "gif", path.c_str());
    if (result < 0) {
        return FailWith("cannot make a GIF", result);
    }
    s->codec = avcodec_alloc_context3(encoder);
    s->stream = avformat_new_stream(s->format, nullptr);
    s->frame = av_frame_alloc();
    s->filtered = av_frame_alloc();
    s->packet = av_packet_alloc();
    if (s->codec == nullptr || s->stream == nullptr || s->frame == nullptr ||
        s->filtered == nullptr || s->packet == nullptr) {
        return Fail("out of memory");
    }
    s->codec->width = settings.width;
    s->codec->height = settings.height;
    s->codec->pix_fmt = AV_PIX_FMT_PAL8;
    s->codec->time_base = kGifTime;
    if ((result = avcodec_open2(s->codec, encoder, nullptr)) < 0) {
        return FailWith("cannot start the GIF encoder", result);
    }
    avcodec_parameters_from_context(s->stream->codecpar, s->codec);
    s->stream->time_base = kGifTime;
    if ((result = s->MakeGraph()) < 0) {
        return FailWith("cannot make the palette filter", result);
    }
    s->frame->format = AV_PIX_FMT_BGR24;
    s->frame->width = settings.width;
    s->frame->height = settings.height;
    if ((result = av_frame_get_buffer(s->frame, 0)) < 0) {
        return FailWith("out of memory", result);
    }
    if ((result = avio_open(&s->format->pb, path.c_str(), AVIO_FLAG_WRITE)) < 0) {
        return Fail(AvErrorText(result));
    }
    m_path = path;  // from here on the file is ours to remove
    m_state = std::move(s);
    AVDictionary* options = nullptr;
    av_dict_set(&options, "loop", "0", 0);  // for ever
    result = avformat_write_header(m_state->format, &options);
    av_dict_free(&options);
    if (result < 0) {
        return FailWith("cannot write the GIF header", result);
    }
    m_state->headerWritten = true;
    return true;
}

bool CGifAnimationWriter::AddFrame(const CPictureView& frame) {
    if (m_state == nullptr) {
        return Fail("no animation open");
    }
    CState& s = *m_state;
    if (frame.width != s.settings.width || frame.height != s.settings.height ||
        frame.pixels == nullptr) {
        return Fail("frame of the wrong size");
    }
    int result = av_frame_make_writable(s.frame);
    if (result < 0) {
        return FailWith("out of memory", result);
    }
    for (int y = 0; y < frame.height; ++y) {
        std::memcpy(s.frame->data[0] + int64_t(y) * s.frame->linesize[0],
                    frame.pixels + y * frame.stride, size_t(frame.width) * 3);
    }
    // Each frame starts at its own hundredth, rounded: at 24 frames a second the delays go
    // 4, 4, 5, ... and keep the whole turn's length.
    s.frame->pts = (s.frames * 100 + s.settings.framesPerSecond / 2) / s.settings.framesPerSecond;
    ++s.frames;
    if ((result = av_buffersrc_add_frame_flags(s.source, s.frame, AV_BUFFERSRC_FLAG_KEEP_REF)) <
        0) {
        return FailWith("the palette filter refused a frame", result);
    }
    return EncodeFiltered();
}

// Encodes every frame the palette filter has ready (none before the last frame has gone in).
bool CGifAnimationWriter::EncodeFiltered() {
    CState& s = *m_state;
    for (;;) {
        int result = av_buffersink_get_frame(s.sink, s.filtered);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) {
            return true;
        }
        if (result < 0) {
            return FailWith("the palette filter failed", result);
        }
        result = avcodec_send_frame(s.codec, s.filtered);
        av_frame_unref(s.filtered);
        if (result < 0) {
            return FailWith("the encoder refused a frame", result);
        }
        if (!WritePackets()) {
            return false;
        }
    }
}

bool CGifAnimationWriter::WritePackets() {
    CState& s = *m_state;
    for (;;) {
        int result = avcodec_receive_packet(s.codec, s.packet);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) {
            return true;
        }
        if (result < 0) {
            return FailWith("the encoder failed", result);
        }
        av_packet_rescale_ts(s.packet, s.codec->time_base, s.stream->time_base);
        s.packet->stream_index = s.stream->index;
        if ((result = av_interleaved_write_frame(s.format, s.packet)) < 0) {
            return Fail(AvErrorText(result));
        }
    }
}

bool CGifAnimationWriter::Finish() {
    if (m_state == nullptr || m_state->frames == 0) {
        return Fail("no frames to write");
    }
    CState& s = *m_state;
    int result = av_buffersrc_add_frame_flags(s.source, nullptr, 0);
    if (result < 0) {
        return FailWith("the palette filter failed", result);
    }
    if (!EncodeFiltered()) {
        return false;
    }
    if ((result = avcodec_send_frame(s.codec, nullptr)) < 0) {
        return FailWith("the encoder failed", result);
    }
    if (!WritePackets()) {
        return false;
    }
    if ((result = av_write_trailer(s.format)) < 0) {
        return Fail(AvErrorText(result));
    }
    if ((result = avio_closep(&s.format->pb)) < 0) {
        return Fail(AvErrorText(result));
    }
    m_state.reset();
    m_path.clear();
    return true;
}

bool CGifAnimationWriter::Fail(const std::string& reason) {
    m_error = reason;
    Abandon();
    return false;
}

bool CGifAnimationWriter::FailWith(const char* what, int averror) {
    return Fail(std::string(what) + ": " + AvErrorText(averror));
}

void CGifAnimationWriter::Abandon() {
    m_state.reset();
    if (!m_path.empty()) {
        std::remove(m_path.c_str());
        m_path.clear();
    }
}

}  // namespace orva
