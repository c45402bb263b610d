#include "runs/logview/LogSearch.h"

#include "platform/ReadOnlyFile.h"

#include <string_view>

namespace runs::logview {

namespace {

constexpr qint64 BlockBytes = 1024 * 1024;

char folded(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

void fold(QByteArray& bytes) {
    for (char& c : bytes)
        c = folded(c);
}

// The first (or last) match that lies wholly inside [from, to) of the file.
qint64 searchRange(const platform::ReadOnlyFile& file, std::string_view needle, qint64 from,
                   qint64 to, bool backward, const std::atomic<bool>& stop) {
    const auto length = static_cast<qint64>(needle.size());
    const qint64 overlap = length - 1;
    qint64 low = from;
    qint64 high = to;
    while (high - low >= length && !stop) {
        const qint64 start = backward ? qMax(low, high - BlockBytes) : low;
        const qint64 end = backward ? high : qMin(high, low + BlockBytes);
        QByteArray block = file.read(start, end - start);
        fold(block);
        const std::string_view text(block.constData(), static_cast<size_t>(block.size()));
        const size_t at = backward ? text.rfind(needle) : text.find(needle);
        if (at != std::string_view::npos)
            return start + static_cast<qint64>(at);
        if (block.size() < end - start)
            return -1; // the file shrank
        if (backward) {
            if (start == low)
                return -1;
            high = start + overlap;
        } else {
            if (end == high)
                return -1;
            low = end - overlap;
        }
    }
    return -1;
}

} // namespace

LogSearch::LogSearch(QObject* parent) : QObject(parent) {}

LogSearch::~LogSearch() {
    cancel();
}

void LogSearch::cancel() {
    m_worker.stop();
    m_running = false;
}

void LogSearch::start(std::shared_ptr<platform::ReadOnlyFile> file, const QByteArray& needle,
                      qint64 from, qint64 end, bool backward) {
    cancel();
    if (!file || needle.isEmpty() || needle.size() > BlockBytes / 2) {
        Q_EMIT finished(-1);
        return;
    }
    m_running = true;
    m_worker.start([this, file, needle, from, end, backward](const std::atomic<bool>& stop) {
        const qint64 found = search(*file, needle, from, end, backward, stop);
        m_worker.handBack([this, found] {
            m_running = false;
            Q_EMIT finished(found);
        });
    });
}

qint64 LogSearch::search(const platform::ReadOnlyFile& file, const QByteArray& needle, qint64 from,
                         qint64 end, bool backward, const std::atomic<bool>& stop) {
    QByteArray folded = needle;
    fold(folded);
    const std::string_view text(folded.constData(), static_cast<size_t>(folded.size()));
    const qint64 size = qMin(file.size(), end);
    from = qBound<qint64>(0, from, size);
    // Matches that start before `from` lie in [0, from + length - 1).
    const qint64 beforeEnd = qMin(size, from + folded.size() - 1);
    const qint64 first = backward ? searchRange(file, text, 0, beforeEnd, true, stop)
                                  : searchRange(file, text, from, size, false, stop);
    if (first >= 0 || stop)
        return first;
    return backward ? searchRange(file, text, from, size, true, stop)
                    : searchRange(file, text, 0, beforeEnd, false, stop);
}

} // namespace runs::logview
