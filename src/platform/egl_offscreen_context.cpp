#include "platform/egl_offscreen_context.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstring>

#include "platform/egl_display.h"

namespace orva {

namespace {

// Framebuffer objects are newer than OpenGL 1.1, so their entry points are looked up.
struct CFramebufferCalls {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;
    PFNGLBLITFRAMEBUFFERPROC blitFramebuffer = nullptr;

    template <typename T>
    static bool Load(T& call, const char* name) {
        call = reinterpret_cast<T>(eglGetProcAddress(name));
        return call != nullptr;
    }
    bool LoadAll() {
        return Load(genFramebuffers, "glGenFramebuffers") &&
               Load(deleteFramebuffers, "glDeleteFramebuffers") &&
               Load(bindFramebuffer, "glBindFramebuffer") &&
               Load(genRenderbuffers, "glGenRenderbuffers") &&
               Load(deleteRenderbuffers, "glDeleteRenderbuffers") &&
               Load(bindRenderbuffer, "glBindRenderbuffer") &&
               Load(renderbufferStorage, "glRenderbufferStorage") &&
               Load(framebufferRenderbuffer, "glFramebufferRenderbuffer") &&
               Load(checkFramebufferStatus, "glCheckFramebufferStatus") &&
               Load(blitFramebuffer, "glBlitFramebuffer");
    }
};

constexpr GLenum kFrontAttachment = GL_COLOR_ATTACHMENT0;
constexpr GLenum kBackAttachment = GL_COLOR_ATTACHMENT1;

bool HasExtension(EGLDisplay display, const char* name) {
    const char* list = eglQueryString(display, EGL_EXTENSIONS);
    if (list == nullptr) {
        return false;
    }
    const std::size_t length = std::strlen(name);
    for (const char* p = std::strstr(list, name); p != nullptr; p = std::strstr(p + 1, name)) {
        if ((p == list || p[-1] == ' ') && (p[length] == '\0' || p[length] == ' ')) {
            return true;
        }
    }
    return false;
}

}  // namespace

struct CEGLOffscreenContext::CState {
    CEGLDisplayRef display;
    EGLContext context = EGL_NO_CONTEXT;
    // Only where contexts cannot be current without a surface: a 1 x 1 stand-in.
    EGLSurface surface = EGL_NO_SURFACE;
    CFramebufferCalls gl;
    GLuint framebuffer = 0;
    GLuint renderbuffers[3] = {0, 0, 0};  // front colour, back colour, depth
    GLenum drawAttachment = kFrontAttachment;
    EContextStatus status = EContextStatus::kNoPixelFormat;
    std::string failure;
    std::string version;

