// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/logview/ProblemSeek.h"

#include "platform/ReadOnlyFile.h"
#include "runs/lines/LineClass.h"

#include <QByteArray>

#include <string_view>

namespace runs::logview {

namespace {

using Result = ProblemFound::Result;

// The lines of a stretch of the file, read a block at a time.
class LineReader {
public:
    explicit LineReader(const platform::ReadOnlyFile& file) : m_file(file) {}

    // The first line start at or after `offset`, or -1 past the file's end.
    qint64 lineStartFrom(qint64 offset) {
        if (offset <= 0)
            return 0;
        for (qint64 at = offset - 1;;) {
            if (!holds(at, at + 1))
                return -1;
            const qsizetype feed = m_bytes.indexOf('\n', at - m_start);
            if (feed >= 0)
                return m_start + feed + 1;
            at = m_start + m_bytes.size();
        }
    }

    bool isProblem(qint64 lineStart) {
        const auto significant = static_cast<qint64>(lines::significantLength);
        if (!holds(lineStart, lineStart + significant))
            return false;
        const std::string_view text(m_bytes.constData(), static_cast<size_t>(m_bytes.size()));
        return lines::classify(text.substr(static_cast<size_t>(lineStart - m_start))).isProblem();
    }

private:
    static constexpr qint64 BlockBytes = 64 * 1024;

    // Whether the bytes from `from` to `to`, or to the file's end, are at hand; reads them if not.
    bool holds(qint64 from, qint64 to) {
        const qint64 end = m_start + m_bytes.size();
        const bool atFileEnd = m_bytes.size() < BlockBytes;
        if (from >= m_start && (to <= end || atFileEnd) && from < end)
            return true;
        m_start = from;
        m_bytes = m_file.read(from, BlockBytes);
        return !m_bytes.isEmpty();
    }

    const platform::ReadOnlyFile& m_file;
    qint64 m_start = 0;
    QByteArray m_bytes;
};

// The first problem line that starts in [from, to], or -1.
qint64 firstProblemIn(const platform::ReadOnlyFile& file, qint64 from, qint64 to) {
    LineReader reader(file);
    for (qint64 start = reader.lineStartFrom(from); start >= 0 && start <= to;
         start = reader.lineStartFrom(start + 1)) {
        if (reader.isProblem(start))
            return start;
    }
    return -1;
}

// The last problem line that starts in [from, before), `from` being a line start, or -1.
qint64 lastProblemIn(const platform::ReadOnlyFile& file, qint64 from, qint64 before) {
    LineReader reader(file);
    qint64 last = -1;
    for (qint64 start = from; start >= 0 && start < before;
         start = reader.lineStartFrom(start + 1)) {
        if (reader.isProblem(start))
            last = start;
    }
    return last;
}

ProblemFound seekForward(const platform::ReadOnlyFile& file, const ProblemMarks& marks,
                         qint64 piece, qint64 from, bool wholeLog) {
    const qsizetype count = marks.bucketCount();
    const qsizetype own = marks.bucketOf(piece);
    if (own < count) {
        const ProblemMarks::Bucket& bucket = marks.bucket(own);
        if (!bucket.isEmpty() && bucket.lastOffset >= from) {
            if (bucket.firstOffset >= from)
                return {Result::Found, bucket.firstOffset};
            const qint64 found = firstProblemIn(file, from, bucket.lastOffset);
            return {Result::Found, found >= 0 ? found : bucket.lastOffset};
        }
    }
    for (qsizetype index = own + 1; index < count; ++index) {
        if (!marks.bucket(index).isEmpty())
            return {Result::Found, marks.bucket(index).firstOffset};
    }
    if (!wholeLog)
        return {Result::Waiting};
    for (qsizetype index = 0; index < count; ++index) {
        if (!marks.bucket(index).isEmpty())
            return {Result::Wrapped, marks.bucket(index).firstOffset};
    }
    return {};
}

ProblemFound seekBackward(const platform::ReadOnlyFile& file, const ProblemMarks& marks,
                          qint64 piece, qint64 before, bool wholeLog) {
    const qsizetype count = marks.bucketCount();
    const qsizetype own = qMin(marks.bucketOf(piece), count - 1);
    if (own >= 0) {
        const ProblemMarks::Bucket& bucket = marks.bucket(own);
        if (!bucket.isEmpty() && bucket.firstOffset < before) {
            if (bucket.lastOffset < before)
                return {Result::Found, bucket.lastOffset};
            const qint64 found = lastProblemIn(file, bucket.firstOffset, before);
            return {Result::Found, found >= 0 ? found : bucket.firstOffset};
        }
    }
    for (qsizetype index = own - 1; index >= 0; --index) {
        if (!marks.bucket(index).isEmpty())
            return {Result::Found, marks.bucket(index).lastOffset};
    }
    if (!wholeLog)
        return {Result::Waiting};
    for (qsizetype index = count - 1; index >= 0; --index) {
        if (!marks.bucket(index).isEmpty())
            return {Result::Wrapped, marks.bucket(index).lastOffset};
    }
    return {};
}

} // namespace

ProblemFound seekProblem(const platform::ReadOnlyFile& file, const ProblemMarks& marks,
                         qint64 piece, qint64 offset, bool backward, bool wholeLog) {
    return backward ? seekBackward(file, marks, piece, offset, wholeLog)
                    : seekForward(file, marks, piece, offset, wholeLog);
}

} // namespace runs::logview
