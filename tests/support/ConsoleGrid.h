// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "runs/console/CellWidth.h"
#include "runs/console/ConsoleView.h"

#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextLayout>

// What the console's text area draws, measured as the operator sees it: against the font's own
// advance, row by row and character by character.

// The first way a drawn row leaves the terminal's grid, or nothing: every character must start
// at its cell (a cell as wide as the font's advance), every row must be as tall as the others
// with its baseline in the same place, and none may reach past the text area.
inline QString gridFault(const runs::console::ConsoleView* view) {
    using namespace Qt::Literals::StringLiterals;
    const QTextDocument* document = view->document();
    const qreal cell = QFontMetricsF(view->font()).horizontalAdvance(u'M');
    const qreal room = view->viewport()->width() - 2 * document->documentMargin();
    qreal rowHeight = -1;
    qreal baseline = -1;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        const QString where = u"row %1 \"%2\": "_s.arg(block.blockNumber()).arg(block.text());
        const QRectF bounds = document->documentLayout()->blockBoundingRect(block);
        const QTextLine line = block.layout()->lineAt(0);
        const qreal height =
            bounds.height() - (block.next().isValid() ? 0 : document->documentMargin());
        if (rowHeight < 0) {
            rowHeight = height;
            baseline = line.y() + line.ascent();
        }
        if (block.layout()->lineCount() != 1 || height != rowHeight)
            return where + u"%1 lines, %2 high instead of %3"_s.arg(block.layout()->lineCount())
                               .arg(height)
                               .arg(rowHeight);
        if (line.y() + line.ascent() != baseline)
            return where +
                   u"baseline %1 instead of %2"_s.arg(line.y() + line.ascent()).arg(baseline);
        const QString text = block.text();
        QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, text);
        int cells = 0;
        for (qsizetype at = 0; at < text.size();) {
            const qreal x = line.cursorToX(static_cast<int>(at)) - line.cursorToX(0);
            if (qAbs(x - cells * cell) > 0.01)
                return where +
                       u"character %1 at %2 instead of %3"_s.arg(at).arg(x).arg(cells * cell);
            const qsizetype next = characters.toNextBoundary();
            for (const char32_t code : QStringView(text).sliced(at, next - at).toUcs4())
                cells += runs::console::cellWidth(code);
            at = next;
        }
        const qreal end = line.cursorToX(static_cast<int>(text.size())) - line.cursorToX(0);
        if (qAbs(end - cells * cell) > 0.01 || end > room)
            return where + u"ends at %1 for %2 cells in %3"_s.arg(end).arg(cells).arg(room);
    }
    return {};
}

// The rows the text area shows whole, as the caret at each row's start is drawn.
inline int rowsShown(const runs::console::ConsoleView* view) {
    int shown = 0;
    const int bottom = view->viewport()->height();
    for (QTextBlock block = view->cursorForPosition(QPoint(0, 0)).block(); block.isValid();
         block = block.next()) {
        const QRect row = view->cursorRect(QTextCursor(block));
        if (row.top() >= 0 && row.top() + row.height() <= bottom)
            ++shown;
    }
    return shown;
}
