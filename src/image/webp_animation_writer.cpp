#include "image/webp_animation_writer.h"

#include <webp/encode.h>
#include <webp/mux.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace orva {

struct CWebpAnimationWriter::CState {
    CWebpAnimationSettings settings;
    std::FILE* file = nullptr;
    WebPAnimEncoder* encoder = nullptr;
    WebPConfig config{};
    int frames = 0;
    std::vector<uint8_t> bgra;  // one frame with its alpha interleaved, for the importer

    ~CState() {
        WebPAnimEncoderDelete(encoder);
        if (file != nullptr) {
            std::fclose(file);
        }
    }
    // Timestamps from the frame number rather than summed durations, so that frame rates
    // that do not divide 1000 do not drift.
    int TimestampMs(int frame) const {
        return static_cast<int>((int64_t{frame} * 1000 + settings.framesPerSecond / 2) /
                                settings.framesPerSecond);
    }
};

namespace {

struct CWebpPicture {
    WebPPicture picture{};
    CWebpPicture() { WebPPictureInit(&picture); }
    ~CWebpPicture() { WebPPictureFree(&picture); }
};

// Blue, green, red and alpha interleaved, as libwebp imports them.
void InterleaveAlpha(const CPictureView& frame, std::vector<uint8_t>& bgra) {
    bgra.resize(size_t(frame.width) * frame.height * 4);
    for (int y = 0; y < frame.height; ++y) {
        const uint8_t* colour = frame.pixels + y * frame.stride;
        const uint8_t* alpha = frame.alpha + y * frame.alphaStride;
        uint8_t* out = bgra.data() + size_t(y) * frame.width * 4;
        for (int x = 0; x < frame.width; ++x) {
            out[4 * x] = colour[3 * x];
            out[4 * x + 1] = colour[3 * x + 1];
            out[4 * x + 2] = colour[3 * x + 2];
            out[4 * x + 3] = alpha[x];
        }
    }
}

bool ValidSettings(const CWebpAnimationSettings& s) {
    return s.width >= 1 && s.height >= 1 && s.width <= WEBP_MAX_DIMENSION &&
           s.height <= WEBP_MAX_DIMENSION && s.framesPerSecond >= 1 && s.framesPerSecond <= 1000 &&
           s.quality >= 0.0f && s.quality <= 100.0f;
}

}  // namespace

CWebpAnimationWriter::CWebpAnimationWriter() = default;

CWebpAnimationWriter::~CWebpAnimationWriter() {
    Abandon();
}

bool CWebpAnimationWriter::Open(const std::string& path, const CWebpAnimationSettings& settings) {
    Abandon();
    if (!ValidSettings(settings)) {
        return Fail("animation size, frame rate or quality out of range");
    }
    auto state = std::make_unique<CState>();
    state->settings = settings;
    WebPAnimEncoderOptions options;
    if (!WebPAnimEncoderOptionsInit(&options) ||
        !WebPConfigPreset(&state->config, WEBP_PRESET_DEFAULT, settings.quality)) {
        return Fail("libwebp is not the version it was built against");
    }
    options.anim_params.loop_count = 0;  // forever
    options.allow_mixed = 0;
    state->config.lossless = settings.lossless ? 1 : 0;
    state->config.method = 4;
    // Pixels under full transparency stay as rendered, so a lossless frame is the picture.
    state->config.exact = settings.lossless ? 1 : 0;
    state->encoder = WebPAnimEncoderNew(settings.width, settings.height, &options);
    if (state->encoder == nullptr) {
        return Fail("out of memory");
    }
    state->file = std::fopen(path.c_str(), "wb");
    if (state->file == nullptr) {
        return Fail(std::strerror(errno));
    }
    m_path = path;
    m_state = std::move(state);
    return true;
}

bool CWebpAnimationWriter::AddFrame(const CPictureView& frame) {
    if (m_state == nullptr) {
        return Fail("no animation open");
    }
    const CWebpAnimationSettings& s = m_state->settings;
    if (frame.width != s.width || frame.height != s.height || frame.pixels == nullptr ||
        (s.alpha && frame.alpha == nullptr)) {
        return Fail("frame of the wrong size");
    }
    CWebpPicture picture;
    picture.picture.width = frame.width;
    picture.picture.height = frame.height;
    picture.picture.use_argb = 1;
    int imported = 0;
    if (s.alpha) {
        InterleaveAlpha(frame, m_state->bgra);
        imported = WebPPictureImportBGRA(&picture.picture, m_state->bgra.data(), frame.width * 4);
    } else {
        imported =
            WebPPictureImportBGR(&picture.picture, frame.pixels, static_cast<int>(frame.stride));
    }
    if (!imported) {
        return Fail("out of memory");
    }
    const int timestamp = m_state->TimestampMs(m_state->frames);
    if (!WebPAnimEncoderAdd(m_state->encoder, &picture.picture, timestamp, &m_state->config)) {
        return Fail(WebPAnimEncoderGetError(m_state->encoder));
    }
    ++m_state->frames;
    return true;
}

bool CWebpAnimationWriter::Finish() {
    if (m_state == nullptr || m_state->frames == 0) {
        return Fail("no frames to write");
    }
    WebPAnimEncoder* encoder = m_state->encoder;
    WebPData data;
    WebPDataInit(&data);
    if (!WebPAnimEncoderAdd(encoder, nullptr, m_state->TimestampMs(m_state->frames), nullptr) ||
        !WebPAnimEncoderAssemble(encoder, &data)) {
        WebPDataClear(&data);
        return Fail(WebPAnimEncoderGetError(encoder));
    }
    errno = 0;
    const bool written = std::fwrite(data.bytes, 1, data.size, m_state->file) == data.size;
    WebPDataClear(&data);
    const bool closed = std::fclose(m_state->file) == 0;
    m_state->file = nullptr;
    if (!written || !closed) {
        return Fail(std::strerror(errno != 0 ? errno : EIO));
    }
    m_state.reset();
    m_path.clear();
    return true;
}

bool CWebpAnimationWriter::Fail(const std::string& reason) {
    m_error = reason;
    Abandon();
    return false;
}

void CWebpAnimationWriter::Abandon() {
    if (m_state == nullptr) {
        return;
    }
    m_state.reset();
    std::remove(m_path.c_str());
    m_path.clear();
}

}  // namespace orva
