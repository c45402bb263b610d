#include "runs/LineIndex.h"

#include <algorithm>
#include <cstring>

namespace runs {

namespace {

template <typename Member>
qsizetype segmentOf(const QList<LineCheckpoint>& checkpoints, qint64 value, Member member) {
    const auto after = std::upper_bound(
        checkpoints.begin(), checkpoints.end(), value,
        [member](qint64 wanted, const LineCheckpoint& point) { return wanted < point.*member; });
    return std::max<qsizetype>(0, after - checkpoints.begin() - 1);
}

} // namespace

LineIndex::LineIndex() {
    m_checkpoints.append(LineCheckpoint{});
}

LineIndex LineIndex::continuing(const Tail& tail) {
    LineIndex index;
    index.m_checkpoints.clear();
    index.m_tail = tail;
    return index;
}

void LineIndex::scan(QByteArrayView bytes) {
    const char* data = bytes.data();
    const qsizetype size = bytes.size();
    Tail& t = m_tail;
    for (qsizetype at = 0; at < size;) {
        const auto* found = static_cast<const char*>(std::memchr(data + at, '\n', size - at));
        if (!found)
            break;
        const qsizetype newlineAt = found - data;
        const qint64 newline = t.end + newlineAt;
        const bool carriageReturn =
            newline > t.lineStart &&
            (newlineAt > 0 ? data[newlineAt - 1] == '\r' : t.endsInCarriageReturn);
        t.pieces += piecesOf(newline - t.lineStart - (carriageReturn ? 1 : 0));
        ++t.lines;
        t.lineStart = newline + 1;
        if (t.lines - t.latest.line >= CheckpointLines ||
            t.lineStart - t.latest.offset >= WindowBytes) {
            t.latest = {t.lineStart, t.lines, t.pieces};
            m_checkpoints.append(t.latest);
        }
        at = newlineAt + 1;
    }
    if (size > 0)
        t.endsInCarriageReturn = data[size - 1] == '\r';
    t.end += size;
}

LineIndex::Batch LineIndex::takeBatch() {
    Batch batch{std::move(m_checkpoints), m_tail};
    m_checkpoints.clear();
    return batch;
}

void LineIndex::absorb(const Batch& batch) {
    m_checkpoints.append(batch.checkpoints);
    m_tail = batch.tail;
}

qsizetype LineIndex::segmentOfPiece(qint64 piece) const {
    return segmentOf(m_checkpoints, piece, &LineCheckpoint::piece);
}

qsizetype LineIndex::segmentOfOffset(qint64 offset) const {
    return segmentOf(m_checkpoints, offset, &LineCheckpoint::offset);
}

} // namespace runs
