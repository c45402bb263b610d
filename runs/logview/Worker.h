// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMetaObject>
#include <QObject>

#include <atomic>
#include <thread>
#include <utility>

namespace runs::logview {

// One job at a time on a thread of its own for a QObject that lives on another thread. The job
// watches a stop flag and hands its results back to the object's thread, queued; results of a
// job that was stopped meanwhile are dropped. Stopping joins the thread, so a refill or the
// object's end never races a job that still reads the object's members.
class Worker {
public:
    explicit Worker(QObject* owner) : m_owner(owner) {}
    ~Worker() { stop(); }
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    // Runs job(const std::atomic<bool>& stop) on a new thread, after stopping any job under way.
    template <typename Job> void start(Job job) {
        stop();
        m_thread = std::thread([this, job = std::move(job)]() mutable { job(m_stop); });
    }

    // Asks the job to end and waits for it.
    void stop() {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        m_stop = false;
        ++m_generation;
    }

    bool isStarted() const { return m_thread.joinable(); }

    // Called by the job: runs `result` on the owner's thread unless the job is stopped first.
    template <typename Result> void handBack(Result result) {
        QMetaObject::invokeMethod(
            m_owner,
            [this, generation = m_generation, result = std::move(result)]() mutable {
                if (generation == m_generation)
                    result();
            },
            Qt::QueuedConnection);
    }

private:
    QObject* m_owner;
    std::atomic<bool> m_stop = false;
    std::thread m_thread;
    // Counts stops; read by the job only while the owner's thread cannot change it (it waits in
    // stop() before it does).
    quint64 m_generation = 0;
};

} // namespace runs::logview
