// orvgen: writes scene files, gem libraries and material files from JSON descriptions.
// Used by the build (shipped data, samples) and by tests; the viewer itself never writes.
#include <cstdio>
#include <fstream>
#include <iostream>

#include "json_scene.h"
#include "material_set.h"

namespace {

// A "materials" description makes a whole folder: its material files and their maps.
bool WriteOutput(const nlohmann::json& document, const char* output) {
    if (document.value("format", std::string()) == "materials") {
        return orva::WriteMaterialSet(orva::MaterialSetFromJson(document), output);
    }
    return orva::WriteFileBytes(output, orva::FileBytesFromJson(document));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: orvgen DESCRIPTION.json OUTPUT\n");
        std::fprintf(stderr, "       (OUTPUT is a folder when the format is \"materials\")\n");
        return 2;
    }
    std::ifstream input(argv[1]);
    if (!input) {
        std::fprintf(stderr, "orvgen: cannot read %s\n", argv[1]);
        return 1;
    }
    try {
        const nlohmann::json document = nlohmann::json::parse(input);
        if (!WriteOutput(document, argv[2])) {
            std::fprintf(stderr, "orvgen: cannot write %s\n", argv[2]);
            return 1;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "orvgen: %s: %s\n", argv[1], error.what());
        return 1;
    }
    return 0;
}
