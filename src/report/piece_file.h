#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "mesh/piece_mesh.h"
#include "scene/scene_file.h"

namespace orva {

class CInterrupt;

// The files the resolved piece is written to, told apart by the name's extension in any case.
enum class EPieceFormat { kStl, k3mf, kGlb, kWebPage, kUnknown };
EPieceFormat PieceFormatOf(const std::string& path);

enum class EPieceWritten { kDone, kFailed, kStopped };

struct CPieceFileResult {
    EPieceWritten status = EPieceWritten::kFailed;
    std::vector<size_t> triangles;  // each part's triangles as the file holds them
    std::string error;              // why it failed
};

// Writes the meshed piece of `scene` to `path` in the format its name says, whole or not at
// all: STL and 3MF as the lattice made it, for casting and printing; a glTF binary, or the
// shop's web page around one, for the web (the page also measures the piece and renders its
// poster, which `interrupt` may stop).
CPieceFileResult WritePieceFile(const std::string& path, CSceneAnchor& scene,
                                const std::string& sceneName, const CPieceMesh& piece, int threads,
                                CInterrupt* interrupt);

}  // namespace orva
