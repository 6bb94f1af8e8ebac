#include "display/fixed_function_backend.h"

#include <GL/gl.h>

namespace orva {

void CFixedFunctionBackend::Viewport(int x, int y, int width, int height) {
    glViewport(x, y, width, height);
}

void CFixedFunctionBackend::Scissor(int x, int y, int width, int height) {
    glScissor(x, y, width, height);
}

void CFixedFunctionBackend::Projection(double sx, double sy, double sz) {
    // A plain scale, no glOrtho: depth keeps the sign of eye z, which is why frames clear depth
    // to 0 and keep the larger value.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glScaled(sx, sy, sz);
    glMatrixMode(GL_MODELVIEW);
}

void CFixedFunctionBackend::LoadMatrix(const CMatrix4& m) {
    glLoadMatrixf(m.Data());
}

void CFixedFunctionBackend::MultMatrix(const CMatrix4& m) {
    glMultMatrixf(m.Data());
}

void CFixedFunctionBackend::Colour(uint32_t rgb) {
    const GLubyte r = rgb & 0xff;
    const GLubyte g = (rgb >> 8) & 0xff;
    const GLubyte b = (rgb >> 16) & 0xff;
    glColor3ub(r, g, b);
    // Lit surfaces take their colour from the material, lines from the current colour.
    const GLfloat diffuse[4] = {r / 255.0f, g / 255.0f, b / 255.0f, 1.0f};
    glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
}

}  // namespace orva
