#include "platform/replacing_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <random>

namespace orva {

namespace {

// Six letters or digits, different for every call of every process.
std::string RandomSuffix() {
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 random{std::random_device{}() ^
                                        (static_cast<uint64_t>(getpid()) << 32)};
    std::string suffix(6, 'X');
    for (char& c : suffix) {
        c = kLetters[random() % (sizeof(kLetters) - 1)];
    }
    return suffix;
}

// mkstemp would create the file readable by its owner alone; O_EXCL with mode 0666 gives the
// permissions (after umask) that fopen would have given the target.
int CreateUnique(const std::string& target, std::string& path) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = target + "." + RandomSuffix();
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

}  // namespace

CReplacingFile::~CReplacingFile() {
    Discard();
}

bool CReplacingFile::Open(const std::string& target, std::optional<mode_t> permissions) {
    return Start(target, permissions, true);
}

bool CReplacingFile::Reserve(const std::string& target, std::optional<mode_t> permissions) {
    return Start(target, permissions, false);
}

bool CReplacingFile::Start(const std::string& target, std::optional<mode_t> permissions,
                           bool keepOpen) {
    Discard();
    if (target.empty()) {
        errno = ENOENT;
        return false;
    }
    struct stat existing {};
    const bool exists = stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) {
        errno = EISDIR;
        return false;
    }
    if (exists && !S_ISREG(existing.st_mode)) {
        // A device or a pipe is written as it is: replacing it would destroy it. Opening a pipe
        // waits for its reader, so a library that opens it itself is left to do so.
        if (keepOpen && (m_file = std::fopen(target.c_str(), "wb")) == nullptr) {
            return false;
        }
        m_target = target;
        m_started = true;
        return true;
    }
    if (exists && access(target.c_str(), W_OK) != 0) {
        return false;
    }
    const int fd = CreateUnique(target, m_temporary);
    if (fd < 0) {
        m_temporary.clear();
        return false;
    }
    m_target = target;
    m_started = true;
    const auto abandon = [&] {
        const int reason = errno;
        close(fd);
        Discard();
        errno = reason;
        return false;
    };
    // The file that is replaced keeps its permissions, as it would when written in place.
    if (!permissions && exists) {
        permissions = existing.st_mode & 07777;
    }
    if (permissions && fchmod(fd, *permissions) != 0) {
        return abandon();
    }
    if (!keepOpen) {
        close(fd);
        return true;
    }
    m_file = fdopen(fd, "wb");
    return m_file != nullptr || abandon();
}

bool CReplacingFile::Commit() {
    if (!m_started) {
        errno = EBADF;
        return false;
    }
    errno = 0;
    const bool closed = m_file == nullptr || std::fclose(m_file) == 0;
    m_file = nullptr;
    const bool renamed =
        m_temporary.empty() || (closed && std::rename(m_temporary.c_str(), m_target.c_str()) == 0);
    if (!closed || !renamed) {
        const int reason = errno != 0 ? errno : EIO;
        Discard();
        errno = reason;
        return false;
    }
    m_temporary.clear();
    m_started = false;
    return true;
}

void CReplacingFile::Discard() {
    const int reason = errno;
    if (m_file != nullptr) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    if (!m_temporary.empty()) {
        unlink(m_temporary.c_str());
        m_temporary.clear();
    }
    m_started = false;
    errno = reason;
}

namespace {

bool WriteThrough(const std::string& target, std::optional<mode_t> permissions,
                  const std::function<bool(std::FILE*)>& write) {
    CReplacingFile file;
    if (!file.Open(target, permissions)) {
        return false;
    }
    errno = 0;  // what a failing library leaves here is the reason
    if (!write(file.File())) {
        errno = errno != 0 ? errno : EIO;
        file.Discard();
        return false;
    }
    return file.Commit();
}

}  // namespace

bool WriteReplacingFile(const std::string& target, const std::function<bool(std::FILE*)>& write) {
    return WriteThrough(target, std::nullopt, write);
}

bool WriteReplacingFile(const std::string& target, std::string_view contents,
                        std::optional<mode_t> permissions) {
    return WriteThrough(target, permissions, [contents](std::FILE* file) {
        return std::fwrite(contents.data(), 1, contents.size(), file) == contents.size();
    });
}

}  // namespace orva
