#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "mesh/triangle_mesh.h"

namespace orva {

class CInterrupt;
class CSceneObject;

// Which parts of the piece become meshes.
enum class EMeshParts { kAll, kMetal, kGems };

struct CPieceMeshOptions {
    double resolution = 0.02;  // the lattice's spacing, model units
    EMeshParts parts = EMeshParts::kAll;
    int threads = 1;
    // Above 0, flat regions get fewer, larger triangles; but the merged triangles of thin parts
    // (a prong's tip) may then cut through each other, so every lattice cell keeps its own.
    double adaptivity = 0.0;
    bool shippedGemNames = true;             // stones are named by the shipped library's cuts
    int64_t memoryLimit = int64_t(4) << 30;  // the level sets' estimated bytes, at most
    CInterrupt* interrupt = nullptr;
    std::atomic<int>* rowsDone = nullptr;  // rows of rays cast so far, for progress
    std::atomic<int>* rowsToDo = nullptr;  // set to the rows there are, once known
};

struct CPieceMesh {
    enum EStatus { kDone, kNothing, kTooLarge, kStopped };
    EStatus status = kDone;
    std::vector<CMeshPart> parts;  // the metal per material in scene order, then the stones
    // With kTooLarge: the memory the resolution asked for would take, and the finest
    // resolution (a multiple of 0.005) that would fit the limit.
    int64_t estimatedBytes = 0;
    double resolutionThatFits = 0.0;
};

// The resolved piece of the objects from `first` up to (not including) `stop` as closed
// meshes: the metal of each material as a level set meshed (where parts of two materials
// overlap, the metal is the later part's), and each stone's own placed mesh as it is.
CPieceMesh MeshPiece(const CSceneObject* first, const CSceneObject* stop,
                     const CPieceMeshOptions& options);

}  // namespace orva
