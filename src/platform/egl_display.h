#pragma once

#include <EGL/egl.h>

#include <string>

namespace orva {

// The process's EGL display on Mesa's surfaceless platform, which needs neither a window
// system nor a GPU (llvmpipe draws in software). It is initialised on first use and kept until
// the process ends: terminating it would end every context at once and unload the driver, which
// leaves memory behind each time it is loaded again.
class CEGLDisplayRef {
public:
    CEGLDisplayRef();

    // EGL_NO_DISPLAY when none could be had; Failure() then says why.
    EGLDisplay Get() const { return m_display; }
    const std::string& Failure() const { return m_failure; }

private:
    EGLDisplay m_display = EGL_NO_DISPLAY;
    std::string m_failure;
};

// Whether an EGL display can be had at all in this process (a machine without Mesa's EGL has
// none; one with it always has the surfaceless platform).
bool EGLDisplayAvailable();

}  // namespace orva
