#include "cli/scene_batch.h"

#include <cstdio>
#include <filesystem>
#include <map>

#include "cli/stop_on_signal.h"

namespace orva {

namespace {

constexpr char kNameField[] = "{name}";

std::string ReplaceNameField(std::string pattern, const std::string& name) {
    const std::string field = kNameField;
    for (std::size_t at = pattern.find(field); at != std::string::npos;
         at = pattern.find(field, at + name.size())) {
        pattern.replace(at, field.size(), name);
    }
    return pattern;
}

}  // namespace

int RunSceneBatch(const std::vector<std::string>& scenes, const SceneWork& work) {
    if (scenes.size() == 1) {
        return work(scenes.front(), CScenePlace{});
    }
    bool anyFailed = false;
    for (std::size_t i = 0; i < scenes.size(); ++i) {
        const int status = work(scenes[i], CScenePlace{i, scenes.size()});
        if (status == 130 || StopRequested()) {
            return 130;
        }
        anyFailed = anyFailed || status != 0;
    }
    return anyFailed ? 1 : 0;
}

std::string SceneName(const std::string& scenePath) {
    return std::filesystem::path(scenePath).stem().string();
}

bool OutputPerScene(const std::string& command, const std::string& option,
                    const std::vector<std::string>& scenes, const std::string& pattern,
                    std::vector<std::string>& outputs) {
    if (scenes.size() > 1 && pattern.find(kNameField) == std::string::npos) {
        std::fprintf(stderr, "orva: %s: %s needs {name} when several scenes are given\n",
                     command.c_str(), option.c_str());
        return false;
    }
    // "a/../b.png" and "b.png" are one file: what was written first would be lost.
    std::map<std::filesystem::path, std::string> writers;
    outputs.clear();
    for (const std::string& scene : scenes) {
        outputs.push_back(ReplaceNameField(pattern, SceneName(scene)));
        const auto [earlier, added] =
            writers.emplace(std::filesystem::path(outputs.back()).lexically_normal(), scene);
        if (!added) {
            std::fprintf(stderr, "orva: %s: %s and %s would both write %s\n", command.c_str(),
                         earlier->second.c_str(), scene.c_str(), outputs.back().c_str());
            return false;
        }
    }
    return true;
}

std::string CSceneHeadings::Headed(const std::string& scenePath, const std::string& text) {
    if (!m_several) {
        return text;
    }
    const std::string heading = (m_first ? "" : "\n") + ("==> " + scenePath + " <==\n");
    m_first = false;
    return heading + text;
}

}  // namespace orva
