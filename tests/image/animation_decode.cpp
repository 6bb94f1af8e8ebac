#include "image/animation_decode.h"

#include <webp/demux.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <fstream>
#include <iterator>

namespace orva::test {

CDecodedFrames DecodeWebpAnimation(const std::string& path) {
    CDecodedFrames result;
    std::ifstream file(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), {});
    const WebPData data{bytes.data(), bytes.size()};
    WebPAnimDecoderOptions options;
    WebPAnimDecoderOptionsInit(&options);
    options.color_mode = MODE_BGRA;
    WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
    if (decoder == nullptr) {
        return result;
    }
    WebPAnimInfo info;
    if (WebPAnimDecoderGetInfo(decoder, &info)) {
        result.width = static_cast<int>(info.canvas_width);
        result.height = static_cast<int>(info.canvas_height);
        result.loopCount = static_cast<int>(info.loop_count);
        result.read = true;
        const size_t size = size_t(result.width) * result.height * 4;
        while (WebPAnimDecoderHasMoreFrames(decoder)) {
            uint8_t* canvas = nullptr;
            int timestamp = 0;
            if (!WebPAnimDecoderGetNext(decoder, &canvas, &timestamp)) {
                result.read = false;
                break;
            }
            result.bgra.emplace_back(canvas, canvas + size);
            result.endMilliseconds.push_back(timestamp);
        }
    }
    WebPAnimDecoderDelete(decoder);
    return result;
}

namespace {

struct CVideoDecode {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    SwsContext* scaler = nullptr;
    ~CVideoDecode() {
        sws_freeContext(scaler);
        av_packet_free(&packet);
        av_frame_free(&frame);
        avcodec_free_context(&codec);
        avformat_close_input(&format);
    }
};

void ConvertFrame(CVideoDecode& d, CDecodedFrames& result) {
    const AVFrame& f = *d.frame;
    d.scaler = sws_getCachedContext(d.scaler, f.width, f.height, AVPixelFormat(f.format), f.width,
                                    f.height, AV_PIX_FMT_BGRA, SWS_BILINEAR | SWS_ACCURATE_RND,
                                    nullptr, nullptr, nullptr);
    const int matrix = f.colorspace == AVCOL_SPC_BT709 ? SWS_CS_ITU709 : SWS_CS_DEFAULT;
    sws_setColorspaceDetails(d.scaler, sws_getCoefficients(matrix),
                             f.color_range == AVCOL_RANGE_JPEG, sws_getCoefficients(SWS_CS_DEFAULT),
                             1, 0, 1 << 16, 1 << 16);
    std::vector<uint8_t> bgra(size_t(f.width) * f.height * 4);
    uint8_t* target[1] = {bgra.data()};
    const int stride[1] = {f.width * 4};
    sws_scale(d.scaler, f.data, f.linesize, 0, f.height, target, stride);
    result.width = f.width;
    result.height = f.height;
    result.bgra.push_back(std::move(bgra));
}

// Takes every frame the decoder has ready.
bool Receive(CVideoDecode& d, CDecodedFrames& result) {
    for (;;) {
        const int got = avcodec_receive_frame(d.codec, d.frame);
        if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) {
            return true;
        }
        if (got < 0) {
            return false;
        }
        ConvertFrame(d, result);
    }
}

}  // namespace

CDecodedFrames DecodeVideo(const std::string& path) {
    CDecodedFrames result;
    CVideoDecode d;
    if (avformat_open_input(&d.format, path.c_str(), nullptr, nullptr) < 0 ||
        avformat_find_stream_info(d.format, nullptr) < 0) {
        return result;
    }
    const AVCodec* decoder = nullptr;
    const int stream = av_find_best_stream(d.format, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (stream < 0 || decoder == nullptr) {
        return result;
    }
    result.framesPerSecond = av_q2d(d.format->streams[stream]->avg_frame_rate);
    d.codec = avcodec_alloc_context3(decoder);
    d.frame = av_frame_alloc();
    d.packet = av_packet_alloc();
    if (avcodec_parameters_to_context(d.codec, d.format->streams[stream]->codecpar) < 0 ||
        avcodec_open2(d.codec, decoder, nullptr) < 0) {
        return result;
    }
    bool ok = true;
    while (ok && av_read_frame(d.format, d.packet) >= 0) {
        if (d.packet->stream_index == stream) {
            ok = avcodec_send_packet(d.codec, d.packet) >= 0 && Receive(d, result);
        }
        av_packet_unref(d.packet);
    }
    result.read = ok && avcodec_send_packet(d.codec, nullptr) >= 0 && Receive(d, result);
    return result;
}

}  // namespace orva::test
