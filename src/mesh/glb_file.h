#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "mesh/triangle_mesh.h"

namespace orva {

struct CGlbOptions {
    // How far the metal's simplified surface may stray from the lattice's, in mm.
    double metalErrorMm = 0.01;
};

// A glTF 2.0 binary of the piece and what went into it.
struct CGlbFile {
    std::string bytes;
    std::vector<size_t> triangles;  // a part's triangles as written, in the parts' order
};

// The parts as a glTF 2.0 binary for web viewers: metres, +Y up (a root node named after the
// scene scales and turns the model), a node and a mesh per part named after it. Metal is
// simplified and smoothly shaded, stones keep their facets; materials are metallic-roughness
// with the stones' extensions (see pbr_material.h); positions and normals are stored as
// 16- and 8-bit integers (KHR_mesh_quantization).
CGlbFile MakeGlb(const std::string& sceneName, const std::vector<CMeshPart>& parts,
                 const CGlbOptions& options = {});

}  // namespace orva
