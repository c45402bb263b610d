// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

namespace runs::console {

// One row of a terminal's grid. A wide character takes its cell and the one to its right;
// combining marks ride on the cell of the character before them. Writing over either half of a
// wide character blanks the other half, as terminals do.
//
// The row is kept as its text. Text added at its end, the most of any output, costs no more
// than the text; only a row rewritten under its end, holding characters that are not one cell
// each, is taken apart into cells and put back together.
class TerminalRow {
public:
    // Cells written so far; the row holds no blanks at its end but those written.
    qsizetype size() const { return m_cellCount; }
    bool isEmpty() const { return m_text.isEmpty(); }
    const QString& text() const { return m_text; }
    // The text, leaving the row empty.
    QString takeText();
    // Storage for the row's text from now on, which saves allocating it anew for each row.
    void setStorage(QString storage);
    // The row holds text, as a row of cells.
    void setText(const QString& text);

    // Writes characters of one cell and one UTF-16 unit each from column on, padding with
    // blanks up to it.
    void putRun(qsizetype column, QStringView run);
    // Writes a character one or two cells wide at column.
    void put(qsizetype column, char32_t code, int width);
    // Adds a mark to the character that ends just before column; with none, the mark is lost.
    void addMark(qsizetype column, char32_t mark);

    void eraseFrom(qsizetype column);
    void eraseThrough(qsizetype column);
    void eraseAll();

private:
    struct Cell {
        char32_t code = u' '; // 0: the right half of a wide character
        QString marks;
    };
    using Cells = QList<Cell>;

    void append(qsizetype column, QStringView text, qsizetype cells);
    Cells cells() const;
    void setCells(const Cells& cells);
    static void blankHalves(Cells& cells, qsizetype from, qsizetype end);

    QString m_text;
    qsizetype m_cellCount = 0;
    bool m_simple = true; // each unit of the text is one cell
};

} // namespace runs::console
