// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace runs::console {

// One row of a terminal's grid, cell by cell. A wide character takes its cell and the one to
// its right; combining marks ride on the cell of the character before them. Writing over
// either half of a wide character blanks the other half, as terminals do.
class TerminalRow {
public:
    // Cells written so far; the row holds no blanks at its end but those written.
    qsizetype size() const { return m_cells.size(); }
    bool isEmpty() const { return m_cells.isEmpty(); }

    // Writes a character one or two cells wide at column, padding with blanks up to it.
    void put(qsizetype column, char32_t code, int width) {
        if (column == m_cells.size() && width == 1) {
            m_cells.append({code, -1});
            return;
        }
        putAnywhere(column, code, width);
    }
    // Adds a mark to the character that ends just before column; with none, the mark is lost.
    void addMark(qsizetype column, char32_t mark);

    void eraseFrom(qsizetype column);
    void eraseThrough(qsizetype column);
    void eraseAll();
    void clear();

    QString text() const;

private:
    struct Cell {
        char32_t code = u' '; // 0: the right half of a wide character
        qsizetype marks = -1; // index in m_marks
    };

    void putAnywhere(qsizetype column, char32_t code, int width);
    void blankHalves(qsizetype from, qsizetype end);

    QList<Cell> m_cells;
    QStringList m_marks;
};

} // namespace runs::console
