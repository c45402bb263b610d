// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "runs/lines/LineClass.h"

#include <QList>
#include <QString>

namespace runs::console {

// The last rows a screen has ended, oldest first, up to a number of them, each with the class
// of the utility's line it belongs to. The row that goes to make room for a new one hands its
// storage on for the screen to write its next row in, so that a flood of output, once the rows
// are full, neither takes nor gives back memory.
class KeptRows {
public:
    explicit KeptRows(qsizetype capacity) : m_capacity(std::max<qsizetype>(capacity, 1)) {}

    qsizetype size() const { return m_rows.size(); }
    // Row index counts from the oldest kept.
    const QString& at(qsizetype index) const { return m_rows[slot(index)]; }
    // Whether the screen wrapped the row, rather than the program ending it.
    bool isWrapped(qsizetype index) const { return m_marks[slot(index)].wrapped; }
    // The class of the row's line; plain while the line goes on.
    lines::LineClass lineClass(qsizetype index) const { return m_marks[slot(index)].line; }
    void setLineClass(qsizetype index, lines::LineClass line) { m_marks[slot(index)].line = line; }

    // Keeps row as the newest; hands back the emptied storage of the oldest when it goes.
    QString push(QString row, bool wrapped, lines::LineClass line = {});
    void clear();

private:
    struct Mark {
        bool wrapped = false;
        lines::LineClass line;
    };

    qsizetype slot(qsizetype index) const { return (m_oldest + index) % m_rows.size(); }

    qsizetype m_capacity;
    QList<QString> m_rows;
    QList<Mark> m_marks;
    qsizetype m_oldest = 0; // the slot of the oldest row once all are taken
};

} // namespace runs::console
