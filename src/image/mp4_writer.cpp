#include "image/mp4_writer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <cstdio>
#include <cstring>
#include <vector>

namespace orva {

struct CMp4Writer::CState {
    CMp4Settings settings;
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVStream* stream = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    SwsContext* scaler = nullptr;
    std::vector<uint8_t> padded;  // the frame in blue, green, red, rounded up to even sides
    int paddedWidth = 0;
    int paddedHeight = 0;
    int64_t frames = 0;
    bool headerWritten = false;

    ~CState() {
        sws_freeContext(scaler);
        av_packet_free(&packet);
        av_frame_free(&frame);
        avcodec_free_context(&codec);
        if (format != nullptr) {
            avio_closep(&format->pb);
            avformat_free_context(format);
        }
    }
};

namespace {

std::string AvErrorText(int averror) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(averror, text, sizeof text);
    return text;
}

bool ValidSettings(const CMp4Settings& s) {
    return s.width >= 1 && s.height >= 1 && s.width <= 16384 && s.height <= 16384 &&
           s.framesPerSecond >= 1 && s.framesPerSecond <= 1000 && s.crf >= 0 && s.crf <= 51;
}

const AVCodec* H264Encoder() {
    const AVCodec* codec = avcodec_find_encoder_by_name("libx264");
    return codec != nullptr ? codec : avcodec_find_encoder(AV_CODEC_ID_H264);
}

// The tags players read to turn the samples back into the colours they were made from.
void TagBt709(AVCodecContext& codec) {
    codec.color_range = AVCOL_RANGE_MPEG;
    codec.color_primaries = AVCOL_PRI_BT709;
    codec.color_trc = AVCOL_TRC_BT709;
    codec.colorspace = AVCOL_SPC_BT709;
}

AVCodecContext* MakeEncoder(const AVCodec* codec, const CMp4Settings& s, int width, int height,
                            bool globalHeader) {
    AVCodecContext* context = avcodec_alloc_context3(codec);
    if (context == nullptr) {
        return nullptr;
    }
    context->width = width;
    context->height = height;
    context->pix_fmt = AV_PIX_FMT_YUV420P;
    context->time_base = AVRational{1, s.framesPerSecond};
    context->framerate = AVRational{s.framesPerSecond, 1};
    context->gop_size = 2 * s.framesPerSecond;
    TagBt709(*context);
    if (globalHeader) {
        context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    // Options only libx264 knows; another H.264 encoder ignores them.
    av_opt_set(context->priv_data, "preset", "medium", 0);
    av_opt_set(context->priv_data, "crf", std::to_string(s.crf).c_str(), 0);
    return context;
}

SwsContext* MakeScaler(int width, int height) {
    SwsContext* scaler =
        sws_getContext(width, height, AV_PIX_FMT_BGR24, width, height, AV_PIX_FMT_YUV420P,
                       SWS_BILINEAR | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
    if (scaler != nullptr) {
        const int* source = sws_getCoefficients(SWS_CS_DEFAULT);
        const int* target = sws_getCoefficients(SWS_CS_ITU709);
        // Full-range computer colours into video range, as tagged.
        sws_setColorspaceDetails(scaler, source, 1, target, 0, 0, 1 << 16, 1 << 16);
    }
    return scaler;
}

void FillPadded(std::vector<uint8_t>& padded, uint32_t rgb) {
    for (size_t i = 0; i + 2 < padded.size(); i += 3) {
        padded[i] = static_cast<uint8_t>(rgb);
        padded[i + 1] = static_cast<uint8_t>(rgb >> 8);
        padded[i + 2] = static_cast<uint8_t>(rgb >> 16);
    }
}

}  // namespace

CMp4Writer::CMp4Writer() = default;

CMp4Writer::~CMp4Writer() {
    Abandon();
}

bool CMp4Writer::Open(const std::string& path, const CMp4Settings& settings) {
    Abandon();
    if (!ValidSettings(settings)) {
        return Fail("video size, frame rate or quality out of range");
    }
    const AVCodec* codec = H264Encoder();
    if (codec == nullptr) {
        return Fail("this FFmpeg has no H.264 encoder");
    }
    av_log_set_level(AV_LOG_ERROR);  // the encoder's statistics are no business of the user's
    auto s = std::make_unique<CState>();
    s->settings = settings;
    s->paddedWidth = PaddedSide(settings.width);
    s->paddedHeight = PaddedSide(settings.height);
    int result = avformat_alloc_output_context2(&s->format, nullptr, "mp4", path.c_str());
    if (result < 0) {
        return FailWith("cannot make an MP4", result);
    }
    const bool globalHeader = (s->format->oformat->flags & AVFMT_GLOBALHEADER) != 0;
    s->codec = MakeEncoder(codec, settings, s->paddedWidth, s->paddedHeight, globalHeader);
    s->stream = avformat_new_stream(s->format, nullptr);
    s->frame = av_frame_alloc();
    s->packet = av_packet_alloc();
    s->scaler = MakeScaler(s->paddedWidth, s->paddedHeight);
    if (s->codec == nullptr || s->stream == nullptr || s->frame == nullptr ||
        s->packet == nullptr || s->scaler == nullptr) {
        return Fail("out of memory");
    }
    if ((result = avcodec_open2(s->codec, codec, nullptr)) < 0) {
        return FailWith("cannot start the H.264 encoder", result);
    }
    avcodec_parameters_from_context(s->stream->codecpar, s->codec);
    s->stream->time_base = s->codec->time_base;
    s->frame->format = AV_PIX_FMT_YUV420P;
    s->frame->width = s->paddedWidth;
    s->frame->height = s->paddedHeight;
    if ((result = av_frame_get_buffer(s->frame, 0)) < 0) {
        return FailWith("out of memory", result);
    }
    if ((result = avio_open(&s->format->pb, path.c_str(), AVIO_FLAG_WRITE)) < 0) {
        return Fail(AvErrorText(result));
    }
    m_path = path;  // from here on the file is ours to remove
    m_state = std::move(s);
    AVDictionary* options = nullptr;
    av_dict_set(&options, "movflags", "+faststart", 0);
    result = avformat_write_header(m_state->format, &options);
    av_dict_free(&options);
    if (result < 0) {
        return FailWith("cannot write the MP4 header", result);
    }
    m_state->headerWritten = true;
    m_state->padded.resize(size_t(m_state->paddedWidth) * m_state->paddedHeight * 3);
    FillPadded(m_state->padded, settings.padColour);
    return true;
}

bool CMp4Writer::AddFrame(const CPictureView& frame) {
    if (m_state == nullptr) {
        return Fail("no video open");
    }
    CState& s = *m_state;
    if (frame.width != s.settings.width || frame.height != s.settings.height ||
        frame.pixels == nullptr) {
        return Fail("frame of the wrong size");
    }
    const size_t paddedStride = size_t(s.paddedWidth) * 3;
    for (int y = 0; y < frame.height; ++y) {
        std::memcpy(s.padded.data() + y * paddedStride, frame.pixels + y * frame.stride,
                    size_t(frame.width) * 3);
    }
    int result = av_frame_make_writable(s.frame);
    if (result < 0) {
        return FailWith("out of memory", result);
    }
    const uint8_t* source[1] = {s.padded.data()};
    const int sourceStride[1] = {static_cast<int>(paddedStride)};
    sws_scale(s.scaler, source, sourceStride, 0, s.paddedHeight, s.frame->data, s.frame->linesize);
    s.frame->pts = s.frames++;
    if ((result = avcodec_send_frame(s.codec, s.frame)) < 0) {
        return FailWith("the encoder refused a frame", result);
    }
    return Drain();
}

// Hands every packet the encoder has ready to the file.
bool CMp4Writer::Drain() {
    CState& s = *m_state;
    for (;;) {
        int result = avcodec_receive_packet(s.codec, s.packet);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) {
            return true;
        }
        if (result < 0) {
            return FailWith("the encoder failed", result);
        }
        // Each frame shows for one tick; without it the file's edit list ends at the last
        // frame's start and players drop that frame.
        if (s.packet->duration == 0) {
            s.packet->duration = 1;
        }
        av_packet_rescale_ts(s.packet, s.codec->time_base, s.stream->time_base);
        s.packet->stream_index = s.stream->index;
        result = av_interleaved_write_frame(s.format, s.packet);
        if (result < 0) {
            return Fail(AvErrorText(result));
        }
    }
}

bool CMp4Writer::Finish() {
    if (m_state == nullptr || m_state->frames == 0) {
        return Fail("no frames to write");
    }
    int result = avcodec_send_frame(m_state->codec, nullptr);
    if (result < 0) {
        return FailWith("the encoder failed", result);
    }
    if (!Drain()) {
        return false;
    }
    if ((result = av_write_trailer(m_state->format)) < 0) {
        return Fail(AvErrorText(result));
    }
    if ((result = avio_closep(&m_state->format->pb)) < 0) {
        return Fail(AvErrorText(result));
    }
    m_state.reset();
    m_path.clear();
    return true;
}

bool CMp4Writer::Fail(const std::string& reason) {
    m_error = reason;
    Abandon();
    return false;
}

bool CMp4Writer::FailWith(const char* what, int averror) {
    return Fail(std::string(what) + ": " + AvErrorText(averror));
}

void CMp4Writer::Abandon() {
    m_state.reset();
    if (!m_path.empty()) {
        std::remove(m_path.c_str());
        m_path.clear();
    }
}

}  // namespace orva
