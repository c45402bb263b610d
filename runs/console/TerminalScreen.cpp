// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/console/TerminalScreen.h"

#include "runs/console/CellWidth.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace runs::console {

namespace {

constexpr char16_t Escape = 0x1b;
constexpr qsizetype TabStop = 8;
constexpr char32_t Replacement = 0xfffd;

bool isControl(char16_t c) {
    return c < 0x20 || c == 0x7f || (c >= 0x80 && c < 0xa0);
}

// Printable characters below the combining marks: one cell each, and most of any output.
bool isPlain(char16_t c) {
    return c < 0x300 && !isControl(c);
}

// Whether sixteen units are all printable ASCII. The units are taken as signed, which puts
// everything above U+7FFF below zero; with vectors of the compiler's, a few instructions.
bool isPrintableAscii(const char16_t* units) {
#if defined(__GNUC__)
    using Units = qint16 __attribute__((vector_size(16)));
    Units low;
    Units high;
    std::memcpy(&low, units, sizeof low);
    std::memcpy(&high, units + 8, sizeof high);
    const Units outside = (low < 0x20) | (low > 0x7e) | (high < 0x20) | (high > 0x7e);
    std::array<quint64, 2> lanes;
    std::memcpy(lanes.data(), &outside, sizeof lanes);
    return (lanes[0] | lanes[1]) == 0;
#else
    return std::all_of(units, units + 16,
                       [](char16_t unit) { return unit >= 0x20 && unit < 0x7f; });
#endif
}

// How many characters from the start of text are plain.
qsizetype plainRun(QStringView text) {
    const char16_t* units = text.utf16();
    qsizetype end = 0;
    while (end + 16 <= text.size() && isPrintableAscii(units + end))
        end += 16;
    while (end < text.size() && isPlain(units[end]))
        ++end;
    return end;
}

} // namespace

TerminalScreen::TerminalScreen(int columns, qsizetype keptLines)
    : m_columns(std::max(columns, 1)), m_kept(keptLines) {}

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
    QStringList kept;
    QList<bool> keptWrapped;
    QList<lines::LineClass> keptClasses;
    for (qsizetype row = 0; row < m_kept.size(); ++row) {
        kept.append(m_kept.at(row));
        keptWrapped.append(m_kept.isWrapped(row));
        keptClasses.append(m_kept.lineClass(row));
    }
    m_kept.clear();
    m_endedCount = first;
    const auto addRows = [this](const QStringList& rows, bool lastWrapped, lines::LineClass line) {
        for (qsizetype row = 0; row < rows.size(); ++row) {
            m_kept.push(rows[row], row + 1 < rows.size() || lastWrapped, line);
            ++m_endedCount;
        }
    };
    // The rows the screen wrapped into the row being written belong to its line.
    qsizetype current = kept.size();
    while (current > 0 && keptWrapped[current - 1])
        --current;
    QString line;
    for (qsizetype row = 0; row < current; ++row) {
        line += kept[row];
        if (!keptWrapped[row]) {
            // The line keeps the class it was given when it ended.
            addRows(wrapRows(line, m_columns), false, keptClasses[row]);
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
    addRows(rows, true, {});
    m_wrappedRows = rows.size();
}

void TerminalScreen::clear() {
    m_kept.clear();
    m_endedCount = 0;
    m_wrappedRows = 0;
    m_tally = {};
    m_row.takeText();
    m_column = 0;
    m_highSurrogate = 0;
    m_state = State::Text;
    m_parameters.clear();
}

void TerminalScreen::finishLine() {
    if (m_highSurrogate != 0)
        writeCharacter(Replacement);
    m_highSurrogate = 0;
    m_state = State::Text;
    m_parameters.clear();
    if (!m_row.isEmpty())
        endLine(false);
    m_column = 0;
}

void TerminalScreen::writeOwnLine(QStringView text) {
    finishLine();
    writeText(text);
}

QStringList TerminalScreen::endedLines(qint64 from, qint64 end) const {
    from = std::max(from, firstKept());
    end = std::min(end, m_endedCount);
    if (from >= end)
        return {};
    QStringList lines;
    lines.reserve(end - from);
    for (qint64 line = from; line < end; ++line)
        lines.append(m_kept.at(line - firstKept()));
    return lines;
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
            // Plain text goes in as a run, not character by character; any other character
            // that is not a control goes in on its own.
            const qsizetype plain = plainRun(text.sliced(i));
            if (plain > 0) {
                writeRun(text.sliced(i, plain));
                i += plain;
                continue;
            }
            if (!isControl(text[i].unicode())) {
                // A pair of surrogates is one character; the first half alone is none, but at
                // the end of the piece, where the second may come with the next.
                qsizetype units = 1;
                if (text[i].isHighSurrogate() && i + 1 < text.size()) {
                    if (!text[i + 1].isLowSurrogate()) {
                        writeCharacter(Replacement);
                        ++i;
                        continue;
                    }
                    units = 2;
                }
                writeText(text.sliced(i, units));
                i += units;
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
        writeRun(text.sliced(i, end - i));
        i = end;
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

void TerminalScreen::writeRun(QStringView run) {
    for (qsizetype i = 0; i < run.size();) {
        if (m_column >= m_columns) {
            endLine(true);
            m_column = 0;
        }
        const qsizetype count = std::min(run.size() - i, m_columns - m_column);
        m_row.putRun(m_column, run.sliced(i, count));
        m_column += count;
        i += count;
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
    lines::LineClass line;
    if (!wrapped) {
        line = endingLineClass();
        m_tally.add(line);
    }
    // The row that makes room lends its storage to the next, so a flood costs no allocations.
    m_row.setStorage(m_kept.push(m_row.takeText(), wrapped, line));
    ++m_endedCount;
    if (wrapped) {
        ++m_wrappedRows;
        return;
    }
    // The rows the screen wrapped before it are the same line's.
    if (line.kind != lines::LineKind::Plain) {
        const qsizetype first = m_kept.size() - 1 - std::min(m_wrappedRows, m_kept.size() - 1);
        for (qsizetype row = first; row < m_kept.size() - 1; ++row)
            m_kept.setLineClass(row, line);
    }
    m_wrappedRows = 0;
}

lines::LineClass TerminalScreen::endingLineClass() const {
    const auto classify = [](QStringView text) {
        return lines::classify(std::u16string_view(text.utf16(), size_t(text.size())));
    };
    if (m_wrappedRows == 0)
        return classify(m_row.text());
    const qsizetype first = m_kept.size() - std::min(m_wrappedRows, m_kept.size());
    // Only the line's first characters tell its class.
    const auto significant = static_cast<qsizetype>(lines::significantLength);
    QString start;
    for (qsizetype row = first; row < m_kept.size() && start.size() < significant; ++row)
        start += m_kept.at(row);
    start += QStringView(m_row.text()).first(std::min(m_row.text().size(), significant));
    return classify(start);
}

} // namespace runs::console
