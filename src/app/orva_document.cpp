#include "app/orva_document.h"

#include <filesystem>

#include "app/command_ids.h"
#include "platform/message_box.h"

namespace orva {

namespace {

// File names differ by case on Linux, so two spellings are the same document only when they
// lead to the same file (links included); a file that is gone is known by its path alone.
bool SameDocument(const std::string& a, const std::string& b) {
    std::error_code error;
    const bool same = std::filesystem::equivalent(a, b, error);
    return error ? a == b : same;
}

}  // namespace

std::string FullPath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return (error ? std::filesystem::path(path) : absolute).lexically_normal().string();
}

bool COrvaDoc::OpenDocument(const std::string& path, const std::function<void()>& beforeReplace) {
    const std::string full = FullPath(path);
    if (!m_path.empty() && SameDocument(full, m_path)) {
        return false;
    }
    // Read beside the shown scene, so that a file that fails leaves the user where they were.
    CSceneAnchor fresh;
    LoadSceneFile(fresh, full, &m_lastLoad);
    if (m_lastLoad.status == CLoadReport::kUnreadable) {
        ShowMessage("Cannot open " + full + ": " + m_lastLoad.reason);
    }
    if (m_lastLoad.status != CLoadReport::kOk) {
        return false;
    }
    if (beforeReplace) {
        beforeReplace();
    }
    m_scene = std::move(fresh);
    m_path = full;
    m_sceneLoad = m_lastLoad;
    return true;
}

std::string COrvaDoc::Title() const {
    if (m_path.empty()) {
        return kUntitled;
    }
    return std::filesystem::path(m_path).filename().string();
}

std::string COrvaDoc::Caption() const {
    return std::string(kWindowTitle) + " - " + Title();
}

}  // namespace orva
