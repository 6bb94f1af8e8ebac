#include "cli/scene_load.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "cli/early_end_note.h"
#include "cli/stop_on_signal.h"
#include "platform/message_box.h"
#include "scene/gem_library.h"
#include "scene/material_file.h"

namespace orva {

bool LoadCommandScene(CSceneAnchor& scene, const std::string& path, CLoadReport& load) {
    std::vector<std::string> messages;
    const MessageHandler previous =
        SetMessageHandler([&messages](const std::string& text) { messages.push_back(text); });
    // Ctrl+C stops a long read as it stops a long picture.
    LoadSceneFile(scene, path, &load, &UserInterrupt());
    SetMessageHandler(previous);
    if (StopRequested()) {
        return false;  // nothing to say about a file the user stopped reading
    }
    if (load.systemError != 0) {
        // The system's reason says more than "Invalid file format!" for a folder or a bad disk.
        std::fprintf(stderr, "orva: cannot %s %s: %s\n",
                     load.status == CLoadReport::kUnreadable ? "open" : "read", path.c_str(),
                     load.reason.empty() ? std::strerror(load.systemError) : load.reason.c_str());
        return false;
    }
    for (const std::string& text : messages) {
        // The line already names the file; a message's own file line would repeat it.
        const std::string first = text.substr(0, text.find('\n'));
        std::fprintf(stderr, "orva: %s: %s\n", path.c_str(), first.c_str());
    }
    return load.status == CLoadReport::kOk;
}

void UseCommandData(const std::string& gemLibraryPath, const std::string& materialDirectory) {
    if (!gemLibraryPath.empty()) {
        GemLibrary().SetPath(gemLibraryPath);
    }
    if (!materialDirectory.empty()) {
        SetMaterialDirectory(materialDirectory);
    }
}

int LoadPictureScene(CSceneAnchor& scene, const std::string& path) {
    CLoadReport load;
    const bool loaded = LoadCommandScene(scene, path, load);
    if (StopRequested()) {
        return 130;
    }
    if (!loaded) {
        return 1;
    }
    PrintEarlyEndNote(path, load);
    return 0;
}

}  // namespace orva
