// SPDX-License-Identifier: GPL-3.0-or-later
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

QString foldedAscii(QString text) {
    for (QChar& c : text) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() - u'A' + u'a');
    }
    return text;
}

// Whether the bytes at `at` are the needle's characters, not a run that starts or ends inside a
// character (in Shift_JIS or GBK a byte inside a character can be an ASCII letter).
bool matchesWhole(const platform::ReadOnlyFile& file, const lines::TextEncoding& encoding,
                  const QString& needle, qint64 at, qint64 length) {
    // Back to a byte where a character starts wherever it stands, at worst the line's start.
    qint64 known = at;
    for (qint64 step = 256; known > 0; step = qMin<qint64>(step * 4, BlockBytes)) {
        const qint64 from = qMax<qint64>(0, known - step);
        const QByteArray before = file.read(from, known - from);
        qsizetype sure = before.size() - 1;
        while (sure >= 0 && !encoding.alwaysStarts(before[sure]))
            --sure;
        if (sure >= 0 || from == 0 || before.size() < known - from) {
            known = from + qMax<qsizetype>(0, sure);
            break;
        }
        known = from;
    }
    const QByteArray bytes = file.read(known, at + length + 4 - known);
    const qint64 start = at - known;
    if (bytes.size() < start + length)
        return false; // the file shrank
    if (encoding.characterStart(bytes, start) != start ||
        encoding.characterStart(bytes, start + length) != start + length)
        return false;
    return foldedAscii(encoding.decode(QByteArrayView(bytes).sliced(start, length))) == needle;
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
                      qint64 from, qint64 end, bool backward, const lines::TextEncoding& encoding) {
    cancel();
    if (!file || needle.isEmpty() || needle.size() > BlockBytes / 2) {
        Q_EMIT finished({});
        return;
    }
    m_running = true;
    m_worker.start(
        [this, file, needle, from, end, backward, encoding](const std::atomic<bool>& stop) {
            const Found found = search(*file, needle, from, end, backward, encoding, stop);
            m_worker.handBack([this, found] {
                m_running = false;
                Q_EMIT finished(found);
            });
        });
}

LogSearch::Found LogSearch::search(const platform::ReadOnlyFile& file, const QByteArray& needle,
                                   qint64 from, qint64 end, bool backward,
                                   const lines::TextEncoding& encoding,
                                   const std::atomic<bool>& stop) {
    QByteArray folded = needle;
    fold(folded);
    const QString text = foldedAscii(encoding.decode(needle));
    const std::string_view bytes(folded.constData(), static_cast<size_t>(folded.size()));
    const qint64 length = folded.size();
    const qint64 size = qMin(file.size(), end);
    from = qBound<qint64>(0, from, size);
    // The first (or last) whole match in [low, high), passing over runs of matching bytes that
    // lie across characters.
    const auto whole = [&](qint64 low, qint64 high, bool back) {
        while (!stop) {
            const qint64 found = searchRange(file, bytes, low, high, back, stop);
            if (found < 0 || matchesWhole(file, encoding, text, found, length))
                return found;
            if (back)
                high = found + length - 1;
            else
                low = found + 1;
        }
        return qint64(-1);
    };
    // Matches that start before `from` lie in [0, from + length - 1).
    const qint64 beforeEnd = qMin(size, from + length - 1);
    const qint64 first = backward ? whole(0, beforeEnd, true) : whole(from, size, false);
    if (first >= 0 || stop)
        return {first, false};
    const qint64 round = backward ? whole(from, size, true) : whole(0, beforeEnd, false);
    return {round, round >= 0};
}

} // namespace runs::logview
