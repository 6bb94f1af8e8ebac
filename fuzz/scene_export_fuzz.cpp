// Reads arbitrary bytes as a scene and makes the closed meshes of its resolved piece at a
// coarse resolution, with a gem library of a closed cube: whatever a file holds, the export
// must neither crash nor read out of bounds nor hang, a lattice too large is refused, and
// every triangle it makes names points it has; its glTF binary starts as one.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "mesh/glb_file.h"
#include "mesh/piece_mesh.h"
#include "mesh_shapes.h"
#include "sampling_cap.h"
#include "scene/byte_reader.h"
#include "scene/gem_library.h"
#include "scene/object_list.h"
#include "scene/scene_file.h"
#include "scene_writer.h"

namespace {

void UseCubeGemLibrary() {
    static const bool ready = [] {
        const auto cube = orva::MakeBoxMesh({-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f});
        const std::string path =
            (std::filesystem::temp_directory_path() / "orva_export_fuzz.gemlib").string();
        orva::WriteFileBytes(path, orva::WriteGemLibraryBytes(cube.get()));
        orva::GemLibrary().SetPath(path);
        return true;
    }();
    (void)ready;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    UseCubeGemLibrary();
    for (bool withSignature : {true, false}) {
        orva::CByteReader in({data, size});
        orva::CSceneObject* first = nullptr;
        if (orva::ReadObjectList(in, first, withSignature) < 0) {
            continue;
        }
        orva::CObjectList list;
        list.Adopt(first);
        orva::fuzz::CapSamplingSteps(list.first, 16);
        orva::CPieceMeshOptions options;
        options.resolution = 0.25;
        options.threads = 2;
        options.memoryLimit = int64_t(64) << 20;
        const orva::CPieceMesh piece = orva::MeshPiece(list.first, nullptr, options);
        for (const orva::CMeshPart& part : piece.parts) {
            for (const auto& t : part.mesh.triangles) {
                for (const uint32_t v : t) {
                    if (v >= part.mesh.points.size()) {
                        __builtin_trap();
                    }
                }
            }
        }
        const orva::CGlbFile glb = orva::MakeGlb("fuzz", piece.parts);
        if (glb.bytes.compare(0, 4, "glTF") != 0) {
            __builtin_trap();
        }
        return 0;
    }
    return 0;
}
