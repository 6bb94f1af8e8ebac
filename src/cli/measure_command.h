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
    std::string pdfPath;  // set: the report's page is written there too
};

// Reads the scene, measures its metal and stones and prints the report, and writes its page as
// a PDF when asked. Exit status: 0 measured, 1 invalid, unreadable or incomplete scene or a
// PDF not written, 2 bad options.
int RunMeasureCommand(const CMeasureOptions& options);

}  // namespace orva
