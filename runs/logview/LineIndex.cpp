// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/logview/LineIndex.h"

#include "runs/lines/LineClass.h"
#include "runs/logview/LineFeeds.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string_view>

namespace runs::logview {

namespace {

using linefeeds::mayStartProblem;

template <typename Member>
qsizetype segmentOf(const QList<LineCheckpoint>& checkpoints, qint64 value, Member member) {
    const auto after = std::upper_bound(
        checkpoints.begin(), checkpoints.end(), value,
        [member](qint64 wanted, const LineCheckpoint& point) { return wanted < point.*member; });
    return std::max<qsizetype>(0, after - checkpoints.begin() - 1);
}

} // namespace

LineIndex::LineIndex(Problems problems) : m_problems(problems) {
    m_checkpoints.append(LineCheckpoint{});
}

LineIndex LineIndex::continuing(const Tail& tail, Problems problems) {
    LineIndex index(problems);
    index.m_checkpoints.clear();
    index.m_tail = tail;
    return index;
}

LineProblems LineIndex::problems() const {
    LineProblems problems = m_tail.problems;
    if (m_tail.openUndecided && !m_tail.openHead.isEmpty())
        problems.add(lines::classify(std::string_view(m_tail.openHead.constData(),
                                                      static_cast<size_t>(m_tail.openHead.size()))),
                     m_tail.pieces, m_tail.lineStart);
    return problems;
}

void LineIndex::startLine(const char* data, qsizetype size, qsizetype at) {
    Tail& t = m_tail;
    if (at == size) {
        t.openUndecided = true;
        return;
    }
    if (!mayStartProblem(data[at]))
        return;
    const qsizetype rest = size - at;
    if (rest >= qsizetype(lines::significantLength) || std::memchr(data + at, '\n', rest)) {
        const lines::LineClass line =
            lines::classify(std::string_view(data + at, static_cast<size_t>(rest)));
        if (line.kind != lines::LineKind::Plain)
            t.problems.add(line, t.pieces, t.end + at);
        return;
    }
    t.openUndecided = true;
    t.openHead = QByteArray(data + at, rest);
}

void LineIndex::decideOpenLine(QByteArrayView bytes) {
    Tail& t = m_tail;
    const qsizetype wanted = qsizetype(lines::significantLength) - t.openHead.size();
    const QByteArrayView more = bytes.first(qMin(wanted, bytes.size()));
    t.openHead += more;
    if (more.size() < wanted && !more.contains('\n'))
        return; // still too little of it
    const lines::LineClass line = lines::classify(
        std::string_view(t.openHead.constData(), static_cast<size_t>(t.openHead.size())));
    if (line.kind != lines::LineKind::Plain)
        t.problems.add(line, t.pieces, t.lineStart);
    t.openHead.clear();
    t.openUndecided = false;
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

// Inlined in each of its callers, so that the one for processors with AVX2 is made for them.
template <bool FindProblems, bool Avx2>
[[gnu::always_inline]] inline void LineIndex::scanLines(QByteArrayView bytes) {
    const char* data = bytes.data();
    const qsizetype size = bytes.size();
    Tail& t = m_tail;
    if (FindProblems && t.openUndecided && size > 0)
        decideOpenLine(bytes);
    // Each line feed in turn, and the line that starts after it.
    const auto visitLines = [this, data, size](qsizetype at, quint64 mask) {
        for (; mask != 0; mask &= mask - 1) {
            const qsizetype feed = at + std::countr_zero(mask);
            endLine(data, feed);
            startLine(data, size, feed + 1);
        }
    };
    // 64 bytes: lines of one piece that make no checkpoint are counted without visiting each.
    const auto scanBlock = [this, data, &t](qsizetype at, quint64 mask) {
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
    // checkpoint, which keeps the scan near the speed of reading. Finding problems, a span
    // whose lines all start with other than a capital or a blank is passed over the same way;
    // another has each of its lines looked at.
    qsizetype at = 0;
    for (; at + 256 + (FindProblems ? 1 : 0) <= size; at += 256) {
        // Finding problems, the line feeds' places are needed to look at the line starts.
        quint64 words[4] = {};
        linefeeds::Span feeds;
        if constexpr (!FindProblems)
            feeds.count = linefeeds::countInSpan(data + at);
#if defined(TARNHOLD_AVX2_SPANS)
        else if constexpr (Avx2)
            feeds = linefeeds::inSpanAvx2(data + at, words);
#endif
        else
            feeds = linefeeds::inSpan(data + at, words);
        const int count = feeds.count;
        if (count == 0)
            continue;
        if (FindProblems && feeds.problemMayStart) {
            for (int block = 0; block < 4; ++block)
                visitLines(at + 64 * block, words[block]);
            continue;
        }
        const auto feedsOf = [data, at, &words](int block) {
            return FindProblems ? words[block] : linefeeds::inBlock(data + at + 64 * block);
        };
        const qint64 spanEnd = t.end + at + 256;
        if (spanEnd - 1 - t.lineStart <= PieceBytes && spanEnd - t.latest.offset < WindowBytes) {
            int block = 3;
            quint64 mask = 0;
            while ((mask = feedsOf(block)) == 0)
                --block;
            t.lines += count;
            t.pieces += count;
            t.lineStart = t.end + at + 64 * block + 64 - std::countl_zero(mask);
            continue;
        }
        for (int block = 0; block < 4; ++block)
            scanBlock(at + 64 * block, feedsOf(block));
    }
    if constexpr (FindProblems) {
        for (; at + 64 <= size; at += 64)
            visitLines(at, linefeeds::inBlock(data + at));
        for (; at < size; ++at) {
            if (data[at] == '\n') {
                endLine(data, at);
                startLine(data, size, at + 1);
            }
        }
    } else {
        for (; at + 64 <= size; at += 64)
            scanBlock(at, linefeeds::inBlock(data + at));
        for (; at < size; ++at) {
            if (data[at] == '\n')
                endLine(data, at);
        }
    }
    if (size > 0)
        t.endsInCarriageReturn = data[size - 1] == '\r';
    t.end += size;
}

void LineIndex::scan(QByteArrayView bytes) {
    if (m_problems == Problems::Ignored)
        scanLinesOnly(bytes);
#if defined(TARNHOLD_AVX2_SPANS)
    else if (linefeeds::hasAvx2())
        scanProblemsAvx2(bytes);
#endif
    else
        scanProblems(bytes);
}

void LineIndex::scanLinesOnly(QByteArrayView bytes) {
    scanLines<false, false>(bytes);
}

void LineIndex::scanProblems(QByteArrayView bytes) {
    scanLines<true, false>(bytes);
}

#if defined(TARNHOLD_AVX2_SPANS)
__attribute__((target("avx2"))) void LineIndex::scanProblemsAvx2(QByteArrayView bytes) {
    scanLines<true, true>(bytes);
}
#else
void LineIndex::scanProblemsAvx2(QByteArrayView bytes) {
    scanLines<true, false>(bytes);
}
#endif

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
