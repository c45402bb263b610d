// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "runs/logview/LineIndex.h"
#include "runs/logview/LogEncoding.h"
#include "runs/logview/Worker.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>

#include <atomic>
#include <compare>
#include <memory>

namespace platform {
class ReadOnlyFile;
}

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
// or different text, never a fault. Without a file the document is one empty line.
class LogDocument : public QObject {
    Q_OBJECT
public:
    explicit LogDocument(std::shared_ptr<platform::ReadOnlyFile> file = {},
                         LogEncoding encoding = {}, QObject* parent = nullptr);
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
    const LogEncoding& encoding() const { return m_encoding; }
    // Whether the file has shrunk below what the index holds: it was replaced or truncated.
    bool isStale() const;

Q_SIGNALS:
    void grown();
    void indexed();

private:
    void indexInBackground(LineIndex::Tail from, const std::atomic<bool>& stop);
    void absorb(const LineIndex::Batch& batch, bool done);
    template <typename Found>
    LogLine findInSegment(qsizetype segment, bool fromLast, Found found) const;
    const QByteArray& window(qsizetype segment, qint64 from, qint64 to) const;
    qint64 cut(const LogLine& line, qint64 at) const;
    qint64 characterStartFrom(qint64 known, qint64 at) const;

    std::shared_ptr<platform::ReadOnlyFile> m_file;
    LogEncoding m_encoding;
    LineIndex m_index;
    bool m_indexing = false;

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
