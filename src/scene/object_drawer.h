#pragma once

#include "geometry/matrix4.h"
#include "scene/display_mode.h"

namespace orva {

class CCurve;
class CSurface;
class CPolyMesh;

// What the interactive display offers the objects that draw through it. The containers
// (groups, extrusions, gems) draw their members through the same drawer under their
// placement; curves, surfaces and meshes hand themselves to it.
class CObjectDrawer {
public:
    virtual ~CObjectDrawer() = default;

    virtual void DrawCurve(const CCurve& curve, EDisplayMode mode) = 0;
    virtual void DrawSurface(const CSurface& surface, EDisplayMode mode) = 0;
    virtual void DrawPolyMesh(const CPolyMesh& mesh, EDisplayMode mode) = 0;

    // The display's model matrix, as the containers save, extend and restore it.
    virtual CMatrix4 GetModelViewMatrix() = 0;
    virtual void MultMatrix(const CMatrix4& m) = 0;
    virtual void LoadMatrix(const CMatrix4& m) = 0;
};

}  // namespace orva
