#include "app/desktop_database_update.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <thread>
#include <vector>

extern char** environ;

namespace orva {

namespace {

// The full path of `name` in one of $PATH's folders, or empty.
std::string FindOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path != nullptr ? path : "/usr/bin:/bin");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        const std::string candidate = (folder.empty() ? "." : folder) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return {};
}

// Starts `tool folder` with its output discarded; -1 when it could not be started.
pid_t StartTool(const std::string& tool, const std::string& folder) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv = {const_cast<char*>(tool.c_str()), const_cast<char*>(folder.c_str()),
                               nullptr};
    pid_t pid = -1;
    if (posix_spawn(&pid, tool.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
        pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

}  // namespace

int UpdateDesktopDatabases(const std::string& dataHome, EWaitForTools wait) {
    if (dataHome.empty()) {
        return 0;
    }
    const std::pair<const char*, const char*> tools[] = {
        {"update-mime-database", "/mime"},
        {"update-desktop-database", "/applications"},
    };
    std::vector<pid_t> started;
    for (const auto& [name, folder] : tools) {
        const std::string tool = FindOnPath(name);
        if (tool.empty()) {
            continue;
        }
        if (const pid_t pid = StartTool(tool, dataHome + folder); pid > 0) {
            started.push_back(pid);
        }
    }
    for (pid_t pid : started) {
        if (wait == EWaitForTools::kYes) {
            waitpid(pid, nullptr, 0);
        } else {
            // Reaped in the background so that no finished tool lingers as a zombie.
            std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
        }
    }
    return static_cast<int>(started.size());
}

}  // namespace orva
