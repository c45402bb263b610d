#pragma once

#include <QString>
#include <QStringList>

#include <algorithm>

namespace runs::console {

// What a terminal shows of a program's output, line by line: line feeds end a line, a carriage
// return goes back to the start of the line so that what follows rewrites it, a backspace steps
// back, a tab moves to the next tab stop, and a line longer than the terminal is wide wraps.
// Escape sequences are taken apart and left out, but for erasing the line; other control
// characters are left out too. Text may come in pieces split anywhere. The last keptLines
// ended lines are kept; lines are numbered from the first the screen ever ended.
class TerminalScreen {
public:
    // Ended lines a console keeps for scrolling back.
    static constexpr qsizetype KeptLines = 10000;

    explicit TerminalScreen(int columns = 80, qsizetype keptLines = KeptLines);

    void feed(QStringView text);

    // Lines ended so far, and the number of the oldest line still kept.
    qint64 endedCount() const { return m_endedCount; }
    qint64 firstKept() const { return std::max<qint64>(m_endedCount - m_keptLines, m_first); }
    // The kept lines numbered from to before end.
    QStringList endedLines(qint64 from, qint64 end) const;
    const QString& currentLine() const { return m_line; }
    qsizetype column() const { return m_column; }

    void setColumns(int columns);
    void clear();

private:
    enum class State { Text, Escape, EscapeIntermediate, ControlSequence, String, StringEscape };

    void writeText(QStringView text);
    void control(QChar c);
    void endControlSequence(QChar final);
    void endLine();

    qsizetype m_columns;
    qsizetype m_keptLines;
    QStringList m_ended; // line m_first first; may hold up to twice keptLines
    qint64 m_first = 0;
    qint64 m_endedCount = 0;
    QString m_line;
    qsizetype m_column = 0;
    State m_state = State::Text;
    QString m_parameters;
};

} // namespace runs::console
