// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/logview/LogCursor.h"

#include <QKeyEvent>
#include <QTextLayout>

#include <array>

namespace runs::logview {

namespace {

using Key = QKeySequence::StandardKey;
using Move = LogCursor::Move;

constexpr std::array<LogCursor::KeyMove, 24> KeyMoves{{
    {Key::MoveToNextChar, Move::NextCharacter, false},
    {Key::SelectNextChar, Move::NextCharacter, true},
    {Key::MoveToPreviousChar, Move::PreviousCharacter, false},
    {Key::SelectPreviousChar, Move::PreviousCharacter, true},
    {Key::MoveToNextWord, Move::NextWord, false},
    {Key::SelectNextWord, Move::NextWord, true},
    {Key::MoveToPreviousWord, Move::PreviousWord, false},
    {Key::SelectPreviousWord, Move::PreviousWord, true},
    {Key::MoveToNextLine, Move::NextRow, false},
    {Key::SelectNextLine, Move::NextRow, true},
    {Key::MoveToPreviousLine, Move::PreviousRow, false},
    {Key::SelectPreviousLine, Move::PreviousRow, true},
    {Key::MoveToNextPage, Move::NextPage, false},
    {Key::SelectNextPage, Move::NextPage, true},
    {Key::MoveToPreviousPage, Move::PreviousPage, false},
    {Key::SelectPreviousPage, Move::PreviousPage, true},
    {Key::MoveToStartOfLine, Move::StartOfLine, false},
    {Key::SelectStartOfLine, Move::StartOfLine, true},
    {Key::MoveToEndOfLine, Move::EndOfLine, false},
    {Key::SelectEndOfLine, Move::EndOfLine, true},
    {Key::MoveToStartOfDocument, Move::StartOfLog, false},
    {Key::SelectStartOfDocument, Move::StartOfLog, true},
    {Key::MoveToEndOfDocument, Move::EndOfLog, false},
    {Key::SelectEndOfDocument, Move::EndOfLog, true},
}};

} // namespace

std::optional<LogCursor::KeyMove> LogCursor::keyMoveOf(QKeyEvent* event) {
    for (const KeyMove& keyMove : KeyMoves) {
        if (event->matches(keyMove.key))
            return keyMove;
    }
    return std::nullopt;
}

void LogCursor::reset() {
    m_anchor = m_caret = {};
    m_desiredX = -1;
}

void LogCursor::setCaret(const LogPosition& to, bool select) {
    m_caret = to;
    if (!select)
        m_anchor = to;
    m_desiredX = -1;
}

void LogCursor::select(const LogPosition& anchor, const LogPosition& caret) {
    m_anchor = anchor;
    setCaret(caret, true);
}

void LogCursor::selectAll() {
    m_anchor = {};
    m_caret = m_layout.document().end();
}

LogPosition LogCursor::rowsAway(qint64 rows) {
    if (m_desiredX < 0)
        m_desiredX = m_layout.xOf(m_caret);
    return m_layout.positionAt(m_layout.moveRows(m_layout.rowOf(m_caret), rows), m_desiredX);
}

void LogCursor::move(Move move, bool select, qint64 pageRows) {
    LogPosition to;
    switch (move) {
    case Move::NextRow:
    case Move::PreviousRow:
    case Move::NextPage:
    case Move::PreviousPage: {
        const qint64 rows = move == Move::NextRow ? 1 : move == Move::PreviousRow ? -1 : pageRows;
        m_caret = rowsAway(move == Move::PreviousPage ? -rows : rows);
        if (!select)
            m_anchor = m_caret;
        return;
    }
    case Move::NextCharacter:
        to = nextCharacter(m_caret);
        break;
    case Move::PreviousCharacter:
        to = previousCharacter(m_caret);
        break;
    case Move::NextWord:
        to = nextWord(m_caret);
        break;
    case Move::PreviousWord:
        to = previousWord(m_caret);
        break;
    case Move::StartOfLine:
        to = startOfLine(m_caret);
        break;
    case Move::EndOfLine:
        to = endOfLine(m_caret);
        break;
    case Move::StartOfLog:
        break;
    case Move::EndOfLog:
        to = m_layout.document().end();
        break;
    }
    setCaret(to, select);
}

LogPosition LogCursor::nextCharacter(const LogPosition& from) const {
    const auto layout = m_layout.layoutOf(from.piece);
    if (from.character < layout->text().size())
        return {from.piece, layout->nextCursorPosition(static_cast<int>(from.character))};
    const LogDocument& document = m_layout.document();
    if (from.piece + 1 >= document.pieceCount())
        return from;
    const qint64 next = from.piece + 1;
    // Inside a line the end of one piece and the start of the next are the same place.
    if (document.piece(next).firstOfLine)
        return {next, 0};
    return {next, m_layout.layoutOf(next)->nextCursorPosition(0)};
}

LogPosition LogCursor::previousCharacter(const LogPosition& from) const {
    const auto layout = m_layout.layoutOf(from.piece);
    const auto character = qMin<qsizetype>(from.character, layout->text().size());
    if (character > 0)
        return {from.piece, layout->previousCursorPosition(static_cast<int>(character))};
    if (from.piece == 0)
        return {};
    const qint64 previous = from.piece - 1;
    const auto before = m_layout.layoutOf(previous);
    const int end = static_cast<int>(before->text().size());
    if (m_layout.document().piece(from.piece).firstOfLine)
        return {previous, end};
    return {previous, before->previousCursorPosition(end)};
}

// A word cut by a piece boundary goes on in the next piece: the moves pass over the cut as if
// the line were one text.
LogPosition LogCursor::nextWord(const LogPosition& from) const {
    const LogDocument& document = m_layout.document();
    const auto layout = m_layout.layoutOf(from.piece);
    const QString& text = layout->text();
    LogPosition to = from;
    if (from.character < text.size())
        to.character =
            layout->nextCursorPosition(static_cast<int>(from.character), QTextLayout::SkipWords);
    if (to.character < text.size() || from.piece + 1 >= document.pieceCount())
        return to;
    const qint64 next = from.piece + 1;
    if (document.piece(next).firstOfLine)
        return to != from ? to : LogPosition{next, 0};
    if (!text.isEmpty() && text.back().isSpace() && to != from)
        return {next, 0};
    return {next, m_layout.layoutOf(next)->nextCursorPosition(0, QTextLayout::SkipWords)};
}

LogPosition LogCursor::previousWord(const LogPosition& from) const {
    const LogDocument& document = m_layout.document();
    const auto layout = m_layout.layoutOf(from.piece);
    const auto character = qMin<qsizetype>(from.character, layout->text().size());
    LogPosition to{from.piece, 0};
    if (character > 0)
        to.character =
            layout->previousCursorPosition(static_cast<int>(character), QTextLayout::SkipWords);
    if (to.character > 0 || from.piece == 0 || document.piece(from.piece).firstOfLine)
        return character > 0 ? to : previousCharacter(from);
    const qint64 previous = from.piece - 1;
    const auto before = m_layout.layoutOf(previous);
    const QString& text = before->text();
    const bool wordStartsHere =
        !text.isEmpty() && text.back().isSpace() && !layout->text().front().isSpace();
    if (character > 0 && wordStartsHere)
        return to;
    return {previous,
            before->previousCursorPosition(static_cast<int>(text.size()), QTextLayout::SkipWords)};
}

LogPosition LogCursor::startOfLine(const LogPosition& at) const {
    return {m_layout.document().lineOfPiece(at.piece).firstPiece, 0};
}

LogPosition LogCursor::endOfLine(const LogPosition& at) const {
    const LogLine line = m_layout.document().lineOfPiece(at.piece);
    const qint64 last = line.firstPiece + line.pieces - 1;
    return {last, m_layout.layoutOf(last)->text().size()};
}

} // namespace runs::logview
