#pragma once

#include <memory>

#include "render/csg/render_node.h"
#include "render/tessellation/object_tessellation.h"

namespace orva {

class CExtrusion;
class CPolyMesh;
class CSceneObject;
class CSurface;
struct CRenderContext;
struct CRenderMaterial;

// The render material of one object: loaded by `materialName` (which may differ from the
// object's own: a gem lends its name to its library shape), mapped by the object's material
// value and the inverse of its material matrix.
CRenderMaterial& LoadObjectMaterial(CRenderContext& ctx, const CSceneObject& object,
                                    const char* materialName);

// The object's view-independent tessellation: from the context's store when it has one, else
// built now.
std::shared_ptr<const CObjectTessellation> TessellationOf(CRenderContext& ctx,
                                                          const CSceneObject& object);

// Builders of the render tree's leaves. Each brings the object to the screen under the top of
// the context's model matrix stack and its render transform, with the material given, makes
// closed shells where the object is meant to be solid, and gives none when nothing of it can be
// drawn.

// A lazily tessellated patch, with flat caps over the open ends.
std::unique_ptr<CRenderNode> BuildSurfaceNode(CRenderContext& ctx, const CSurface& surface,
                                              const CRenderMaterial& material);
// One mesh of all polygons; smooth normals except across creases sharper than about 26°.
std::unique_ptr<CRenderNode> BuildPolyMeshNode(CRenderContext& ctx, const CPolyMesh& mesh,
                                               const CRenderMaterial& material);
// The wall and bevel patches under the placement, with triangulated end caps (holes included).
std::unique_ptr<CRenderNode> BuildExtrusionNode(CRenderContext& ctx, const CExtrusion& extrusion,
                                                const CRenderMaterial& material);

}  // namespace orva
