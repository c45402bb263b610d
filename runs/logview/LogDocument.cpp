#include "runs/logview/LogDocument.h"

#include "platform/ReadOnlyFile.h"

#include <QStringDecoder>

#include <chrono>

namespace runs::logview {

namespace {

constexpr qint64 ReadBytes = 256 * 1024;
// Often enough for the scroll bar to grow smoothly.
constexpr auto HandOverEvery = std::chrono::milliseconds(100);

bool continues(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// How many of the bytes make up the first `characters` characters of their decoded text.
qint64 bytesForCharacters(const QByteArray& bytes, qsizetype characters) {
    qsizetype ascii = 0;
    while (ascii < bytes.size() && ascii < characters &&
           static_cast<signed char>(bytes[ascii]) >= 0)
        ++ascii;
    if (ascii == characters || ascii == bytes.size())
        return ascii;
    QStringDecoder decoder(QStringDecoder::System);
    qsizetype decoded = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        decoded += QString(decoder.decode(QByteArrayView(bytes).sliced(i, 1))).size();
        if (decoded >= characters)
            return i + 1;
    }
    return bytes.size();
}

} // namespace

LogDocument::LogDocument(std::shared_ptr<platform::ReadOnlyFile> file, QObject* parent)
    : QObject(parent), m_file(std::move(file)) {
    if (!m_file)
        return;
    const QByteArray first = m_file->read(0, FirstBytes);
    m_index.scan(first);
    m_indexing = first.size() == FirstBytes;
}

void LogDocument::startIndexing() {
    if (m_indexing && !m_worker.isStarted())
        m_worker.start([this, from = m_index.tail()](const std::atomic<bool>& stop) {
            indexInBackground(from, stop);
        });
}

LogDocument::~LogDocument() {
    m_worker.stop();
}

void LogDocument::indexInBackground(LineIndex::Tail from, const std::atomic<bool>& stop) {
    LineIndex scan = LineIndex::continuing(from);
    QByteArray buffer(ReadBytes, Qt::Uninitialized);
    auto handedOver = std::chrono::steady_clock::now();
    const auto handOver = [this, &scan](bool done) {
        m_worker.handBack([this, batch = scan.takeBatch(), done] { absorb(batch, done); });
    };
    while (!stop) {
        const qint64 got = m_file->read(scan.end(), buffer.data(), buffer.size());
        if (got <= 0)
            break;
        scan.scan(QByteArrayView(buffer.constData(), got));
        if (std::chrono::steady_clock::now() - handedOver >= HandOverEvery) {
            handOver(false);
            handedOver = std::chrono::steady_clock::now();
        }
    }
    handOver(true);
}

void LogDocument::absorb(const LineIndex::Batch& batch, bool done) {
    m_index.absorb(batch);
    m_indexing = !done;
    Q_EMIT grown();
    if (done)
        Q_EMIT indexed();
}

const QByteArray& LogDocument::window(qsizetype segment, qint64 from, qint64 to) const {
    if (segment != m_windowSegment || to != m_windowEnd) {
        m_window = m_file ? m_file->read(from, to - from) : QByteArray();
        m_windowSegment = segment;
        m_windowEnd = to;
    }
    return m_window;
}

// The lines of a segment in order, up to the first that `found` accepts, or the last.
template <typename Found> LogLine LogDocument::findInSegment(qsizetype segment, Found found) const {
    const LineCheckpoint& point = m_index.checkpoint(segment);
    const bool lastSegment = segment + 1 == m_index.segmentCount();
    const LineCheckpoint* next = lastSegment ? nullptr : &m_index.checkpoint(segment + 1);
    const qint64 limit = next ? next->offset : m_index.end();
    const qint64 lastLine = next ? next->line - 1 : m_index.tail().lines;
    const QByteArray& bytes =
        window(segment, point.offset, qMin(limit, point.offset + LineIndex::WindowBytes));

    LogLine line{point.line, point.offset, 0, 0, point.piece, 1};
    while (line.number < lastLine) {
        const qsizetype from = line.start - point.offset;
        const qsizetype newline = bytes.indexOf('\n', from);
        if (newline < 0)
            break; // the file changed under the index
        const bool carriageReturn = newline > from && bytes[newline - 1] == '\r';
        line.textEnd = point.offset + newline - (carriageReturn ? 1 : 0);
        line.next = point.offset + newline + 1;
        line.pieces = LineIndex::piecesOf(line.textEnd - line.start);
        if (found(line))
            return line;
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
    return findInSegment(m_index.segmentOfPiece(piece), [piece](const LogLine& line) {
        return piece < line.firstPiece + line.pieces;
    });
}

LogLine LogDocument::lineOfOffset(qint64 offset) const {
    return findInSegment(m_index.segmentOfOffset(offset),
                         [offset](const LogLine& line) { return offset < line.next; });
}

// A piece boundary near `at`, moved back to the first byte of a multi-byte character.
qint64 LogDocument::cut(const LogLine& line, qint64 at) const {
    if (at >= line.textEnd)
        return line.textEnd;
    const qint64 from = qMax(line.start + 1, at - 3);
    const QByteArray bytes = m_file ? m_file->read(from, at + 1 - from) : QByteArray();
    for (qint64 candidate = at; candidate >= from; --candidate) {
        const qint64 i = candidate - from;
        if (i >= bytes.size())
            return at;
        if (!continues(bytes[i]))
            return candidate;
    }
    return at;
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
    return QString::fromLocal8Bit(bytes(piece.start, piece.end));
}

LogPosition LogDocument::end() const {
    const LogPiece last = piece(pieceCount() - 1);
    return {last.number, text(last).size()};
}

qint64 LogDocument::offsetOf(const LogPosition& position) const {
    const LogPiece at = piece(position.piece);
    return at.start + bytesForCharacters(bytes(at.start, at.end), position.character);
}

LogPosition LogDocument::positionAt(qint64 offset) const {
    const LogLine line = lineOfOffset(offset);
    offset = qBound(line.start, offset, line.textEnd);
    const qint64 inLine = qMin(line.pieces - 1, (offset - line.start) / LineIndex::PieceBytes);
    LogPiece at = piece(line.firstPiece + inLine);
    if (offset < at.start && inLine > 0)
        at = piece(at.number - 1);
    return {at.number, QString::fromLocal8Bit(bytes(at.start, qMax(at.start, offset))).size()};
}

} // namespace runs::logview
