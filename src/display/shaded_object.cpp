#include "display/shaded_object.h"

#include <array>

#include "display/polygon_faces.h"
#include "display/tessellation_cache.h"
#include "scene/gem.h"
#include "scene/gem_library.h"
#include "scene/group.h"
#include "scene/poly_mesh.h"
#include "view/frame_context.h"

namespace orva {

namespace {

void DrawGroup(CFrameContext& frame, CTessellationCache& cache, const CGroup& group) {
    for (const CSceneObject* c = group.children.first; c != nullptr; c = c->next) {
        if (c->IsShown()) {
            DrawShadedObject(frame, cache, *c);
        }
        if (group.OnlyFirstChildCounts()) {
            break;
        }
    }
}

// A gem's library entry may itself be a gem: the chain is followed to the shape, the innermost
// placement applied first. The steps stay entered while the shape draws, so a chain that
// comes back to itself through groups still ends.
void DrawGem(CFrameContext& frame, CTessellationCache& cache, const CGem& gem) {
    std::array<CGemResolution, kMaxGemResolution> steps;
    CMatrix4 composed = gem.placement;
    const CSceneObject* shape = steps[0].Shape(gem.gemIndex);
    for (std::size_t k = 1; shape != nullptr && shape->GetTypeId() == kTypeGem; ++k) {
        const auto* inner = dynamic_cast<const CGem*>(shape);
        if (inner == nullptr || k >= steps.size()) {
            return;
        }
        composed = Multiply(inner->placement, composed);
        shape = steps[k].Shape(inner->gemIndex);
    }
    if (shape == nullptr) {
        return;
    }
    const CMatrix4 saved = frame.ModelViewMatrix();
    frame.MultMatrix(composed);
    DrawShadedObject(frame, cache, *shape);
    frame.LoadMatrix(saved);
}

void DrawCachedParts(CTessellationCache& cache, const CSceneObject& object, bool mirrored) {
    DrawShadedParts(cache.Parts(object), mirrored);
}

}  // namespace

void DrawShadedObject(CFrameContext& frame, CTessellationCache& cache, const CSceneObject& object) {
    switch (object.GetTypeId()) {
        case kTypeSurface:
        case kTypeExtrusion:
            DrawCachedParts(cache, object, false);
            break;
        case kTypePolyMesh:
            if (const auto* mesh = dynamic_cast<const CPolyMesh*>(&object)) {
                DrawCachedParts(
                    cache, object,
                    IsMirrored(frame.ModelViewMatrix(), frame.ViewInverse(), mesh->orientation));
            }
            break;
        case kTypeGroup:
            if (const auto* group = dynamic_cast<const CGroup*>(&object)) {
                DrawGroup(frame, cache, *group);
            }
            break;
        case kTypeGem:
            if (const auto* gem = dynamic_cast<const CGem*>(&object)) {
                DrawGem(frame, cache, *gem);
            }
            break;
        default:
            break;
    }
}

}  // namespace orva
