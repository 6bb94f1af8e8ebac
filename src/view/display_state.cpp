#include "view/display_state.h"

#include "view/draw_surface.h"
#include "view/view_camera.h"

namespace orva {

namespace {

constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) {
    return r | (g << 8) | (b << 16);
}

CGLBackend* g_glBackend = nullptr;

// OpenGL counts rows from the bottom: the last row of the current surface's clip bounds.
int LastRow() {
    const CDrawSurface* surface = CurrentSurface();
    return surface != nullptr ? surface->clipLastRow : 30000;
}

CGLBackend* ActiveBackend() {
    return g_bGLInactive == 0 ? g_glBackend : nullptr;
}

}  // namespace

const std::array<uint32_t, 26> g_colourTable = {
    Rgb(0xe4, 0xe4, 0xe4), Rgb(0xaf, 0xaf, 0xaf), Rgb(0xc9, 0xc9, 0xc9), Rgb(0x88, 0x88, 0x88),
    Rgb(0xff, 0xff, 0xff), Rgb(0x00, 0x00, 0x00), Rgb(0x9f, 0x9f, 0xdf), Rgb(0x9f, 0xdf, 0x9f),
    Rgb(0xdf, 0xdf, 0x9f), Rgb(0xdf, 0x9f, 0x9f), Rgb(0xaf, 0xaf, 0xaf), Rgb(0x00, 0x00, 0xaf),
    Rgb(0x00, 0xaf, 0x00), Rgb(0xaf, 0xaf, 0x00), Rgb(0xaf, 0x00, 0x00), Rgb(0x7f, 0x7f, 0x7f),
    Rgb(0x00, 0x00, 0xff), Rgb(0x00, 0xff, 0x00), Rgb(0xff, 0xff, 0x00), Rgb(0xff, 0x00, 0x00),
    Rgb(0x3f, 0x3f, 0x3f), Rgb(0x00, 0xff, 0xff), Rgb(0x9f, 0xff, 0x9f), Rgb(0xff, 0xff, 0x5f),
    Rgb(0xff, 0x00, 0xff), Rgb(0x00, 0x00, 0x00)};

int g_bGLInactive = 1;
CMatrix4 g_matModelView;
CMatrix4 g_matWindow;
CMatrix4 g_matViewInverse;

CGLBackend* SetGLBackend(CGLBackend* backend) {
    CGLBackend* previous = g_glBackend;
    g_glBackend = backend;
    return previous;
}

void SetViewport(int x, int y, int width, int height) {
    if (CGLBackend* gl = ActiveBackend()) {
        const int bottom = LastRow() - y - height + 1;
        gl->Viewport(x, bottom, width, height);
        gl->Scissor(x, bottom, width, height);
    }
}

void SetScissor(int x, int y, int width, int height) {
    if (CGLBackend* gl = ActiveBackend()) {
        gl->Scissor(x, LastRow() - y - height + 1, width, height);
    }
}

void ResetScissor() {
    if (CGLBackend* gl = ActiveBackend()) {
        gl->Scissor(-10000, -10000, 20000, 20000);
    }
}

void SetProjection(int width, int height, double s) {
    if (CGLBackend* gl = ActiveBackend()) {
        gl->Projection(height * s / width, s, 0.02 * s);
    }
    g_matWindow = CMatrix4::Identity();
    g_matWindow[0] = static_cast<float>(height * s / 2);
    g_matWindow[5] = static_cast<float>(-height * s / 2);
    g_matWindow[12] = static_cast<float>(width / 2.0 - 0.5);
    g_matWindow[13] = static_cast<float>(height / 2.0 - 0.5);
}

void LoadMatrix(const CMatrix4& m) {
    if (CGLBackend* gl = ActiveBackend()) {
        gl->LoadMatrix(m);
    }
    g_matModelView = m;
}

void MultMatrix(const CMatrix4& m) {
    if (CGLBackend* gl = ActiveBackend()) {
        gl->MultMatrix(m);
    }
    g_matModelView = Multiply(m, g_matModelView);
}

CMatrix4 GetModelViewMatrix() {
    return g_matModelView;
}

CMatrix4 GetWindowMatrix() {
    return Multiply(g_matModelView, g_matWindow);
}

CMatrix4 GetWindowMatrixInverse() {
    return Inverse(GetWindowMatrix());
}

void PrepareRenderView() {
    CViewCamera* camera = CurrentCamera();
    if (camera == nullptr) {
        return;
    }
    camera->ApplyView();
    g_matViewInverse = Inverse(camera->CurrentViewport().view);
}

uint32_t SetColour(uint32_t rgb) {
    if (CGLBackend* gl = ActiveBackend()) {
        gl->Colour(rgb);
    }
    CDrawSurface* surface = CurrentSurface();
    if (surface == nullptr) {
        return rgb;
    }
    const uint32_t previous = surface->colour;
    surface->colour = rgb;
    return previous;
}

uint32_t ObjectColour(int32_t state, int32_t colourIndex) {
    if (state == 1) {
        return g_colourTable[4];
    }
    const bool known = colourIndex >= 0 && colourIndex < 20;
    return g_colourTable[6 + (known ? colourIndex : 0)];
}

void SetObjectColour(int32_t state, int32_t colourIndex) {
    SetColour(ObjectColour(state, colourIndex));
}

}  // namespace orva
