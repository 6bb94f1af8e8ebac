#include "cli/turntable_output.h"

#include <strings.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "image/gif_animation_writer.h"
#include "image/mp4_writer.h"
#include "image/webp_animation_writer.h"
#include "platform/replacing_file.h"

namespace orva {

namespace {

namespace fs = std::filesystem;

// An animation written by Writer, which opens its file by name, into a file reserved beside the
// target and renamed onto it when finished. An animation never finished leaves nothing: the
// writer removes what it wrote, the reserved file goes with this output.
template <class Writer>
class CAnimationFile : public CTurntableOutput {
public:
    explicit CAnimationFile(const std::string& path) : m_path(path) {}

    template <class Settings>
    bool Open(const Settings& settings) {
        // A folder in the way is found here rather than when the finished file cannot take
        // its place.
        if (!m_file.Reserve(m_path)) {
            return FailWithErrno();
        }
        return Check(m_writer.Open(m_file.Path(), settings));
    }
    bool Add(const CPictureView& frame) override { return Check(m_writer.AddFrame(frame)); }
    bool Finish() override {
        return Check(m_writer.Finish()) && (m_file.Commit() || FailWithErrno());
    }

private:
    bool Check(bool done) {
        if (!done) {
            m_error = m_path + ": " + m_writer.Error();
        }
        return done;
    }
    bool FailWithErrno() {
        m_error = m_path + ": " + std::strerror(errno);
        return false;
    }

    std::string m_path;
    CReplacingFile m_file;
    Writer m_writer;
};

class CFrameFolder : public CTurntableOutput {
public:
    CFrameFolder(const std::string& folder, const CTurntableOutputSettings& settings)
        : m_folder(folder), m_frames(settings.frames), m_alpha(settings.alpha) {}

    bool Add(const CPictureView& frame) override {
        const std::string path = (m_folder / TurntableFrameName(m_next, m_frames)).string();
        CPictureView picture = frame;
        if (!m_alpha) {
            picture.alpha = nullptr;
        }
        // The PNG writer writes through a CReplacingFile of its own: each frame appears whole.
        if (!WritePngFile(path, picture)) {
            m_error = path + ": " + std::strerror(errno);
            return false;
        }
        ++m_next;
        return true;
    }
    bool Finish() override { return true; }

private:
    fs::path m_folder;
    int m_frames;
    bool m_alpha;
    int m_next = 0;
};

bool EndsWith(const std::string& path, const char* extension) {
    const size_t length = std::strlen(extension);
    return path.size() > length && strcasecmp(path.c_str() + path.size() - length, extension) == 0;
}

std::unique_ptr<CTurntableOutput> OpenFolder(const std::string& path,
                                             const CTurntableOutputSettings& settings,
                                             std::string& error) {
    std::error_code code;
    fs::create_directories(path, code);
    if (!code && !fs::is_directory(path, code)) {
        code = std::make_error_code(std::errc::not_a_directory);
    }
    if (code) {
        error = path + ": " + code.message();
        return nullptr;
    }
    return std::make_unique<CFrameFolder>(path, settings);
}

}  // namespace

ETurntableFormat TurntableFormatOf(const std::string& path) {
    if (EndsWith(path, ".webp")) {
        return ETurntableFormat::kWebp;
    }
    if (EndsWith(path, ".mp4")) {
        return ETurntableFormat::kMp4;
    }
    if (EndsWith(path, ".gif")) {
        return ETurntableFormat::kGif;
    }
    std::error_code ignored;
    if (path.empty() || path.back() == '/' || fs::path(path).extension().empty() ||
        fs::is_directory(path, ignored)) {
        return ETurntableFormat::kFolder;
    }
    return ETurntableFormat::kUnknown;
}

std::string TurntableFrameName(int frame, int frames) {
    const int digits =
        std::max(3, static_cast<int>(std::to_string(std::max(0, frames - 1)).size()));
    char name[32];
    std::snprintf(name, sizeof name, "frame_%0*d.png", digits, frame);
    return name;
}

namespace {

// An animation file of the writer's kind, opened with its settings; null with `error` set.
template <typename Writer, typename Settings>
std::unique_ptr<CTurntableOutput> OpenAnimation(const std::string& path, const Settings& settings,
                                                std::string& error) {
    auto file = std::make_unique<CAnimationFile<Writer>>(path);
    if (!file->Open(settings)) {
        error = file->Error();
        return nullptr;
    }
    return file;
}

}  // namespace

std::unique_ptr<CTurntableOutput> OpenTurntableOutput(const std::string& path,
                                                      const CTurntableOutputSettings& settings,
                                                      std::string& error) {
    switch (TurntableFormatOf(path)) {
        case ETurntableFormat::kWebp: {
            CWebpAnimationSettings webp;
            webp.width = settings.width;
            webp.height = settings.height;
            webp.framesPerSecond = settings.framesPerSecond;
            webp.alpha = settings.alpha;
            return OpenAnimation<CWebpAnimationWriter>(path, webp, error);
        }
        case ETurntableFormat::kMp4: {
            CMp4Settings mp4;
            mp4.width = settings.width;
            mp4.height = settings.height;
            mp4.framesPerSecond = settings.framesPerSecond;
            mp4.padColour = settings.padColour;
            return OpenAnimation<CMp4Writer>(path, mp4, error);
        }
        case ETurntableFormat::kGif: {
            CGifSettings gif;
            gif.width = settings.width;
            gif.height = settings.height;
            gif.framesPerSecond = settings.framesPerSecond;
            return OpenAnimation<CGifAnimationWriter>(path, gif, error);
        }
        case ETurntableFormat::kFolder:
            return OpenFolder(path, settings, error);
        case ETurntableFormat::kUnknown:
            break;
    }
    error = path + ": unknown extension; use .webp, .mp4, .gif or a folder";
    return nullptr;
}

}  // namespace orva
