#include "shipped_gems.h"

#include <fstream>

#include "render/render_scene.h"
#include "scene/gem.h"
#include "scene/gem_library.h"
#include "scene/object_class.h"
#include "scene/scene_file.h"
#include "view/view_camera.h"

namespace orva::test {

const char* const kShippedCutNames[kShippedGems] = {
    "roundBrilliant", "princess", "oval",    "marquise", "pear",     "heart",
    "emerald",        "baguette", "cushion", "trillion", "cabochon", "pearl"};

const nlohmann::json& ShippedDescription() {
    static const nlohmann::json description = [] {
        std::ifstream in(ORVA_GEMLIB_SOURCE);
        return nlohmann::json::parse(in);
    }();
    return description;
}

const nlohmann::json& ShippedCut(int index) {
    return ShippedDescription().at("cuts").at(static_cast<std::size_t>(index));
}

std::string ShippedLibraryPath() {
    return ORVA_GEMLIB;
}

const CPolyMesh* ShippedShape(int index) {
    static CGemLibrary library(ShippedLibraryPath());
    const CSceneObject* shape = library.Entry(index);
    if (shape == nullptr || shape->GetTypeId() != kTypePolyMesh) {
        return nullptr;
    }
    return static_cast<const CPolyMesh*>(shape);
}

std::unique_ptr<CImageSurface> RenderFromAbove(int index, float scale, int size) {
    const std::string previousLibrary = GemLibrary().Path();
    GemLibrary().SetPath(ShippedLibraryPath());
    CSceneAnchor scene;
    auto gem = std::make_unique<CGem>();
    gem->gemIndex = index;
    gem->placement = CMatrix4::Scaling(scale, scale, scale);
    scene.first = gem.release();

    auto surface = std::make_unique<CImageSurface>(size, size, kUnrendered);
    CViewCamera camera;
    camera.scene = &scene;
    camera.SetViewportRect(0, 0, size, size);
    camera.SetStandardView(3);
    camera.standardView = 3;
    camera.displayMode = kModeRendered;
    CViewCamera* previousCamera = SetCurrentCamera(&camera);
    CDrawSurface* previousSurface = SetCurrentSurface(surface.get());
    camera.ApplyView();
    CRenderRequest request = CurrentViewRequest(1);
    request.threads = 1;
    RenderPicture(request);
    SetCurrentSurface(previousSurface);
    SetCurrentCamera(previousCamera);
    GemLibrary().SetPath(previousLibrary);
    return surface;
}

}  // namespace orva::test
