// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/logview/LogDocument.h"

#include "platform/ReadOnlyFile.h"

#include <chrono>

namespace runs::logview {

namespace {

constexpr qint64 ReadBytes = 256 * 1024;
// Often enough for the scroll bar to grow smoothly.
constexpr auto HandOverEvery = std::chrono::milliseconds(100);

// Cuts kept for long lines; a screen of a line of many megabytes needs a few dozen.
constexpr qsizetype KeptCuts = 4096;

// Bytes at the start and at the end of what is indexed that a look for a change compares.
constexpr qsizetype SampleBytes = 64;

// Keeps the last sample's worth of the bytes read so far.
void keepLast(QByteArray& tail, QByteArrayView read) {
    if (read.size() >= SampleBytes) {
        tail = read.last(SampleBytes).toByteArray();
    } else {
        tail += read;
        tail = tail.right(SampleBytes);
    }
}

} // namespace

LogDocument::LogDocument(std::shared_ptr<platform::ReadOnlyFile> file, lines::TextEncoding encoding,
                         QObject* parent)
    : QObject(parent), m_file(std::move(file)), m_encoding(std::move(encoding)) {
    if (!m_file)
        return;
    const QByteArray first = m_file->read(0, FirstBytes);
    m_index.scan(first);
    m_problems = m_index.problems();
    m_indexing = first.size() == FirstBytes;
    m_head = first.left(SampleBytes);
    m_tail = first.right(SampleBytes);
    if (!m_indexing)
        m_stamp = m_file->stamp();
}

void LogDocument::startIndexing() {
    if (m_indexing && !m_worker.isStarted())
        startWorker();
}

void LogDocument::startWorker() {
    m_worker.start([this, from = m_index.tail(), tail = m_tail](const std::atomic<bool>& stop) {
        indexInBackground(from, tail, stop);
    });
}

void LogDocument::indexGrowth() {
    if (m_indexing || !m_file)
        return;
    // A log a utility goes on writing grows by a few lines at a time: those are read at once.
    const QByteArray more = m_file->read(m_index.end(), FirstBytes);
    // A log shorter than the sample was all of it: the sample goes on with what follows.
    m_head += QByteArrayView(more).first(qMin(more.size(), SampleBytes - m_head.size()));
    m_index.scan(more);
    m_problems = m_index.problems();
    keepLast(m_tail, more);
    m_lastLineSegment = -1;
    m_indexing = more.size() == FirstBytes;
    if (m_indexing)
        startWorker();
    else
        m_stamp = m_file->stamp();
    Q_EMIT grown();
    if (!m_indexing)
        Q_EMIT indexed();
}

LogDocument::Change LogDocument::change() const {
    if (!m_file)
        return Change::None;
    if (m_followsPath && m_file->replacedAtPath())
        return Change::Replaced;
    const qint64 end = m_index.end();
    const platform::ReadOnlyFile::Stamp now = m_file->stamp();
    if (m_unlike || now.size < end || m_file->read(0, m_head.size()) != m_head ||
        m_file->read(end - m_tail.size(), m_tail.size()) != m_tail)
        return Change::Rewritten;
    if (m_indexing)
        return Change::None; // what it grew by is being indexed
    if (now.size > end)
        return Change::Grown;
    return now.modified == m_stamp.modified ? Change::None : Change::Rewritten;
}

LogDocument::~LogDocument() {
    m_worker.stop();
}

void LogDocument::indexInBackground(LineIndex::Tail from, QByteArray tail,
                                    const std::atomic<bool>& stop) {
    LineIndex scan = LineIndex::continuing(from);
    QByteArray buffer(ReadBytes, Qt::Uninitialized);
    auto handedOver = std::chrono::steady_clock::now();
    const auto handOver = [this, &scan, &tail](bool done) {
        Reached reached{tail, done ? m_file->stamp() : platform::ReadOnlyFile::Stamp{}};
        m_worker.handBack(
            [this, batch = scan.takeBatch(), reached, done] { absorb(batch, reached, done); });
    };
    while (!stop) {
        const qint64 got = m_file->read(scan.end(), buffer.data(), buffer.size());
        if (got <= 0)
            break;
        scan.scan(QByteArrayView(buffer.constData(), got));
        keepLast(tail, QByteArrayView(buffer.constData(), got));
        if (std::chrono::steady_clock::now() - handedOver >= HandOverEvery) {
            handOver(false);
            handedOver = std::chrono::steady_clock::now();
        }
    }
    handOver(true);
}

void LogDocument::absorb(const LineIndex::Batch& batch, const Reached& reached, bool done) {
    m_index.absorb(batch);
    m_problems = m_index.problems();
    m_tail = reached.tail;
    if (done)
        m_stamp = reached.stamp;
    m_lastLineSegment = -1;
    m_indexing = !done;
    Q_EMIT grown();
    if (done)
        Q_EMIT indexed();
}

// A segment's lines start after a line feed and the index has seen all of their bytes: a file
// that reads otherwise is unlike its index.
const QByteArray& LogDocument::window(qsizetype segment, qint64 from, qint64 to) const {
    if (segment != m_windowSegment || to != m_windowEnd) {
        const qint64 before = from > 0 ? 1 : 0;
        m_window = m_file ? m_file->read(from - before, to - from + before) : QByteArray();
        if (m_window.size() < to - from + before || (before > 0 && m_window.front() != '\n'))
            m_unlike = true;
        m_window.remove(0, before);
        m_windowSegment = segment;
        m_windowEnd = to;
    }
    return m_window;
}

// The lines of a segment in order, up to the first that `found` accepts, or the last; from the
// line found last when that is in the segment and `fromLast` says it comes before the one wanted.
template <typename Found>
LogLine LogDocument::findInSegment(qsizetype segment, bool fromLast, Found found) const {
    const LineCheckpoint& point = m_index.checkpoint(segment);
    const bool lastSegment = segment + 1 == m_index.segmentCount();
    const LineCheckpoint* next = lastSegment ? nullptr : &m_index.checkpoint(segment + 1);
    const qint64 limit = next ? next->offset : m_index.end();
    const qint64 lastLine = next ? next->line - 1 : m_index.tail().lines;
    const QByteArray& bytes =
        window(segment, point.offset, qMin(limit, point.offset + LineIndex::WindowBytes));

    LogLine line{point.line, point.offset, 0, 0, point.piece, 1};
    if (fromLast && segment == m_lastLineSegment)
        line = m_lastLine;
    const auto remember = [this, segment](const LogLine& result) {
        m_lastLine = result;
        m_lastLineSegment = segment;
        return result;
    };
    while (line.number < lastLine) {
        const qsizetype from = line.start - point.offset;
        const qsizetype newline = bytes.indexOf('\n', from);
        if (newline < 0) {
            m_unlike = true; // the file changed under the index
            break;
        }
        const bool carriageReturn = newline > from && bytes[newline - 1] == '\r';
        line.textEnd = point.offset + newline - (carriageReturn ? 1 : 0);
        line.next = point.offset + newline + 1;
        line.pieces = LineIndex::piecesOf(line.textEnd - line.start);
        if (found(line))
            return remember(line);
        line.start = line.next;
        line.firstPiece += line.pieces;
        ++line.number;
    }
    // The segment's last line: its end and pieces come from the next checkpoint.
    if (next) {
        line.next = next->offset;
        const qint64 newline = line.next - 1;
        bool carriageReturn = false;
        if (newline > line.start) {
            const qint64 before = newline - 1 - point.offset;
            carriageReturn = before < bytes.size() ? bytes[before] == '\r'
                                                   : m_file->read(newline - 1, 1) == "\r";
        }
        line.textEnd = qMax(line.start, newline - (carriageReturn ? 1 : 0));
        line.pieces = qMax<qint64>(1, next->piece - line.firstPiece);
    } else {
        line.textEnd = line.next = qMax(line.start, limit);
        line.pieces = LineIndex::piecesOf(line.textEnd - line.start);
    }
    return line;
}

LogLine LogDocument::lineOfPiece(qint64 piece) const {
    return findInSegment(
        m_index.segmentOfPiece(piece), m_lastLine.firstPiece <= piece,
        [piece](const LogLine& line) { return piece < line.firstPiece + line.pieces; });
}

LogLine LogDocument::lineOfOffset(qint64 offset) const {
    return findInSegment(m_index.segmentOfOffset(offset), m_lastLine.start <= offset,
                         [offset](const LogLine& line) { return offset < line.next; });
}

LogLine LogDocument::lineNumbered(qint64 number) const {
    return findInSegment(m_index.segmentOfLine(number), m_lastLine.number <= number,
                         [number](const LogLine& line) { return number <= line.number; });
}

qint64 LogDocument::lineNumberOf(qint64 piece) const {
    piece = qBound<qint64>(0, piece, pieceCount() - 1);
    const qsizetype segment = m_index.segmentOfPiece(piece);
    const LineCheckpoint& point = m_index.checkpoint(segment);
    const qint64 last = segment + 1 < m_index.segmentCount()
                            ? m_index.checkpoint(segment + 1).line - 1
                            : m_index.tail().lines;
    return qMin(point.line + (piece - point.piece), last);
}

// Where the character that holds `at` starts, decoding from `known`, a place where one starts.
qint64 LogDocument::characterStartFrom(qint64 known, qint64 at) const {
    const QByteArray bytes = m_file ? m_file->read(known, at + 4 - known) : QByteArray();
    return known + m_encoding.characterStart(bytes, at - known);
}

// A piece boundary at `at`, moved back to the first byte of the character that holds it. Where
// characters start is found from a byte that starts one wherever it stands, or else from the
// cut before, and at worst from the line's start, each cut once.
qint64 LogDocument::cut(const LogLine& line, qint64 at) const {
    if (at >= line.textEnd)
        return line.textEnd;
    if (!m_encoding.needsContext())
        return characterStartFrom(qMax(line.start, at - 3), at);
    // Back over the cuts before, to one found already or to a sure start.
    QList<qint64> pending; // the nominal cuts to find, the last first
    qint64 known = line.start;
    for (qint64 nominal = at;; nominal -= LineIndex::PieceBytes) {
        if (const auto found = m_cuts.constFind(nominal); found != m_cuts.cend()) {
            known = *found;
            break;
        }
        pending.append(nominal);
        const qint64 from = qMax(line.start, nominal - LineIndex::PieceBytes);
        const QByteArray before = m_file ? m_file->read(from, nominal - from) : QByteArray();
        qsizetype sure = before.size() - 1;
        while (sure >= 0 && !m_encoding.alwaysStarts(before[sure]))
            --sure;
        if (sure >= 0 || from == line.start) {
            known = from + qMax<qsizetype>(0, sure);
            break;
        }
    }
    for (auto nominal = pending.crbegin(); nominal != pending.crend(); ++nominal) {
        known = characterStartFrom(known, *nominal);
        if (m_cuts.size() >= KeptCuts)
            m_cuts.clear();
        m_cuts.insert(*nominal, known);
    }
    return known;
}

LogPiece LogDocument::piece(qint64 number) const {
    number = qBound<qint64>(0, number, pieceCount() - 1);
    const LogLine line = lineOfPiece(number);
    const qint64 inLine = qBound<qint64>(0, number - line.firstPiece, line.pieces - 1);
    LogPiece result{number, line.start, line.textEnd, inLine == 0, inLine == line.pieces - 1};
    if (!result.firstOfLine)
        result.start = cut(line, line.start + inLine * LineIndex::PieceBytes);
    if (!result.lastOfLine)
        result.end = cut(line, line.start + (inLine + 1) * LineIndex::PieceBytes);
    result.start = qMin(result.start, line.textEnd);
    result.end = qMax(result.start, result.end);
    return result;
}

QByteArray LogDocument::bytes(qint64 from, qint64 to) const {
    if (!m_file || to <= from)
        return {};
    return m_file->read(from, to - from);
}

QString LogDocument::text(const LogPiece& piece) const {
    return m_encoding.decode(bytes(piece.start, piece.end));
}

QString LogDocument::text(qint64 from, qint64 to) const {
    return m_encoding.decode(bytes(from, to));
}

LogPosition LogDocument::end() const {
    const LogPiece last = piece(pieceCount() - 1);
    return {last.number, text(last).size()};
}

qint64 LogDocument::offsetOf(const LogPosition& position) const {
    const LogPiece at = piece(position.piece);
    return at.start + m_encoding.bytesForCharacters(bytes(at.start, at.end), position.character);
}

LogPosition LogDocument::positionAt(qint64 offset) const {
    const LogLine line = lineOfOffset(offset);
    offset = qBound(line.start, offset, line.textEnd);
    const qint64 inLine = qMin(line.pieces - 1, (offset - line.start) / LineIndex::PieceBytes);
    LogPiece at = piece(line.firstPiece + inLine);
    if (offset < at.start && inLine > 0)
        at = piece(at.number - 1);
    return {at.number, m_encoding.charactersForBytes(bytes(at.start, at.end), offset - at.start)};
}

} // namespace runs::logview
