// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "runs/logview/ProblemMarks.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace runs::logview {

// Where a line starts, counted in bytes, lines and display pieces from the start of the log.
struct LineCheckpoint {
    qint64 offset = 0;
    qint64 line = 0;
    qint64 piece = 0;
};

// A sparse index of a log's lines: a checkpoint at the first line start past each window of
// bytes, however many lines the window holds, so the index grows with the file's size alone (a
// gigabyte costs a megabyte or two) and any line is found by reading one window. Lines end at a
// line feed; a carriage return before it belongs to the line end, not the text. After the last line
// feed there is always one more line, possibly empty. A line's text is shown in pieces of at most
// PieceBytes bytes, at least one per line.
//
// The same pass finds the problem lines: each line is classified from its first bytes as it
// starts (see runs::lines::classify), so a log is read once whatever it holds. Lines that start
// with anything but a capital letter or a blank are told without a look at each; the problems
// are counted and marked in bounded memory (see ProblemMarks).
class LineIndex {
public:
    // Whether a scan finds the problem lines besides the lines.
    enum class Problems : bool { Ignored, Found };

    static constexpr qint64 PieceBytes = 4096;
    static constexpr qint64 WindowBytes = 16 * 1024;

    static constexpr qint64 piecesOf(qint64 textBytes) {
        return textBytes <= PieceBytes ? 1 : (textBytes + PieceBytes - 1) / PieceBytes;
    }

    // What a scan knows beyond its latest checkpoint.
    struct Tail {
        qint64 end = 0;       // bytes scanned
        qint64 lineStart = 0; // start of the line still open at the end
        qint64 lines = 0;     // lines ended by a line feed
        qint64 pieces = 0;    // pieces of those lines
        bool endsInCarriageReturn = false;
        LineCheckpoint latest;
        // The problems among the lines started so far, but for the line still open at the end
        // while too little of it is known to tell its class: its first bytes wait here until
        // its line feed, or as many as decide its class, arrive.
        LineProblems problems;
        QByteArray openHead;
        bool openUndecided = true;
    };

    // What a scan on another thread hands over: its new checkpoints and its tail.
    struct Batch {
        QList<LineCheckpoint> checkpoints;
        Tail tail;
    };

    explicit LineIndex(Problems problems = Problems::Found);
    // A scan that goes on from where an index stands and holds only what it adds to it.
    static LineIndex continuing(const Tail& tail, Problems problems = Problems::Found);

    // Indexes the bytes that follow the ones scanned so far.
    void scan(QByteArrayView bytes);
    Batch takeBatch();
    void absorb(const Batch& batch);

    const Tail& tail() const { return m_tail; }
    qint64 end() const { return m_tail.end; }
    qint64 lineCount() const { return m_tail.lines + 1; }
    qint64 pieceCount() const { return m_tail.pieces + piecesOf(m_tail.end - m_tail.lineStart); }
    // The problems of the lines scanned so far; a line still open at the end counts as what
    // there is of it reads.
    LineProblems problems() const;

    // A segment runs from one checkpoint to the next, or to the end for the last.
    qsizetype segmentCount() const { return m_checkpoints.size(); }
    const LineCheckpoint& checkpoint(qsizetype segment) const { return m_checkpoints[segment]; }
    qsizetype segmentOfPiece(qint64 piece) const;
    qsizetype segmentOfOffset(qint64 offset) const;
    qsizetype segmentOfLine(qint64 line) const;

private:
    template <bool FindProblems, bool Avx2> void scanLines(QByteArrayView bytes);
    void scanLinesOnly(QByteArrayView bytes);
    void scanProblems(QByteArrayView bytes);
    // The same 32 bytes at a time, on processors that can.
    void scanProblemsAvx2(QByteArrayView bytes);
    void endLine(const char* data, qsizetype at);
    // A line starts at data[at] (at == size: where the next bytes begin).
    void startLine(const char* data, qsizetype size, qsizetype at);
    // Tells the class of the open line from the first of the bytes that follow, if they say it.
    void decideOpenLine(QByteArrayView bytes);

    QList<LineCheckpoint> m_checkpoints;
    Tail m_tail;
    Problems m_problems = Problems::Found;
};

} // namespace runs::logview
