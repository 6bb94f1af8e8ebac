#pragma once

#include "view/display_state.h"

namespace orva {

// The OpenGL side of the display's viewport, matrix and colour operations: fixed-function
// OpenGL 1.1 calls on the current context. Installed for the length of a frame.
class CFixedFunctionBackend final : public CGLBackend {
public:
    void Viewport(int x, int y, int width, int height) override;
    void Scissor(int x, int y, int width, int height) override;
    void Projection(double sx, double sy, double sz) override;
    void LoadMatrix(const CMatrix4& m) override;
    void MultMatrix(const CMatrix4& m) override;
    void Colour(uint32_t rgb) override;
};

// Installs a backend for as long as it lives and gives the previous one back afterwards.
class CBackendScope {
public:
    explicit CBackendScope(CGLBackend& backend) : m_previous(SetGLBackend(&backend)) {}
    ~CBackendScope() { SetGLBackend(m_previous); }
    CBackendScope(const CBackendScope&) = delete;
    CBackendScope& operator=(const CBackendScope&) = delete;

private:
    CGLBackend* m_previous;
};

}  // namespace orva
