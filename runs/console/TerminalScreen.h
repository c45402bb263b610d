// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "runs/console/KeptRows.h"
#include "runs/console/TerminalRow.h"
#include "runs/lines/RunSummary.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <algorithm>

namespace runs::console {

// What a terminal shows of a program's output, row by row, in cells: line feeds end a row, a
// carriage return goes back to its start so that what follows rewrites it, a backspace steps
// back a cell, a tab moves to the next tab stop, and a row that reaches the terminal's width
// wraps into the next. Wide characters take two cells and never straddle the wrap; combining
// marks stay with their character. Escape sequences are taken apart and left out, but for
// erasing the row; other control characters are left out too. Text may come in pieces split
// anywhere. The last keptLines ended rows are kept; rows are numbered from the first the
// screen ever ended.
//
// When the width changes, the kept rows are wrapped anew at the new width, as current
// terminals do: rows the screen wrapped join again, and no row is wider than the terminal.
//
// Each line the program ends is classified once, its wrapped rows joined, and all its rows take
// its class (a problem, a closing line, or plain), which they keep when wrapped anew.
class TerminalScreen {
public:
    // Ended rows a console keeps for scrolling back.
    static constexpr qsizetype KeptLines = 10000;

    explicit TerminalScreen(int columns = 80, qsizetype keptLines = KeptLines);

    void feed(QStringView text);
    // The program has done: the row it left unfinished ends, as a line of its own, and any
    // sequence it left open is over.
    void finishLine();
    // A line of the console's own, after whatever the program left unfinished: on a row of its
    // own, read as plain text whatever sequence the program left open.
    void writeOwnLine(QStringView text);

    // Rows ended so far, and the number of the oldest row still kept.
    qint64 endedCount() const { return m_endedCount; }
    qint64 firstKept() const { return m_endedCount - m_kept.size(); }
    // The kept rows numbered from to before end.
    QStringList endedLines(qint64 from, qint64 end) const;
    // Whether a kept row was ended by the wrap rather than by the program.
    bool isWrapped(qint64 line) const { return m_kept.isWrapped(line - firstKept()); }
    // The class of a kept row's line, plain while the line goes on.
    lines::LineClass lineClass(qint64 line) const { return m_kept.lineClass(line - firstKept()); }
    // The problems and the closing line among the lines ended since the screen was cleared.
    const lines::RunTally& tally() const { return m_tally; }
    const QString& currentLine() const { return m_row.text(); }
    // The cursor's cell in the row being written.
    qsizetype column() const { return m_column; }

    int columns() const { return static_cast<int>(m_columns); }
    // A new width wraps the kept rows anew and renumbers them.
    void setColumns(int columns);
    // How often the rows have been wrapped anew.
    quint64 rewrapCount() const { return m_rewraps; }
    void clear();

private:
    enum class State { Text, Escape, EscapeIntermediate, ControlSequence, String, StringEscape };

    void writeText(QStringView text);
    // Writes characters of one cell and one UTF-16 unit each, wrapping as they reach the edge.
    void writeRun(QStringView run);
    void writeCharacter(char32_t code);
    void control(QChar c);
    void endControlSequence(QChar final);
    void endLine(bool wrapped);
    // The class of the line the row being written ends.
    lines::LineClass endingLineClass() const;
    void rewrap();

    qsizetype m_columns;
    KeptRows m_kept;
    qint64 m_endedCount = 0;
    // The rows of the line being written that the screen wrapped, kept before the row.
    qsizetype m_wrappedRows = 0;
    lines::RunTally m_tally;
    quint64 m_rewraps = 0;
    TerminalRow m_row;
    qsizetype m_column = 0;
    char16_t m_highSurrogate = 0; // the first half of a character whose second is yet to come
    State m_state = State::Text;
    QString m_parameters;
};

} // namespace runs::console
