#pragma once

#include <string>

namespace orva {

class CInterrupt;

// What the browser says of a scene file beside its thumbnail, from what the loader reports
// when it reads the file: nothing for a whole scene, else why it will not open as it is.
struct CSceneCheck {
    // Some objects can be read: a picture can be rendered of them.
    bool readable = true;
    // "ends early: 3 objects", "not a scene file", "cannot be read: Permission denied"; empty
    // for a whole scene. The thumbnail of a file with a note is marked.
    std::string note;

    bool Marked() const { return !note.empty(); }
};

// Reads the scene file at `path` as opening it would, on the calling thread, and says how it
// went. Once `interrupt` is requested the read stops, and the answer means nothing.
CSceneCheck CheckSceneFile(const std::string& path, CInterrupt* interrupt = nullptr);

}  // namespace orva
