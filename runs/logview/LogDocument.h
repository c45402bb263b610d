// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ReadOnlyFile.h"
#include "runs/lines/TextEncoding.h"
#include "runs/logview/LineIndex.h"
#include "runs/logview/Worker.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>

#include <atomic>
#include <compare>
#include <memory>

namespace runs::logview {

// A place in the log: a display piece and a character of its text.
struct LogPosition {
    qint64 piece = 0;
    qsizetype character = 0;
    auto operator<=>(const LogPosition&) const = default;
};

// One line as the index knows it, in bytes of the file.
struct LogLine {
    qint64 number = 0;
    qint64 start = 0;
    qint64 textEnd = 0; // before the line end
    qint64 next = 0;    // after the line end
    qint64 firstPiece = 0;
    qint64 pieces = 1;
};

// A bounded part of a line's text; a long line is shown as several, each wrapped on its own.
// A cut never splits a character of a multi-byte encoding.
struct LogPiece {
    qint64 number = 0;
    qint64 start = 0;
    qint64 end = 0;
    bool firstOfLine = true;
    bool lastOfLine = true;
};

// A log file as shown: the first lines are indexed at once, the rest by a thread of its own
// (started by startIndexing) while the window answers. Text is read from the file when asked
// for and decoded a piece at a time in the log's encoding, multi-byte characters kept whole,
// so memory stays small whatever the file's size. A file that shrinks or changes gives shorter
// or different text, never a fault; change() tells whether it did, so that the one showing it
// can show it afresh before it reads more. Without a file the document is one empty line.
class LogDocument : public QObject {
    Q_OBJECT
public:
    explicit LogDocument(std::shared_ptr<platform::ReadOnlyFile> file = {},
                         lines::TextEncoding encoding = {}, QObject* parent = nullptr);
    ~LogDocument() override;

    // Bytes indexed at once, before the thread takes over.
    static constexpr qint64 FirstBytes = 64 * 1024;

    // Indexes the rest on a thread of its own; nothing to do for a log indexed whole at once.
    void startIndexing();

    bool isIndexing() const { return m_indexing; }
    qint64 indexedBytes() const { return m_index.end(); }
    qint64 lineCount() const { return m_index.lineCount(); }
    qint64 pieceCount() const { return m_index.pieceCount(); }

    // The piece of that number, or the nearest there is.
    LogPiece piece(qint64 number) const;
    QString text(const LogPiece& piece) const;
    LogLine lineOfPiece(qint64 piece) const;
    LogLine lineOfOffset(qint64 offset) const;

    LogPosition end() const;
    // Positions and file offsets map through the decoding the text is shown in.
    qint64 offsetOf(const LogPosition& position) const;
    LogPosition positionAt(qint64 offset) const;
    QByteArray bytes(qint64 from, qint64 to) const;
    // The text between two offsets where characters start, decoded as it is shown.
    QString text(qint64 from, qint64 to) const;
    const std::shared_ptr<platform::ReadOnlyFile>& file() const { return m_file; }
    const lines::TextEncoding& encoding() const { return m_encoding; }

    // How the file stands against its index: as indexed (or grown while the rest is being
    // indexed); grown since the index reached its end; written over in place (shorter than
    // indexed, other bytes first or last in what is indexed, a read that found it unlike its
    // index, or written to without growing); or another file now at its path. The look costs
    // the file's state, the path's, and two reads of a few bytes.
    enum class Change { None, Grown, Rewritten, Replaced };
    Change change() const;
    // Indexes what the file grew by: at once when it is little, else on the thread.
    void indexGrowth();
    // Whether a read found the file unlike its index: change() will say it was written over.
    bool foundUnlike() const { return m_unlike; }
    // No more looks at the path, whose file cannot be opened: the open file is shown on.
    void keepToOpenFile() { m_followsPath = false; }
    // The number of the line a piece is on, from the index alone, without reading the file:
    // exact where no line before it since the last checkpoint is longer than a piece.
    qint64 lineNumberOf(qint64 piece) const;
    // The line of that number, or the last.
    LogLine lineNumbered(qint64 number) const;
    // The problem lines of what is indexed, found in the same pass as its lines.
    const LineProblems& problems() const { return m_problems; }

Q_SIGNALS:
    void grown();
    void indexed();

private:
    // What a scan hands over besides its index: the last bytes it read and, once it reached
    // the end, the file's state then.
    struct Reached {
        QByteArray tail;
        platform::ReadOnlyFile::Stamp stamp;
    };
    void startWorker();
    void indexInBackground(LineIndex::Tail from, QByteArray tail, const std::atomic<bool>& stop);
    void absorb(const LineIndex::Batch& batch, const Reached& reached, bool done);
    template <typename Found>
    LogLine findInSegment(qsizetype segment, bool fromLast, Found found) const;
    const QByteArray& window(qsizetype segment, qint64 from, qint64 to) const;
    qint64 cut(const LogLine& line, qint64 at) const;
    qint64 characterStartFrom(qint64 known, qint64 at) const;

    std::shared_ptr<platform::ReadOnlyFile> m_file;
    lines::TextEncoding m_encoding;
    LineIndex m_index;
    LineProblems m_problems;
    bool m_indexing = false;

    // What a look for a change compares: the first and the last bytes indexed, and the file's
    // state when the index last reached its end.
    QByteArray m_head;
    QByteArray m_tail;
    platform::ReadOnlyFile::Stamp m_stamp;
    bool m_followsPath = true;
    // Set by a read that found the file unlike its index.
    mutable bool m_unlike = false;

    // The window of the segment read last; painting reads the same one line after line.
    mutable QByteArray m_window;
    mutable qsizetype m_windowSegment = -1;
    mutable qint64 m_windowEnd = -1;
    // Piece cuts found in long lines of an encoding whose characters are found only by
    // decoding from a known start, so that each is decoded once.
    mutable QHash<qint64, qint64> m_cuts;
    // The line found last, where the next look in its segment may start: painting asks for the
    // pieces in order, and a window can hold thousands of short lines.
    mutable LogLine m_lastLine;
    mutable qsizetype m_lastLineSegment = -1;
    // Last, so that its thread ends before the members it reads go.
    Worker m_worker{this};
};

} // namespace runs::logview
