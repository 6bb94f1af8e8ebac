#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace orva {

// Where one scene stands in a command's run over several: the bar and the output's form follow.
struct CScenePlace {
    std::size_t index = 0;
    std::size_t count = 1;

    bool Several() const { return count > 1; }
};

// One scene's work; its exit status as the command gives it for a scene alone.
using SceneWork = std::function<int(const std::string& path, const CScenePlace& place)>;

// Runs `work` on each scene in turn. A scene alone keeps its own exit status, so one scene
// behaves as it always did. Of several, a scene that fails has already said why in its one line
// and the next goes on: 1 when any failed, 130 as soon as Ctrl+C stops one, else 0.
int RunSceneBatch(const std::vector<std::string>& scenes, const SceneWork& work);

// The scene's file name without folder and extension: what {name} stands for.
std::string SceneName(const std::string& scenePath);

// Each scene's output file: `pattern` with every {name} replaced by the scene's name. False,
// with the usage error in one line ("orva: render: -o needs {name} when several scenes are
// given"), when several scenes share a pattern without {name} or two would write one file.
bool OutputPerScene(const std::string& command, const std::string& option,
                    const std::vector<std::string>& scenes, const std::string& pattern,
                    std::vector<std::string>& outputs);

// Heads each scene's printed result with a line naming its file, a blank line before every
// heading but the first, when several scenes print; a scene alone prints as it always did.
class CSceneHeadings {
public:
    explicit CSceneHeadings(std::size_t count) : m_several(count > 1) {}
    std::string Headed(const std::string& scenePath, const std::string& text);

private:
    bool m_several;
    bool m_first = true;
};

}  // namespace orva
