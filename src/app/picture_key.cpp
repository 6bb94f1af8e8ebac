#include "app/picture_key.h"

namespace orva {

bool SamePicture(const CPictureKey& a, const CPictureKey& b) {
    const CRenderRequest& r = a.request;
    const CRenderRequest& s = b.request;
    return a.sceneGeneration == b.sceneGeneration && r.first == s.first && r.stop == s.stop &&
           r.view == s.view && r.windowMatrix == s.windowMatrix && r.viewportX == s.viewportX &&
           r.viewportY == s.viewportY && r.viewportWidth == s.viewportWidth &&
           r.viewportHeight == s.viewportHeight && r.repaintSet == s.repaintSet &&
           r.repaintLeft == s.repaintLeft && r.repaintTop == s.repaintTop &&
           r.repaintRight == s.repaintRight && r.repaintBottom == s.repaintBottom &&
           r.shading == s.shading && r.surface == s.surface;
}

}  // namespace orva
