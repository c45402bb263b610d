// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/logview/LineIndex.h"

#include <algorithm>
#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace runs::logview {

namespace {

template <typename Member>
qsizetype segmentOf(const QList<LineCheckpoint>& checkpoints, qint64 value, Member member) {
    const auto after = std::upper_bound(
        checkpoints.begin(), checkpoints.end(), value,
        [member](qint64 wanted, const LineCheckpoint& point) { return wanted < point.*member; });
    return std::max<qsizetype>(0, after - checkpoints.begin() - 1);
}

// Bit i set where block[i] is a line feed, for a block of 64 bytes.
quint64 lineFeeds(const char* block) {
#if defined(__SSE2__)
    const __m128i feed = _mm_set1_epi8('\n');
    quint64 mask = 0;
    for (int i = 0; i < 4; ++i) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * i));
        mask |= quint64(quint32(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, feed)))) << (16 * i);
    }
    return mask;
#else
    quint64 mask = 0;
    for (int i = 0; i < 64; ++i)
        mask |= quint64(block[i] == '\n') << i;
    return mask;
#endif
}

// How many of 256 bytes are line feeds.
int lineFeedCount(const char* span) {
#if defined(__SSE2__)
    const __m128i feed = _mm_set1_epi8('\n');
    __m128i counts = _mm_setzero_si128(); // at most 16 a lane
    for (int i = 0; i < 16; ++i) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(span + 16 * i));
        counts = _mm_sub_epi8(counts, _mm_cmpeq_epi8(bytes, feed));
    }
    const __m128i sums = _mm_sad_epu8(counts, _mm_setzero_si128());
    return _mm_cvtsi128_si32(sums) + _mm_extract_epi16(sums, 4);
#else
    int count = 0;
    for (int i = 0; i < 256; ++i)
        count += span[i] == '\n' ? 1 : 0;
    return count;
#endif
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

void LineIndex::endLine(const char* data, qsizetype at) {
    Tail& t = m_tail;
    const qint64 newline = t.end + at;
    const bool carriageReturn =
        newline > t.lineStart && (at > 0 ? data[at - 1] == '\r' : t.endsInCarriageReturn);
    t.pieces += piecesOf(newline - t.lineStart - (carriageReturn ? 1 : 0));
    ++t.lines;
    t.lineStart = newline + 1;
    if (t.lineStart - t.latest.offset >= WindowBytes) {
        t.latest = {t.lineStart, t.lines, t.pieces};
        m_checkpoints.append(t.latest);
    }
}

void LineIndex::scan(QByteArrayView bytes) {
    const char* data = bytes.data();
    const qsizetype size = bytes.size();
    Tail& t = m_tail;
    // 64 bytes: lines of one piece that make no checkpoint are counted without visiting each.
    const auto scanBlock = [this, data, &t](qsizetype at) {
        quint64 mask = lineFeeds(data + at);
        if (mask == 0)
            return;
        // Lines of more than 64 bytes give one line feed a block: no count needed.
        const int count = (mask & (mask - 1)) == 0 ? 1 : std::popcount(mask);
        const qint64 firstEnd = t.end + at + std::countr_zero(mask);
        const qint64 lastStart = t.end + at + 64 - std::countl_zero(mask);
        if (firstEnd - t.lineStart <= PieceBytes && lastStart - t.latest.offset < WindowBytes) {
            t.lines += count;
            t.pieces += count;
            t.lineStart = lastStart;
            return;
        }
        for (; mask != 0; mask &= mask - 1)
            endLine(data, at + std::countr_zero(mask));
    };
    // 256 bytes at a time where possible: most spans end only short lines and make no
    // checkpoint, which keeps the scan near the speed of reading.
    qsizetype at = 0;
    for (; at + 256 <= size; at += 256) {
        const int count = lineFeedCount(data + at);
        if (count == 0)
            continue;
        const qint64 spanEnd = t.end + at + 256;
        if (spanEnd - 1 - t.lineStart <= PieceBytes && spanEnd - t.latest.offset < WindowBytes) {
            int block = 3;
            quint64 mask = 0;
            while ((mask = lineFeeds(data + at + 64 * block)) == 0)
                --block;
            t.lines += count;
            t.pieces += count;
            t.lineStart = t.end + at + 64 * block + 64 - std::countl_zero(mask);
            continue;
        }
        for (int block = 0; block < 4; ++block)
            scanBlock(at + 64 * block);
    }
    for (; at + 64 <= size; at += 64)
        scanBlock(at);
    for (; at < size; ++at) {
        if (data[at] == '\n')
            endLine(data, at);
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

qsizetype LineIndex::segmentOfLine(qint64 line) const {
    return segmentOf(m_checkpoints, line, &LineCheckpoint::line);
}

} // namespace runs::logview
