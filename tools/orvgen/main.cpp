// orvgen: writes scene files, gem libraries and material files from JSON descriptions.
// Used by the build (shipped data, samples) and by tests; the viewer itself never writes.
#include <cstdio>
#include <fstream>
#include <iostream>

#include "json_scene.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: orvgen DESCRIPTION.json OUTPUT\n");
        return 2;
    }
    std::ifstream input(argv[1]);
    if (!input) {
        std::fprintf(stderr, "orvgen: cannot read %s\n", argv[1]);
        return 1;
    }
    try {
        const nlohmann::json document = nlohmann::json::parse(input);
        if (!orva::WriteFileBytes(argv[2], orva::FileBytesFromJson(document))) {
            std::fprintf(stderr, "orvgen: cannot write %s\n", argv[2]);
            return 1;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "orvgen: %s: %s\n", argv[1], error.what());
        return 1;
    }
    return 0;
}
