#include "render/render_context.h"

namespace orva {

CRenderContext::~CRenderContext() {
    ReleaseRenderMaterials(*this);
}

void ReleaseRenderMaterials(CRenderContext& ctx) {
    ctx.imageCache.clear();
    ctx.materialList.clear();
}

}  // namespace orva
