#pragma once

#include <QImage>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "browser/scene_check.h"
#include "browser/scene_thumbnail.h"
#include "platform/interrupt.h"

class QObject;

namespace orva {

// A thumbnail made off the user-interface thread, for entry `index` of job `job`.
struct CReadThumbnail {
    uint64_t job = 0;
    int index = 0;
    QImage picture;     // null when the bitmap is missing or unreadable
    CSceneCheck check;  // how the scene itself reads
};

// Reads the thumbnails of a folder on a thread of its own, in list order, so a folder of
// thousands of scene files shows its titles at once and its pictures as they come, while the
// dialog stays responsive. Each scene is read through as well, to say whether it is whole. The
// user-interface thread collects finished pictures with Take(); `wake` is queued to `receiver`,
// which owns the reader, whenever pictures wait and no wake is pending.
class CThumbnailReader {
public:
    CThumbnailReader(QObject* receiver, std::function<void()> wake);
    ~CThumbnailReader();
    CThumbnailReader(const CThumbnailReader&) = delete;
    CThumbnailReader& operator=(const CThumbnailReader&) = delete;

    // Replaces the running job: the pictures of the old one are no longer read or delivered.
    // An empty source gives a null picture and no note without touching the disk. Returns the job's
    // number.
    uint64_t Start(std::vector<CThumbnailSource> sources);
    // Stops the running job, as when the dialog closes.
    void Cancel();
    // Up to `most` finished pictures of the current job, in list order. When some stay
    // behind, another wake is already queued.
    std::vector<CReadThumbnail> Take(size_t most);

private:
    void Run();
    bool NextSource(uint64_t& job, int& index, CThumbnailSource& source);
    void Deliver(CReadThumbnail picture);
    void PostWake();
    void DropJob();

    QObject* m_receiver;  // owns this reader, so it outlives the thread
    std::function<void()> m_wake;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    uint64_t m_job = 0;
    std::vector<CThumbnailSource> m_sources;
    size_t m_next = 0;
    std::deque<CReadThumbnail> m_ready;
    bool m_wakePending = false;
    bool m_quit = false;
    // Stops the reading of a large scene once its job is dropped. Requested and reset under
    // the mutex, together with the job's change, so it never stops an item of a newer job.
    CInterrupt m_interrupt;
    std::thread m_thread;  // last, so it starts after the fields it reads exist
};

}  // namespace orva
