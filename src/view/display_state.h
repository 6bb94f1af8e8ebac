#pragma once

#include <array>
#include <cstdint>

#include "geometry/matrix4.h"

namespace orva {

// The display's fixed colours, 0x00BBGGRR: entry 0 the background, entry 4 highlighted
// objects, entries 6..25 the twenty object colours.
extern const std::array<uint32_t, 26> g_colourTable;

// The display state of the user-interface thread. The viewport, matrix and colour operations
// below always keep these software copies and issue their OpenGL calls only inside a frame
// (g_bGLInactive == 0), through the backend the OpenGL display installs.
extern int g_bGLInactive;
extern CMatrix4 g_matModelView;
extern CMatrix4 g_matWindow;       // eye coordinates to window pixels (y downward), depth in z
extern CMatrix4 g_matViewInverse;  // inverse of the current viewport's view matrix

// The OpenGL side of the operations below, already in OpenGL's bottom-up window rows.
class CGLBackend {
public:
    virtual ~CGLBackend() = default;
    virtual void Viewport(int x, int y, int width, int height) = 0;
    virtual void Scissor(int x, int y, int width, int height) = 0;
    // Loads the projection: identity scaled by (sx, sy, sz).
    virtual void Projection(double sx, double sy, double sz) = 0;
    virtual void LoadMatrix(const CMatrix4& m) = 0;
    virtual void MultMatrix(const CMatrix4& m) = 0;
    virtual void Colour(uint32_t rgb) = 0;
};
// Installs the backend; returns the one it replaces.
CGLBackend* SetGLBackend(CGLBackend* backend);

void SetViewport(int x, int y, int width, int height);
void SetScissor(int x, int y, int width, int height);
void ResetScissor();
// Orthographic: eye x and y scaled by height * s / 2 pixels per unit, window y downward,
// depth = eye z * 0.02 * s. s = zoom / view size.
void SetProjection(int width, int height, double s);
void LoadMatrix(const CMatrix4& m);
// M applied first, then the current model-view matrix, as OpenGL does.
void MultMatrix(const CMatrix4& m);
CMatrix4 GetModelViewMatrix();
// Model coordinates to window pixels (x, y) and eye depth (z).
CMatrix4 GetWindowMatrix();
CMatrix4 GetWindowMatrixInverse();
// Brings the software matrices up to date for the software renderer (no OpenGL involved).
void PrepareRenderView();

// Sets the drawing colour; returns the one it replaces.
uint32_t SetColour(uint32_t rgb);
// White for highlighted objects (state 1), else the object colour of the index. Indices
// outside 0..19 take the colour of index 0.
void SetObjectColour(int32_t state, int32_t colourIndex);
uint32_t ObjectColour(int32_t state, int32_t colourIndex);

}  // namespace orva
