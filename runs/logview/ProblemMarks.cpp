// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/logview/ProblemMarks.h"

#include <algorithm>

namespace runs::logview {

namespace {

int severity(lines::LineKind kind) {
    switch (kind) {
    case lines::LineKind::Error:
        return 2;
    case lines::LineKind::Warning:
        return 1;
    case lines::LineKind::Plain:
    case lines::LineKind::Closing:
        break;
    }
    return 0;
}

ProblemMarks::Bucket merged(const ProblemMarks::Bucket& early, const ProblemMarks::Bucket& late) {
    if (early.isEmpty())
        return late;
    if (late.isEmpty())
        return early;
    return {early.firstPiece, early.firstOffset, late.lastPiece, late.lastOffset,
            worseKind(early.worst, late.worst)};
}

} // namespace

lines::LineKind worseKind(lines::LineKind a, lines::LineKind b) {
    return severity(b) > severity(a) ? b : a;
}

void ProblemMarks::add(qint64 piece, qint64 offset, lines::LineKind kind) {
    if (m_buckets.isEmpty())
        m_buckets.resize(BucketCount);
    while (piece / m_width >= BucketCount) {
        // Twice as wide: bucket i takes what 2i and 2i + 1 held.
        for (qsizetype i = 0; i < BucketCount / 2; ++i)
            m_buckets[i] = merged(m_buckets[2 * i], m_buckets[2 * i + 1]);
        std::fill(m_buckets.begin() + BucketCount / 2, m_buckets.end(), Bucket{});
        m_width *= 2;
    }
    Bucket& into = m_buckets[bucketOf(piece)];
    into = merged(into, Bucket{piece, offset, piece, offset, kind});
}

} // namespace runs::logview
