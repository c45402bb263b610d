// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "runs/lines/RunSummary.h"

#include <QList>
#include <QtGlobal>

namespace runs::logview {

// Where a log's problem lines stand, in memory that stays the same whatever their number: the
// pieces of the log are cut into a fixed number of buckets of equal width, and each keeps only
// its first and its last problem line and the worst kind among its lines. The width doubles
// (and neighbouring buckets merge) whenever a problem lies beyond the last, so the buckets span
// the pieces up to the last problem with at least half of them. A scroll bar row never needs
// more, and the next problem after any place is either in the place's own bucket (a bounded
// read of the file finds it) or is the first of a later one.
class ProblemMarks {
public:
    static constexpr qsizetype BucketCount = 2048;

    struct Bucket {
        qint64 firstPiece = -1; // -1: no problem in the bucket
        qint64 firstOffset = -1;
        qint64 lastPiece = -1;
        qint64 lastOffset = -1;
        lines::LineKind worst = lines::LineKind::Plain;

        bool isEmpty() const { return firstPiece < 0; }
        friend bool operator==(const Bucket&, const Bucket&) = default;
    };

    // A problem line that starts at a piece and a byte offset, after every one added before.
    void add(qint64 piece, qint64 offset, lines::LineKind kind);

    qint64 piecesPerBucket() const { return m_width; }
    // Buckets in use: none until the first problem.
    qsizetype bucketCount() const { return m_buckets.size(); }
    const Bucket& bucket(qsizetype index) const { return m_buckets[index]; }
    // The bucket that holds a piece; bucketCount() or more for a piece past the last problem.
    qsizetype bucketOf(qint64 piece) const { return static_cast<qsizetype>(piece / m_width); }
    bool isEmpty() const { return m_buckets.isEmpty(); }

    friend bool operator==(const ProblemMarks&, const ProblemMarks&) = default;

private:
    QList<Bucket> m_buckets;
    qint64 m_width = 1;
};

// The worse of two kinds: an error before a warning before a plain line.
lines::LineKind worseKind(lines::LineKind a, lines::LineKind b);

// What is known of a log's problems: their count and the last closing line, and their marks.
struct LineProblems {
    lines::RunTally tally;
    ProblemMarks marks;

    void add(const lines::LineClass& line, qint64 piece, qint64 offset) {
        tally.add(line);
        if (line.isProblem())
            marks.add(piece, offset, line.kind);
    }
    friend bool operator==(const LineProblems&, const LineProblems&) = default;
};

} // namespace runs::logview
