// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "runs/logview/LogLayout.h"

#include <QKeySequence>

#include <optional>

class QKeyEvent;

namespace runs::logview {

// The caret and the selection's other end (the anchor) in a laid-out log, and the moves the
// standard keys of a text box ask for.
class LogCursor {
public:
    enum class Move {
        NextCharacter,
        PreviousCharacter,
        NextWord,
        PreviousWord,
        NextRow,
        PreviousRow,
        NextPage,
        PreviousPage,
        StartOfLine,
        EndOfLine,
        StartOfLog,
        EndOfLog,
    };
    // A key that moves the caret, and whether it carries the selection along.
    struct KeyMove {
        QKeySequence::StandardKey key;
        Move move;
        bool select;
    };
    static std::optional<KeyMove> keyMoveOf(QKeyEvent* event);

    explicit LogCursor(const LogLayout& layout) : m_layout(layout) {}

    const LogPosition& caret() const { return m_caret; }
    const LogPosition& anchor() const { return m_anchor; }
    bool hasSelection() const { return m_anchor != m_caret; }
    LogPosition selectionStart() const { return qMin(m_anchor, m_caret); }
    LogPosition selectionEnd() const { return qMax(m_anchor, m_caret); }

    // Back to the log's start, nothing selected.
    void reset();
    // Puts the caret there; without `select` the anchor goes with it.
    void setCaret(const LogPosition& to, bool select);
    void select(const LogPosition& anchor, const LogPosition& caret);
    void selectAll();
    // A page is `pageRows` rows. Moves by rows keep to the column the first of them left.
    void move(Move move, bool select, qint64 pageRows);

    LogPosition nextCharacter(const LogPosition& from) const;
    LogPosition previousCharacter(const LogPosition& from) const;
    // The start of the next word, or of the word before; a line end counts as a word's end.
    LogPosition nextWord(const LogPosition& from) const;
    LogPosition previousWord(const LogPosition& from) const;
    LogPosition startOfLine(const LogPosition& at) const;
    LogPosition endOfLine(const LogPosition& at) const;

private:
    LogPosition rowsAway(qint64 rows);

    const LogLayout& m_layout;
    LogPosition m_anchor;
    LogPosition m_caret;
    qreal m_desiredX = -1;
};

} // namespace runs::logview
