// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "runs/lines/TextEncoding.h"
#include "runs/logview/Worker.h"

#include <QByteArray>
#include <QObject>

#include <atomic>
#include <memory>

namespace platform {
class ReadOnlyFile;
}

namespace runs::logview {

// Looks for a text in a whole log on a thread of its own, so a gigabyte is searched while the
// window answers. The text is looked for in the log's encoding and matches whole characters
// only, never the bytes inside one. Letters A to Z match in either case; other characters match
// exactly. Matches do not cross line ends, as the text has none.
class LogSearch : public QObject {
    Q_OBJECT
public:
    explicit LogSearch(QObject* parent = nullptr);
    ~LogSearch() override;

    // Forward: the first match that starts at `from` or after it; backward: the last that
    // starts before it. Either wraps round once, at `end` or the file's end if that comes
    // first. Ends a search under way. The needle is the text encoded in the log's encoding.
    void start(std::shared_ptr<platform::ReadOnlyFile> file, const QByteArray& needle, qint64 from,
               qint64 end, bool backward, const lines::TextEncoding& encoding = {});
    void cancel();
    bool isRunning() const { return m_running; }

    // The match's first byte, or -1 when there is none, and whether it was found by going round
    // the end.
    struct Found {
        qint64 offset = -1;
        bool wrapped = false;
    };

Q_SIGNALS:
    void finished(const runs::logview::LogSearch::Found& found);

private:
    static Found search(const platform::ReadOnlyFile& file, const QByteArray& needle, qint64 from,
                        qint64 end, bool backward, const lines::TextEncoding& encoding,
                        const std::atomic<bool>& stop);

    bool m_running = false;
    Worker m_worker{this};
};

} // namespace runs::logview
