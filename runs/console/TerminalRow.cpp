// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/console/TerminalRow.h"

namespace runs::console {

void TerminalRow::blankHalves(qsizetype from, qsizetype end) {
    // A wide character cut at either edge of [from, end) loses its other half.
    if (from > 0 && from < m_cells.size() && m_cells[from].code == 0)
        m_cells[from - 1] = {};
    if (end < m_cells.size() && m_cells[end].code == 0)
        m_cells[end] = {};
}

void TerminalRow::putAnywhere(qsizetype column, char32_t code, int width) {
    const qsizetype end = column + width;
    blankHalves(column, end);
    if (m_cells.size() < end)
        m_cells.resize(end);
    m_cells[column] = {code, -1};
    if (width == 2)
        m_cells[column + 1] = {0, -1};
}

void TerminalRow::addMark(qsizetype column, char32_t mark) {
    qsizetype base = std::min(column, m_cells.size()) - 1;
    if (base >= 0 && m_cells[base].code == 0)
        --base;
    if (base < 0)
        return;
    Cell& cell = m_cells[base];
    if (cell.marks < 0) {
        cell.marks = m_marks.size();
        m_marks.append(QString());
    }
    m_marks[cell.marks].append(QStringView(QChar::fromUcs4(mark)));
}

void TerminalRow::eraseFrom(qsizetype column) {
    if (column >= m_cells.size())
        return;
    blankHalves(column, m_cells.size());
    m_cells.resize(column);
}

void TerminalRow::eraseThrough(qsizetype column) {
    const qsizetype end = std::min(column + 1, m_cells.size());
    blankHalves(0, end);
    for (qsizetype i = 0; i < end; ++i)
        m_cells[i] = {};
}

void TerminalRow::eraseAll() {
    m_cells.fill({});
}

void TerminalRow::clear() {
    m_cells.clear();
    m_marks.clear();
}

QString TerminalRow::text() const {
    QString text;
    text.reserve(m_cells.size());
    for (const Cell& cell : m_cells) {
        if (cell.code == 0)
            continue;
        if (cell.code < 0x10000)
            text.append(QChar(static_cast<char16_t>(cell.code)));
        else
            text.append(QStringView(QChar::fromUcs4(cell.code)));
        if (cell.marks >= 0)
            text.append(m_marks[cell.marks]);
    }
    return text;
}

} // namespace runs::console
