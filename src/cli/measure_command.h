#pragma once

#include <string>
#include <vector>

#include "measure/jewel_report_text.h"

namespace orva {

struct CMeasureOptions {
    std::vector<std::string> scenePaths;  // one or more, measured one after another
    std::string gemLibraryPath;           // empty: the library beside the program
    std::string materialDirectory;        // empty: the folder beside the program
    std::string alloy;                    // empty: each material's own alloy
    double accuracyPercent = 0.5;
    int threads = 0;  // below 1: one per core
    bool json = false;
    std::string pdfPath;  // set: the report's page is written there too; {name} the scene's name
};

// Reads each scene, measures its metal and stones and prints the report, and writes its page as
// a PDF when asked. Exit status: 0 measured, 1 invalid, unreadable or incomplete scene or a
// PDF not written (of several scenes: any of them), 2 bad options, 130 stopped by Ctrl+C.
int RunMeasureCommand(const CMeasureOptions& options);

}  // namespace orva
