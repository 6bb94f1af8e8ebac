#include "shipped_gems.h"

#include <fstream>

#include "scene/gem.h"
#include "scene/gem_library.h"
#include "scene/object_class.h"
#include "scene/scene_file.h"

namespace orva::test {

namespace {

// Standard view 3 looks down the model z axis with x to the right and y up.
constexpr int kViewFromAbove = 3;

}  // namespace

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
    RenderStandardView(scene, kViewFromAbove, 1.0f, *surface);
    GemLibrary().SetPath(previousLibrary);
    return surface;
}

}  // namespace orva::test
