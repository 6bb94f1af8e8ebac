#include "platform/egl_display.h"

#include <EGL/eglext.h>

#include <cstring>

namespace orva {

namespace {

bool HasClientExtension(const char* name) {
    const char* list = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (list == nullptr) {
        return false;
    }
    const std::size_t length = std::strlen(name);
    for (const char* p = std::strstr(list, name); p != nullptr; p = std::strstr(p + 1, name)) {
        const bool starts = p == list || p[-1] == ' ';
        const bool ends = p[length] == '\0' || p[length] == ' ';
        if (starts && ends) {
            return true;
        }
    }
    return false;
}

EGLDisplay OpenDisplay(std::string& failure) {
    if (!HasClientExtension("EGL_MESA_platform_surfaceless")) {
        failure = "EGL has no surfaceless platform (is Mesa's libEGL installed?)";
        return EGL_NO_DISPLAY;
    }
    EGLDisplay display =
        eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY) {
        failure = "EGL found no surfaceless display";
        return EGL_NO_DISPLAY;
    }
    EGLint major = 0;
    EGLint minor = 0;
    if (eglInitialize(display, &major, &minor) != EGL_TRUE) {
        failure = "EGL could not be initialised";
        return EGL_NO_DISPLAY;
    }
    return display;
}

struct CProcessDisplay {
    EGLDisplay display = EGL_NO_DISPLAY;
    std::string failure;
};

// Tried once: a machine that has no display now will not have one later in the process.
const CProcessDisplay& ProcessDisplay() {
    static const CProcessDisplay opened = [] {
        CProcessDisplay d;
        d.display = OpenDisplay(d.failure);
        return d;
    }();
    return opened;
}

}  // namespace

CEGLDisplayRef::CEGLDisplayRef()
    : m_display(ProcessDisplay().display), m_failure(ProcessDisplay().failure) {}

bool EGLDisplayAvailable() {
    const CEGLDisplayRef display;
    return display.Get() != EGL_NO_DISPLAY;
}

}  // namespace orva
