#pragma once

#include <string>

namespace orva {

struct CExportOptions {
    std::string scenePath;
    std::string outputPath;         // .stl or .3mf
    std::string gemLibraryPath;     // empty: the library beside the program
    std::string materialDirectory;  // empty: the folder beside the program
    double resolution = 0.02;       // mm
    std::string parts = "all";      // all, metal or gems
    int threads = 0;                // below 1: one per core
    bool json = false;
};

// Reads the scene and writes its resolved piece as closed meshes. Exit status: 0 written;
// 1 invalid or unreadable scene, nothing to export, a grid too large or a file not written;
// 2 bad options; 130 stopped (no file is left).
int RunExportCommand(const CExportOptions& options);

}  // namespace orva
