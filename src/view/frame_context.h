#pragma once

#include <cstdint>
#include <functional>

#include "geometry/matrix4.h"
#include "scene/scene_file.h"

namespace orva {

class CDrawSurface;
class CFrameContext;
class CInterrupt;
class CViewCamera;

// The OpenGL side of a frame's viewport, matrix and colour operations, already in OpenGL's
// bottom-up window rows.
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

// How the wireframe's lines are drawn.
enum EPolylineMode {
    kPolylineMarkers = 0,  // every vertex becomes a point marker
    kPolylineOpen = 1,
    kPolylineClosed = 2,
};

// The polyline a frame is drawing. There is one per frame, so polylines never nest: a marker
// drawn while a polyline is open ends it.
struct CPolylineState {
    EPolylineMode mode = kPolylineMarkers;
    int count = 0;         // vertices given since the polyline began
    CVector3 firstVertex;  // where a closed polyline returns to
};

// What draws a frame's picture once its viewport is applied: the display-mode dispatch, or
// the window's own painter around it.
using ViewPainter = std::function<void(CFrameContext&)>;

// Orthographic projection of a viewport of width x height pixels: eye x and y scaled by
// height * s / 2 pixels per unit, window y downward, depth = eye z. s = zoom / view size.
CMatrix4 ViewportWindowMatrix(int width, int height, double s);

// Everything one picture of a view reads and changes while it is drawn: the camera and the
// surface it draws, the software copies of the display's matrices, the drawing colour and the
// polyline in progress. Viewport, matrix and colour operations always keep the software copies
// and issue OpenGL calls only between BeginGL and EndGL. A frame is used by one thread; two
// frames share nothing, so pictures of several views can be drawn at once.
class CFrameContext {
public:
    CFrameContext(CViewCamera& camera, CDrawSurface& surface, CInterrupt& interrupt);
    CFrameContext(const CFrameContext&) = delete;
    CFrameContext& operator=(const CFrameContext&) = delete;

    CViewCamera& Camera() const { return m_camera; }
    CDrawSurface& Surface() const { return m_surface; }
    // Asked between units of work; the frame's Redraw resets it.
    CInterrupt& Interrupt() const { return m_interrupt; }
    // The objects the frame shows: the whole top-level list of the camera's scene.
    CSceneRange Scene() const;

    // From BeginGL to EndGL the operations below also go to `backend`.
    void BeginGL(CGLBackend& backend) { m_backend = &backend; }
    void EndGL() { m_backend = nullptr; }
    bool InsideGL() const { return m_backend != nullptr; }

    void SetViewport(int x, int y, int width, int height);
    void SetScissor(int x, int y, int width, int height);
    void ResetScissor();
    void SetProjection(int width, int height, double s);
    // The viewport's view matrix becomes the model-view matrix.
    void LoadView(const CMatrix4& view);
    void LoadMatrix(const CMatrix4& m);
    // M applied first, then the current model-view matrix, as OpenGL does.
    void MultMatrix(const CMatrix4& m);
    const CMatrix4& ModelViewMatrix() const { return m_modelView; }
    // Model coordinates to window pixels (x, y) and eye depth (z).
    CMatrix4 WindowMatrix() const { return Multiply(m_modelView, m_window); }
    CMatrix4 WindowMatrixInverse() const { return Inverse(WindowMatrix()); }
    // The inverse of the view matrix last loaded with LoadView.
    const CMatrix4& ViewInverse() const { return m_viewInverse; }

    // Sets the drawing colour (0x00BBGGRR); returns the one it replaces.
    uint32_t SetColour(uint32_t rgb);
    uint32_t Colour() const { return m_colour; }
    void SetObjectColour(int32_t state, int32_t colourIndex);

    ViewPainter painter;
    bool interactive = false;  // drawn as the quick preview
    int renderThreads = 0;     // threads of a software render; below 1, one per core
    bool rendering = false;    // a software render of this frame is under way
    CPolylineState polyline;

private:
    // OpenGL counts rows from the bottom: the last row of the surface's clip bounds.
    int LastRow() const;

    CViewCamera& m_camera;
    CDrawSurface& m_surface;
    CInterrupt& m_interrupt;
    CGLBackend* m_backend = nullptr;
    CMatrix4 m_modelView;
    CMatrix4 m_window;       // eye coordinates to window pixels (y downward), depth in z
    CMatrix4 m_viewInverse;  // inverse of the viewport's view matrix
    uint32_t m_colour = 0;
};

}  // namespace orva
