#include "browser/thumbnail_reader.h"

#include <QMetaObject>
#include <QObject>

namespace orva {

namespace {

// Pictures read ahead of the user-interface thread. Enough to keep it busy; a cap so a slow
// screen does not pile up the whole folder in memory (2,000 pictures are 80 MB).
constexpr size_t kMostWaiting = 256;

}  // namespace

CThumbnailReader::CThumbnailReader(QObject* receiver, std::function<void()> wake)
    : m_receiver(receiver), m_wake(std::move(wake)), m_thread([this] { Run(); }) {}

CThumbnailReader::~CThumbnailReader() {
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

uint64_t CThumbnailReader::Start(std::vector<CThumbnailSource> sources) {
    uint64_t job = 0;
    {
        std::lock_guard lock(m_mutex);
        DropJob();
        job = m_job;
        m_sources = std::move(sources);
    }
    m_changed.notify_all();
    return job;
}

void CThumbnailReader::Cancel() {
    std::lock_guard lock(m_mutex);
    DropJob();
}

void CThumbnailReader::DropJob() {
    ++m_job;
    m_sources.clear();
    m_next = 0;
    m_ready.clear();
    m_interrupt.Request();
}

std::vector<CReadThumbnail> CThumbnailReader::Take(size_t most) {
    std::vector<CReadThumbnail> taken;
    {
        std::lock_guard lock(m_mutex);
        while (!m_ready.empty() && taken.size() < most) {
            taken.push_back(std::move(m_ready.front()));
            m_ready.pop_front();
        }
        if (m_ready.empty()) {
            m_wakePending = false;
        } else {
            // The rest waits for the next turn of the event loop, so input and painting get
            // their turn in between.
            m_wakePending = true;
            PostWake();
        }
    }
    m_changed.notify_all();
    return taken;
}

bool CThumbnailReader::NextSource(uint64_t& job, int& index, CThumbnailSource& source) {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] {
        return m_quit || (m_next < m_sources.size() && m_ready.size() < kMostWaiting);
    });
    if (m_quit) {
        return false;
    }
    job = m_job;
    m_interrupt.Reset();
    index = static_cast<int>(m_next);
    source = m_sources[m_next++];
    return true;
}

void CThumbnailReader::Deliver(CReadThumbnail picture) {
    std::lock_guard lock(m_mutex);
    if (picture.job != m_job) {
        return;  // the folder changed while this one was read
    }
    m_ready.push_back(std::move(picture));
    if (!m_wakePending) {
        m_wakePending = true;
        PostWake();
    }
}

void CThumbnailReader::PostWake() {
    QMetaObject::invokeMethod(m_receiver, m_wake, Qt::QueuedConnection);
}

void CThumbnailReader::Run() {
    uint64_t job = 0;
    int index = 0;
    CThumbnailSource source;
    while (NextSource(job, index, source)) {
        CSceneCheck check;
        if (!source.scenePath.empty()) {
            check = CheckSceneFile(source.scenePath, &m_interrupt);
        }
        // A file that is no scene has no picture to render; a bitmap beside it still shows.
        QImage picture =
            LoadThumbnail(check.readable ? source : CThumbnailSource{source.bmpPath, {}});
        Deliver({job, index, std::move(picture), std::move(check)});
    }
}

}  // namespace orva
