#pragma once

#include <memory>
#include <string>

#include "platform/gl_context.h"

namespace orva {

// A headless OpenGL context for programs and tests without a display: EGL on Mesa's
// surfaceless platform, a compatibility-profile context (the display draws with fixed-function
// OpenGL), and a framebuffer object of the picture's size with a front and a back colour
// buffer and one depth buffer. When any of that cannot be had the object still exists, says
// why, and refuses every frame.
class CEGLOffscreenContext final : public CGLContext {
public:
    CEGLOffscreenContext(int width, int height);
    ~CEGLOffscreenContext() override;

    // kCurrent when the context and its framebuffer were made; otherwise the failure every
    // frame will report.
    EContextStatus Status() const;
    // One line for the user when Status() is not kCurrent.
    const std::string& Failure() const;
    // The OpenGL version string of the context, for reports.
    const std::string& Version() const;

    EContextStatus MakeCurrent() override;
    void Release() override;
    void SelectDrawBuffer(EDrawBuffer buffer) override;
    void Present() override;
    int Width() const override { return m_width; }
    int Height() const override { return m_height; }
    bool ReadPixels(std::vector<uint8_t>& rows) override;

private:
    struct CState;
    int m_width;
    int m_height;
    std::unique_ptr<CState> m_state;
};

}  // namespace orva
