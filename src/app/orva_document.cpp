#include "app/orva_document.h"

#include <filesystem>

#include "app/command_ids.h"

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

bool COrvaDoc::OpenDocument(const std::string& path) {
    const std::string full = FullPath(path);
    if (!m_path.empty() && SameDocument(full, m_path)) {
        return false;
    }
    m_lastLoad = CLoadReport{};
    LoadSceneFile(m_scene, full, &m_lastLoad);
    m_path = full;
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
