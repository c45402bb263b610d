// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/console/TerminalScreen.h"

#include "runs/console/CellWidth.h"

#include <algorithm>

namespace runs::console {

namespace {

constexpr char16_t Escape = 0x1b;
constexpr qsizetype TabStop = 8;
constexpr char32_t Replacement = 0xfffd;

bool isControl(char16_t c) {
    return c < 0x20 || c == 0x7f || (c >= 0x80 && c < 0xa0);
}

} // namespace

TerminalScreen::TerminalScreen(int columns, qsizetype keptLines)
    : m_columns(std::max(columns, 1)), m_keptLines(std::max<qsizetype>(keptLines, 1)) {}

void TerminalScreen::setColumns(int columns) {
    columns = std::max(columns, 1);
    if (columns == m_columns)
        return;
    m_columns = columns;
    rewrap();
}

void TerminalScreen::rewrap() {
    ++m_rewraps;
    const qint64 first = firstKept();
    const QStringList kept = m_ended.sliced(first - m_first);
    const QList<bool> keptWrapped = m_wrapped.sliced(first - m_first);
    // The rows the screen wrapped into the row being written belong to its line.
    qsizetype current = kept.size();
    while (current > 0 && keptWrapped[current - 1])
        --current;
    m_ended.clear();
    m_wrapped.clear();
    const auto addLine = [this](const QStringList& rows) {
        m_ended.append(rows);
        m_wrapped.append(QList<bool>(rows.size(), true));
        m_wrapped.last() = false;
    };
    QString line;
    for (qsizetype row = 0; row < current; ++row) {
        line += kept[row];
        if (!keptWrapped[row]) {
            addLine(wrapRows(line, m_columns));
            line.clear();
        }
    }
    // The line being written: the cursor stays at its cell of the line, on its last row.
    qsizetype cursor = m_column;
    for (qsizetype row = current; row < kept.size(); ++row) {
        line += kept[row];
        cursor += cellCount(kept[row]);
    }
    line += m_row.text();
    QStringList rows = wrapRows(line, m_columns);
    m_row.setText(rows.takeLast());
    for (const QString& row : std::as_const(rows))
        cursor -= cellCount(row);
    m_column = std::clamp<qsizetype>(cursor, 0, m_columns);
    if (!rows.isEmpty()) {
        addLine(rows);
        m_wrapped.last() = true;
    }
    m_first = first;
    m_endedCount = first + m_ended.size();
}

void TerminalScreen::clear() {
    m_ended.clear();
    m_wrapped.clear();
    m_first = 0;
    m_endedCount = 0;
    ++m_rewraps;
    m_row.takeText();
    m_column = 0;
    m_highSurrogate = 0;
    m_state = State::Text;
    m_parameters.clear();
}

void TerminalScreen::writeOwnLine(QStringView text) {
    if (m_highSurrogate != 0)
        writeCharacter(Replacement);
    m_highSurrogate = 0;
    m_state = State::Text;
    m_parameters.clear();
    if (!m_row.isEmpty())
        endLine(false);
    m_column = 0;
    writeText(text);
}

QStringList TerminalScreen::endedLines(qint64 from, qint64 end) const {
    from = std::max(from, firstKept());
    end = std::min(end, m_endedCount);
    if (from >= end)
        return {};
    return m_ended.mid(from - m_first, end - from);
}

void TerminalScreen::feed(QStringView text) {
    qsizetype i = 0;
    if (m_highSurrogate != 0 && !text.isEmpty()) {
        // The pair was split between two pieces.
        const char16_t high = std::exchange(m_highSurrogate, 0);
        if (text.front().isLowSurrogate()) {
            writeCharacter(QChar::surrogateToUcs4(high, text.front().unicode()));
            i = 1;
        } else {
            writeCharacter(Replacement);
        }
    }
    while (i < text.size()) {
        if (m_state == State::Text) {
            // Plain text goes in as a run, not character by character.
            qsizetype end = i;
            while (end < text.size() && !isControl(text[end].unicode()))
                ++end;
            if (end > i) {
                writeText(text.sliced(i, end - i));
                i = end;
                continue;
            }
        }
        const QChar c = text[i++];
        const char16_t code = c.unicode();
        switch (m_state) {
        case State::Text:
            control(c);
            break;
        case State::Escape:
            if (code == u'[') {
                m_parameters.clear();
                m_state = State::ControlSequence;
            } else if (code == u']' || code == u'P' || code == u'X' || code == u'^' ||
                       code == u'_') {
                m_state = State::String;
            } else if (code >= 0x20 && code <= 0x2f) {
                m_state = State::EscapeIntermediate;
            } else if (isControl(code)) {
                control(c);
            } else {
                m_state = State::Text;
            }
            break;
        case State::EscapeIntermediate:
            if (isControl(code))
                control(c);
            else if (code > 0x2f)
                m_state = State::Text;
            break;
        case State::ControlSequence:
            if (code >= 0x40 && code <= 0x7e)
                endControlSequence(c);
            else if (isControl(code))
                control(c);
            else if (m_parameters.size() < 64)
                m_parameters.append(c);
            break;
        case State::String:
            // Titles and the like end with BEL or ESC backslash; their text is not shown.
            if (code == 0x07)
                m_state = State::Text;
            else if (code == Escape)
                m_state = State::StringEscape;
            break;
        case State::StringEscape:
            if (code == u'\\') {
                m_state = State::Text;
            } else {
                // That ESC ended the string and begins a sequence of its own.
                m_state = State::Escape;
                --i;
            }
            break;
        }
    }
}

void TerminalScreen::control(QChar c) {
    switch (c.unicode()) {
    case u'\n':
    case 0x0b: // vertical tab and form feed move down like a line feed
    case 0x0c:
        endLine(false);
        break;
    case u'\r':
        m_column = 0;
        break;
    case 0x08:
        m_column = std::max<qsizetype>(m_column - 1, 0);
        break;
    case u'\t':
        m_column = std::min((m_column / TabStop + 1) * TabStop, m_columns - 1);
        break;
    case Escape:
        m_state = State::Escape;
        break;
    case 0x1a:
        // SUB stands for a character found invalid, and the decoders of most character sets
        // give it for bytes they cannot read: it shows as one, and ends a sequence under way.
        m_state = State::Text;
        writeCharacter(Replacement);
        break;
    default:
        break; // BEL, NUL and the rest draw nothing
    }
}

void TerminalScreen::endControlSequence(QChar final) {
    m_state = State::Text;
    // Erase in line: from the cursor (0), up to it (1), or all of it (2).
    if (final != u'K')
        return;
    const QString mode = m_parameters.isEmpty() ? QStringLiteral("0") : m_parameters;
    if (mode == u"0")
        m_row.eraseFrom(m_column);
    else if (mode == u"1")
        m_row.eraseThrough(m_column);
    else if (mode == u"2")
        m_row.eraseAll();
}

void TerminalScreen::writeText(QStringView text) {
    qsizetype i = 0;
    while (i < text.size()) {
        // Most text is one cell a character, and goes in as a run up to the wrap.
        qsizetype end = i;
        while (end < text.size() && text[end].unicode() < 0x300)
            ++end;
        while (i < end) {
            if (m_column >= m_columns) {
                endLine(true);
                m_column = 0;
            }
            const qsizetype count = std::min(end - i, m_columns - m_column);
            m_row.putRun(m_column, text.sliced(i, count));
            m_column += count;
            i += count;
        }
        if (i == text.size())
            break;
        const QChar unit = text[i++];
        if (!unit.isSurrogate()) {
            writeCharacter(unit.unicode());
        } else if (unit.isLowSurrogate()) {
            writeCharacter(Replacement);
        } else if (i == text.size()) {
            m_highSurrogate = unit.unicode();
        } else if (text[i].isLowSurrogate()) {
            writeCharacter(QChar::surrogateToUcs4(unit, text[i++]));
        } else {
            writeCharacter(Replacement);
        }
    }
}

void TerminalScreen::writeCharacter(char32_t code) {
    const int width = cellWidth(code);
    if (width == 0) {
        m_row.addMark(m_column, code);
        return;
    }
    // A character that does not fit starts the next row, as terminals wrap.
    if (m_column > 0 && m_column + width > m_columns) {
        endLine(true);
        m_column = 0;
    }
    m_row.put(m_column, code, width);
    m_column += width;
}

void TerminalScreen::endLine(bool wrapped) {
    m_ended.append(m_row.takeText());
    m_wrapped.append(wrapped);
    ++m_endedCount;
    // Old rows go in batches, so a flood costs no more per row than a trickle.
    if (m_ended.size() >= 2 * m_keptLines) {
        const qsizetype dropped = m_ended.size() - m_keptLines;
        m_ended.remove(0, dropped);
        m_wrapped.remove(0, dropped);
        m_first += dropped;
    }
}

} // namespace runs::console