    bool Bind() const {
        return eglMakeCurrent(display.Get(), surface, surface, context) == EGL_TRUE;
    }
    bool IsCurrent() const { return eglGetCurrentContext() == context; }
    bool CreateContext();
    bool CreateFramebuffer(int width, int height);
};

bool CEGLOffscreenContext::CState::CreateContext() {
    const EGLDisplay d = display.Get();
    if (eglBindAPI(EGL_OPENGL_API) != EGL_TRUE) {
        failure = "EGL offers no desktop OpenGL";
        return false;
    }
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE,
                                       EGL_PBUFFER_BIT,
                                       EGL_RENDERABLE_TYPE,
                                       EGL_OPENGL_BIT,
                                       EGL_RED_SIZE,
                                       8,
                                       EGL_GREEN_SIZE,
                                       8,
                                       EGL_BLUE_SIZE,
                                       8,
                                       EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    if (eglChooseConfig(d, configAttributes, &config, 1, &count) != EGL_TRUE || count < 1) {
        failure = "EGL has no configuration for desktop OpenGL";
        return false;
    }
    // Past this point a pixel format exists; what fails now is its use.
    status = EContextStatus::kPixelFormatRefused;
    // The display draws with the fixed-function pipeline, which only a compatibility profile
    // keeps.
    const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    context = eglCreateContext(d, config, EGL_NO_CONTEXT, contextAttributes);
    if (context == EGL_NO_CONTEXT) {
        failure = "EGL could not create a compatibility-profile OpenGL context";
        return false;
    }
    if (!HasExtension(d, "EGL_KHR_surfaceless_context")) {
        const EGLint pbufferAttributes[] = {EGL_WIDTH, 1, EGL_HEIGHT, 1, EGL_NONE};
        surface = eglCreatePbufferSurface(d, config, pbufferAttributes);
    }
    if (!Bind()) {
        failure = "EGL could not make the OpenGL context current";
        return false;
    }
    return true;
}

bool CEGLOffscreenContext::CState::CreateFramebuffer(int width, int height) {
    if (!gl.LoadAll()) {
        failure = "OpenGL offers no framebuffer objects";
        return false;
    }
    gl.genFramebuffers(1, &framebuffer);
    gl.bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    gl.genRenderbuffers(3, renderbuffers);
    const GLenum formats[3] = {GL_RGBA8, GL_RGBA8, GL_DEPTH_COMPONENT24};
    const GLenum attachments[3] = {kFrontAttachment, kBackAttachment, GL_DEPTH_ATTACHMENT};
    for (int i = 0; i < 3; ++i) {
        gl.bindRenderbuffer(GL_RENDERBUFFER, renderbuffers[i]);
        gl.renderbufferStorage(GL_RENDERBUFFER, formats[i], width, height);
        gl.framebufferRenderbuffer(GL_FRAMEBUFFER, attachments[i], GL_RENDERBUFFER,
                                   renderbuffers[i]);
    }
    glDrawBuffer(kFrontAttachment);
    glReadBuffer(kFrontAttachment);
    if (gl.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        failure = "OpenGL could not make a framebuffer of the picture's size";
        return false;
    }
    const char* text = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    version = text != nullptr ? text : "";
    return true;
}

CEGLOffscreenContext::CEGLOffscreenContext(int width, int height)
    : m_width(width), m_height(height), m_state(std::make_unique<CState>()) {
    CState& s = *m_state;
    if (s.display.Get() == EGL_NO_DISPLAY) {
        s.failure = s.display.Failure();
        return;
    }
    if (width < 1 || height < 1) {
        s.failure = "the picture has no pixels";
        return;
    }
    const bool made = s.CreateContext() && s.CreateFramebuffer(width, height);
    if (made) {
        s.status = EContextStatus::kCurrent;
        s.failure.clear();
    }
    if (s.context != EGL_NO_CONTEXT) {
        Release();
    }
}

CEGLOffscreenContext::~CEGLOffscreenContext() {
    CState& s = *m_state;
    if (s.context == EGL_NO_CONTEXT) {
        return;
    }
    if (s.framebuffer != 0 && s.Bind()) {
        s.gl.deleteRenderbuffers(3, s.renderbuffers);
        s.gl.deleteFramebuffers(1, &s.framebuffer);
    }
    Release();
    if (s.surface != EGL_NO_SURFACE) {
        eglDestroySurface(s.display.Get(), s.surface);
    }
    eglDestroyContext(s.display.Get(), s.context);
}

EContextStatus CEGLOffscreenContext::Status() const {
    return m_state->status;
}

const std::string& CEGLOffscreenContext::Failure() const {
    return m_state->failure;
}

const std::string& CEGLOffscreenContext::Version() const {
    return m_state->version;
}

EContextStatus CEGLOffscreenContext::MakeCurrent() {
    CState& s = *m_state;
    if (s.status != EContextStatus::kCurrent) {
        return s.status;
    }
    if (!s.Bind()) {
        return EContextStatus::kPixelFormatRefused;
    }
    s.gl.bindFramebuffer(GL_FRAMEBUFFER, s.framebuffer);
    return EContextStatus::kCurrent;
}

void CEGLOffscreenContext::Release() {
    eglMakeCurrent(m_state->display.Get(), EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

void CEGLOffscreenContext::SelectDrawBuffer(EDrawBuffer buffer) {
    m_state->drawAttachment = buffer == EDrawBuffer::kBack ? kBackAttachment : kFrontAttachment;
    glDrawBuffer(m_state->drawAttachment);
}

void CEGLOffscreenContext::Present() {
    CState& s = *m_state;
    // A swap shows the whole back buffer, whatever part the frame was clipped to.
    const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    glDisable(GL_SCISSOR_TEST);
    glReadBuffer(kBackAttachment);
    glDrawBuffer(kFrontAttachment);
    s.gl.blitFramebuffer(0, 0, m_width, m_height, 0, 0, m_width, m_height, GL_COLOR_BUFFER_BIT,
                         GL_NEAREST);
    glDrawBuffer(s.drawAttachment);
    glReadBuffer(kFrontAttachment);
    if (scissor == GL_TRUE) {
        glEnable(GL_SCISSOR_TEST);
    }
}

bool CEGLOffscreenContext::ReadPixels(std::vector<uint8_t>& rows) {
    CState& s = *m_state;
    const bool wasCurrent = s.IsCurrent();
    if (!wasCurrent && MakeCurrent() != EContextStatus::kCurrent) {
        return false;
    }
    const std::size_t stride = (static_cast<std::size_t>(m_width) * 3 + 3) & ~std::size_t{3};
    rows.assign(stride * static_cast<std::size_t>(m_height), 0);
    glReadBuffer(kFrontAttachment);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, m_width, m_height, GL_BGR, GL_UNSIGNED_BYTE, rows.data());
    if (!wasCurrent) {
        Release();
    }
    return true;
}

}  // namespace orva
