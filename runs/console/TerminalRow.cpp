// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/console/TerminalRow.h"

#include "runs/console/CellWidth.h"

namespace runs::console {

QString TerminalRow::takeText() {
    m_cellCount = 0;
    m_simple = true;
    return std::exchange(m_text, {});
}

void TerminalRow::setStorage(QString storage) {
    if (!m_text.isEmpty())
        return;
    m_text = std::move(storage);
    m_text.resize(0);
}

void TerminalRow::setText(const QString& text) {
    m_text = text;
    m_cellCount = cellCount(text);
    m_simple = std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x300; });
}

void TerminalRow::append(qsizetype column, QStringView text, qsizetype cells) {
    if (column > m_cellCount)
        m_text.append(QString(column - m_cellCount, u' '));
    m_text.append(text);
    m_cellCount = column + cells;
}

void TerminalRow::putRun(qsizetype column, QStringView run) {
    if (column >= m_cellCount) {
        append(column, run, run.size());
    } else if (m_simple) {
        m_text.replace(column, std::min(run.size(), m_text.size() - column), run.constData(),
                       run.size());
        m_cellCount = m_text.size();
    } else {
        Cells all = cells();
        const qsizetype end = column + run.size();
        blankHalves(all, column, end);
        if (all.size() < end)
            all.resize(end);
        for (qsizetype i = 0; i < run.size(); ++i)
            all[column + i] = {run[i].unicode(), {}};
        setCells(all);
    }
}

void TerminalRow::put(qsizetype column, char32_t code, int width) {
    if (column >= m_cellCount) {
        append(column, QChar::fromUcs4(code), width);
        m_simple = m_simple && width == 1 && code < 0x10000;
        return;
    }
    Cells all = cells();
    const qsizetype end = column + width;
    blankHalves(all, column, end);
    if (all.size() < end)
        all.resize(end);
    all[column] = {code, {}};
    if (width == 2)
        all[column + 1] = {0, {}};
    setCells(all);
}

void TerminalRow::addMark(qsizetype column, char32_t mark) {
    if (column > m_cellCount || m_text.isEmpty())
        return;
    m_simple = false;
    if (column == m_cellCount) {
        m_text.append(QChar::fromUcs4(mark));
        return;
    }
    Cells all = cells();
    qsizetype base = column - 1;
    if (base >= 0 && all[base].code == 0)
        --base;
    if (base < 0)
        return;
    all[base].marks.append(QChar::fromUcs4(mark));
    setCells(all);
}

void TerminalRow::eraseFrom(qsizetype column) {
    if (column >= m_cellCount)
        return;
    if (m_simple) {
        m_text.truncate(column);
        m_cellCount = column;
        return;
    }
    Cells all = cells();
    blankHalves(all, column, all.size());
    all.resize(column);
    setCells(all);
}

void TerminalRow::eraseThrough(qsizetype column) {
    const qsizetype end = std::min(column + 1, m_cellCount);
    if (m_simple) {
        m_text.replace(0, end, QString(end, u' '));
        return;
    }
    Cells all = cells();
    blankHalves(all, 0, end);
    for (qsizetype i = 0; i < end; ++i)
        all[i] = {};
    setCells(all);
}

void TerminalRow::eraseAll() {
    m_text = QString(m_cellCount, u' ');
    m_simple = true;
}

TerminalRow::Cells TerminalRow::cells() const {
    Cells all;
    all.reserve(m_cellCount);
    for (qsizetype i = 0; i < m_text.size(); ++i) {
        char32_t code = m_text[i].unicode();
        if (m_text[i].isHighSurrogate() && i + 1 < m_text.size()) {
            code = QChar::surrogateToUcs4(m_text[i], m_text[i + 1]);
            ++i;
        }
        const int width = code < 0x300 ? 1 : cellWidth(code);
        if (width == 0 && !all.isEmpty()) {
            Cell& base = all.back().code == 0 ? all[all.size() - 2] : all.back();
            base.marks.append(QChar::fromUcs4(code));
            continue;
        }
        all.append(Cell{code, {}});
        if (width == 2)
            all.append(Cell{0, {}});
    }
    return all;
}

void TerminalRow::setCells(const Cells& cells) {
    m_text.clear();
    m_simple = true;
    for (const Cell& cell : cells) {
        if (cell.code == 0) {
            m_simple = false;
            continue;
        }
        m_text.append(QChar::fromUcs4(cell.code));
        m_text.append(cell.marks);
        m_simple = m_simple && cell.code < 0x10000 && cell.marks.isEmpty();
    }
    m_cellCount = cells.size();
}

void TerminalRow::blankHalves(Cells& cells, qsizetype from, qsizetype end) {
    // A wide character cut at either edge of [from, end) loses its other half.
    if (from > 0 && from < cells.size() && cells[from].code == 0)
        cells[from - 1] = {};
    if (end < cells.size() && cells[end].code == 0)
        cells[end] = {};
}

} // namespace runs::console
