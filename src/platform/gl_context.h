#pragma once

#include <cstdint>
#include <vector>

namespace orva {

// Whether a context could be made current for a frame, and if not, at which step it failed.
// The two failures keep the distinction the user has always been shown: no pixel format could
// be chosen at all, or the one chosen was refused.
enum class EContextStatus {
    kCurrent,
    kNoPixelFormat,
    kPixelFormatRefused,
};

// The buffer a frame draws into. Still frames go straight to the front buffer; interactive
// frames are drawn in the back buffer and presented whole, so the user never sees one half
// drawn.
enum class EDrawBuffer { kFront, kBack };

// The OpenGL context of one view. The display makes it current for one frame, draws, and
// releases it. Window and headless contexts both draw into framebuffer objects, where the
// front and back buffers of a window system do not exist, so choosing the draw buffer and
// presenting the back buffer belong to the context rather than to OpenGL calls of the display.
class CGLContext {
public:
    CGLContext() = default;
    virtual ~CGLContext() = default;
    CGLContext(const CGLContext&) = delete;
    CGLContext& operator=(const CGLContext&) = delete;

    // Makes the context current on this thread with its framebuffer bound. Anything but
    // kCurrent means no OpenGL call may follow.
    virtual EContextStatus MakeCurrent() = 0;
    // Finishes the frame's use of the context and leaves no context current.
    virtual void Release() = 0;
    // Directs the following drawing to the front or the back buffer (current context only).
    virtual void SelectDrawBuffer(EDrawBuffer buffer) = 0;
    // Shows what the back buffer holds: the "swap" of a double-buffered window.
    virtual void Present() = 0;

    // Picture size in pixels.
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Copies what the front buffer shows into `rows`, laid out as a 24-bit device-independent
    // bitmap: rows from the bottom up, blue, green, red, each row padded to 4 bytes. False when
    // there is nothing to read (the window shows its picture itself).
    virtual bool ReadPixels(std::vector<uint8_t>& rows) = 0;

    // Frames made current so far; a view compares it to learn whether OpenGL drew a picture.
    int64_t FramesBegun() const { return m_framesBegun; }
    // MakeCurrent, counted when it succeeds.
    EContextStatus BeginFrame();

private:
    int64_t m_framesBegun = 0;
};

inline EContextStatus CGLContext::BeginFrame() {
    const EContextStatus status = MakeCurrent();
    if (status == EContextStatus::kCurrent) {
        ++m_framesBegun;
    }
    return status;
}

}  // namespace orva
