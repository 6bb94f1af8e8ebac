#pragma once

#include <string>

#include "measure/jewel_report_text.h"

namespace orva {

struct CMeasureOptions {
    std::string scenePath;
    std::string gemLibraryPath;     // empty: the library beside the program
    std::string materialDirectory;  // empty: the folder beside the program
    std::string alloy;              // empty: each material's own alloy
    double accuracyPercent = 0.5;
    int threads = 0;  // below 1: one per core
    bool json = false;
};

// Reads the scene, measures its metal and stones and prints the report. Exit status: 0
// measured, 1 invalid or unreadable scene, 2 bad options.
int RunMeasureCommand(const CMeasureOptions& options);

}  // namespace orva
