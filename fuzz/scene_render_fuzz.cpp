// Reads arbitrary bytes as a scene and renders it small in both software modes, whole and in
// bands, and anti-aliased with coverage, the later pictures from the tessellation the first
// kept: whatever a file holds, rendering must neither crash nor read out of bounds nor hang.
#include <cstddef>
#include <cstdint>

#include "render/render_scene.h"
#include "render/tessellation/tessellation_store.h"
#include "sampling_cap.h"
#include "scene/byte_reader.h"
#include "scene/object_list.h"
#include "scene/scene_file.h"
#include "view/draw_surface.h"

namespace {

// Small pictures: every path of the renderer is met in a few rows, many times a second.
constexpr int kWidth = 32;
constexpr int kHeight = 24;

void Render(const orva::CSceneObject* first, orva::CTessellationStore& kept, orva::EShading shading,
            int threads, float zoom, int antialias = 1) {
    orva::CImageSurface surface(kWidth, kHeight);
    orva::CRenderRequest request;
    request.first = first;
    // A view that turns the scene a little, so no axis lines up with the pixel grid.
    request.view = orva::CMatrix4::Identity();
    request.view.At(0, 0) = 0.8f, request.view.At(0, 2) = -0.6f;
    request.view.At(2, 0) = 0.6f, request.view.At(2, 2) = 0.8f;
    const float scale = kHeight * zoom / 50;
    request.windowMatrix = orva::CMatrix4::Scaling(scale, -scale, 1);
    request.windowMatrix.At(3, 0) = kWidth / 2 - 0.5f;
    request.windowMatrix.At(3, 1) = kHeight / 2 - 0.5f;
    request.windowMatrix = orva::Multiply(request.view, request.windowMatrix);
    request.viewportWidth = kWidth;
    request.viewportHeight = kHeight;
    request.shading = shading;
    request.threads = threads;
    request.surface = &surface;
    request.antialias = antialias;
    request.coverage = antialias > 1;
    request.tessellation = &kept;
    orva::RenderPicture(request);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Scene files begin with the signature; the fuzzer's own inputs may not.
    for (bool withSignature : {true, false}) {
        orva::CByteReader in({data, size});
        orva::CSceneObject* first = nullptr;
        if (orva::ReadObjectList(in, first, withSignature) < 0) {
            continue;
        }
        orva::CObjectList list;
        list.Adopt(first);
        orva::fuzz::CapSamplingSteps(list.first, 16);
        orva::CTessellationStore kept;
        Render(list.first, kept, orva::EShading::kPerPixel, 1, 1.0f);
        Render(list.first, kept, orva::EShading::kVertexColours, 2, 40.0f);
        Render(list.first, kept, orva::EShading::kPerPixel, 2, 3.0f, 3);
        return 0;
    }
    return 0;
}
