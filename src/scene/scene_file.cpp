#include "scene/scene_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "platform/file_handle.h"
#include "platform/message_box.h"
#include "scene/byte_reader.h"
#include "scene/object_class.h"
#include "scene/scene_object.h"

namespace orva {

namespace {

bool IsObjectControl(uint8_t c) {
    return c == ':' || c == '%' || c == ')';
}

bool ReadSignature(CByteReader& in) {
    for (int i = 0; i < 18; ++i) {
        if (in.ReadByte() != static_cast<uint8_t>(kSceneSignature[i]) || in.AtEnd()) {
            return false;
        }
    }
    return true;
}

void NoteStop(const CByteReader& in, int32_t record, CLoadReport* report) {
    if (report == nullptr || !in.Failed()) {
        return;
    }
    report->stoppedEarly = true;
    report->stopReason = in.StopReason();
    report->stopOffset = in.StopOffset();
    report->stopRecord = record;
}

}  // namespace

CSceneRange WholeScene(const CSceneAnchor& anchor) {
    return {anchor.first, nullptr};
}

int32_t ReadObjectList(CByteReader& in, CSceneObject*& first, bool withSignature,
                       CLoadReport* report) {
    if (withSignature && !ReadSignature(in)) {
        return -1;
    }
    CSceneObject* head = nullptr;
    CListBuilder builder(head);
    int32_t count = 0;
    int32_t record = 0;
    while (!in.Failed()) {
        const uint8_t control = in.ReadByte();
        if (in.Failed() || control == '&' || control == 255) {
            break;
        }
        if (!IsObjectControl(control)) {
            continue;
        }
        std::unique_ptr<CSceneObject> object = ReadObject(in);
        if (in.Failed()) {
            break;
        }
        if (object != nullptr) {
            builder.Append(object.release());
            ++count;
        }
        ++record;
    }
    NoteStop(in, record, report);
    first = head;
    return count;
}

void PurgeObjects(CSceneObject*& link, int32_t limit) {
    CSceneObject** cursor = &link;
    while (*cursor != nullptr) {
        CSceneObject* object = *cursor;
        if (object->displayState > limit) {
            cursor = &object->next;
        } else {
            *cursor = object->next;
            delete object;
        }
    }
}

void ClearScene(CSceneAnchor& anchor) {
    PurgeObjects(anchor.first, 9999);
}

void ReadSceneFile(CSceneAnchor& anchor, const std::string& path, CLoadReport& result,
                   CInterrupt* interrupt) {
    result = CLoadReport{};
    ClearScene(anchor);
    // Only a regular file is a scene. A folder opens for reading here, only to fail at the
    // first read: it is refused as the system would refuse to read it. A FIFO would block the
    // open until someone writes, and a device may never end (/dev/zero): neither is read.
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
        const bool folder = S_ISDIR(status.st_mode);
        result.status = CLoadReport::kUnreadable;
        result.systemError = folder ? EISDIR : EINVAL;
        result.reason = folder ? std::strerror(EISDIR) : "not a regular file";
        return;
    }
    errno = 0;
    CFileHandle file = OpenFile(path, "rb");
    if (!file) {
        result.status = CLoadReport::kUnreadable;
        result.systemError = errno != 0 ? errno : ENOENT;
        result.reason = std::strerror(result.systemError);
        return;
    }
    errno = 0;
    CByteReader in(file.get());
    in.SetInterrupt(interrupt);
    CSceneObject* first = nullptr;
    const int32_t count = ReadObjectList(in, first, true, &result);
    if (std::ferror(file.get())) {
        result.systemError = errno != 0 ? errno : EIO;
    }
    file.reset();
    if (count < 0) {
        result.status = CLoadReport::kInvalid;
        return;
    }
    // Objects the purge kept (states above 9999) would be lost when the new list takes the
    // link; they belonged to the previous file, so they go with it.
    anchor.Adopt(first);
    result.count = count;
}

int LoadSceneFile(CSceneAnchor& anchor, const std::string& path, CLoadReport* report,
                  CInterrupt* interrupt) {
    CLoadReport local;
    CLoadReport& result = report != nullptr ? *report : local;
    ReadSceneFile(anchor, path, result, interrupt);
    if (result.status == CLoadReport::kInvalid) {
        // The fixed text first, as every caller knows it; the file below it, so that a message
        // shown at start-up or after a drop says which file it means.
        ShowMessage("Invalid file format!\n" + path);
    }
    return 1;
}

}  // namespace orva
