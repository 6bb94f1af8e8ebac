#include "render/shading/shading_context.h"

namespace orva {

CShadingContext::~CShadingContext() {
    ReleaseRenderMaterials(*this);
}

void ReleaseRenderMaterials(CShadingContext& ctx) {
    ctx.imageCache.clear();
    ctx.materialList.clear();
}

}  // namespace orva
