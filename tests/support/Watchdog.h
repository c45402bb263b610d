// SPDX-License-Identifier: GPL-3.0-or-later
// A deadline for a question that might never answer. The question runs where the program would
// run it; a thread of the watchdog's own waits, and past the deadline ends the suite with a
// fatal error that fails the row and names the question, instead of letting it spin until
// CTest's timeout.
#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

class Watchdog {
public:
    Watchdog(QByteArray question, std::chrono::milliseconds limit)
        : m_thread([this, question = std::move(question), limit] {
              std::unique_lock lock(m_mutex);
              if (!m_answered.wait_for(lock, limit, [this] { return m_done; }))
                  qFatal("%s did not answer within %lld ms", question.constData(),
                         static_cast<long long>(limit.count()));
          }) {}
    ~Watchdog() {
        {
            const std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_answered.notify_one();
        m_thread.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::mutex m_mutex;
    std::condition_variable m_answered;
    bool m_done = false;
    std::thread m_thread; // last, so that it starts once the rest exists
};

// The question's answer, or a failed suite once the limit has passed without one.
template <typename Question>
auto answeredWithin(std::chrono::milliseconds limit, const QByteArray& what, Question question) {
    const Watchdog watchdog(what, limit);
    return question();
}
