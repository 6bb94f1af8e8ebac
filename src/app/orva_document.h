#pragma once

#include <functional>
#include <string>

#include "scene/scene_file.h"

namespace orva {

// The one document of the program: the scene it shows. It is never modified by the viewer,
// so closing it or opening another file never asks to save.
class COrvaDoc {
public:
    COrvaDoc() = default;
    COrvaDoc(const COrvaDoc&) = delete;
    COrvaDoc& operator=(const COrvaDoc&) = delete;

    // Opens the file as the document: true when the scene, path and title are now the file's.
    // False, with nothing changed: the file already open (the same file, by any path or link
    // that leads to it), which is not read again; a file that cannot be opened (a message
    // names it and the system's reason); a file that is not a scene ("Invalid file format!").
    // `beforeReplace` runs just before the old scene goes, once the new one has been read.
    bool OpenDocument(const std::string& path, const std::function<void()>& beforeReplace = {});

    CSceneAnchor& Scene() { return m_scene; }
    // The full path of the open file; empty for an untitled document.
    const std::string& Path() const { return m_path; }
    // The file's display name, or "Untitled".
    std::string Title() const;
    // "Orvatrix Viewer - " and the title: the main window's caption.
    std::string Caption() const;
    // How the last attempt to read a file went (also one that failed), for callers that report
    // more than the user sees.
    const CLoadReport& LastLoad() const { return m_lastLoad; }
    // How the open scene was read (whether its file ended early, and where).
    const CLoadReport& SceneLoad() const { return m_sceneLoad; }

private:
    CSceneAnchor m_scene;
    std::string m_path;
    CLoadReport m_lastLoad;
    CLoadReport m_sceneLoad;
};

// The full form of a path: absolute and normalised, without following links.
std::string FullPath(const std::string& path);

}  // namespace orva
