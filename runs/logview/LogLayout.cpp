// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/logview/LogLayout.h"

#include <QTextLayout>

namespace runs::logview {

namespace {

// Laid-out pieces kept for scrolling back and forth; a screen holds at most a few dozen.
constexpr qsizetype KeptLayouts = 1024;

} // namespace

LogLayout::LogLayout(const LogDocument* document) : m_document(document) {}

void LogLayout::setDocument(const LogDocument* document) {
    m_document = document;
    clear();
}

void LogLayout::setFont(const QFont& font, QPaintDevice* device) {
    m_font = font;
    m_device = device;
    m_metrics = device ? QFontMetrics(font, device) : QFontMetrics(font);
    clear();
}

void LogLayout::setWidth(int width) {
    m_width = width;
    clear();
}

void LogLayout::clear() {
    m_layouts.clear();
}

int LogLayout::rowHeight() const {
    return qMax(1, m_metrics.lineSpacing());
}

int LogLayout::rowsIn(int height) const {
    return qMax(1, (height - 2 * Margin) / rowHeight());
}

std::shared_ptr<QTextLayout> LogLayout::layoutOf(qint64 number) const {
    const LogPiece piece = m_document->piece(number);
    const auto kept = m_layouts.constFind(number);
    if (kept != m_layouts.cend() && kept->start == piece.start && kept->end == piece.end)
        return kept->layout;
    if (m_layouts.size() >= KeptLayouts)
        m_layouts.clear();

    auto layout = std::make_shared<QTextLayout>(m_document->text(piece), m_font, m_device);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    const qreal width = qMax(1, m_width - 2 * Margin);
    const int height = rowHeight();
    layout->beginLayout();
    for (int row = 0;; ++row) {
        QTextLine line = layout->createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        line.setPosition(QPointF(0, row * height));
    }
    layout->endLayout();
    m_layouts.insert(number, {piece.start, piece.end, layout});
    return layout;
}

int LogLayout::rowsOf(qint64 piece) const {
    return qMax(1, layoutOf(piece)->lineCount());
}

LogRow LogLayout::moveRows(LogRow from, qint64 rows) const {
    const qint64 last = m_document->pieceCount() - 1;
    from.piece = qBound<qint64>(0, from.piece, last);
    from.row = qBound(0, from.row, rowsOf(from.piece) - 1);
    while (rows > 0) {
        const int below = rowsOf(from.piece) - 1 - from.row;
        if (rows <= below)
            return {from.piece, from.row + static_cast<int>(rows)};
        if (from.piece == last)
            return {last, from.row + below};
        rows -= below + 1;
        from = {from.piece + 1, 0};
    }
    while (rows < 0) {
        if (-rows <= from.row)
            return {from.piece, from.row + static_cast<int>(rows)};
        if (from.piece == 0)
            return {0, 0};
        rows += from.row + 1;
        from.piece -= 1;
        from.row = rowsOf(from.piece) - 1;
    }
    return from;
}

int LogLayout::characterIn(const QTextLayout& layout, const LogPosition& position) {
    return static_cast<int>(qBound<qsizetype>(0, position.character, layout.text().size()));
}

LogRow LogLayout::rowOf(const LogPosition& position) const {
    const auto layout = layoutOf(position.piece);
    const QTextLine line = layout->lineForTextPosition(characterIn(*layout, position));
    return {position.piece, line.isValid() ? line.lineNumber() : 0};
}

LogPosition LogLayout::positionAt(LogRow row, qreal x) const {
    const QTextLine line = layoutOf(row.piece)->lineAt(row.row);
    return {row.piece, line.isValid() ? line.xToCursor(x) : 0};
}

LogPosition LogLayout::hitTest(LogRow top, QPoint point) const {
    const int height = rowHeight();
    const int y = point.y() - Margin;
    const qint64 rows = y < 0 ? -1 - (-y - 1) / height : y / height;
    if (rows < 0 && top == LogRow{})
        return {};
    const LogRow row = moveRows(top, rows);
    if (rows > 0 && row == moveRows(top, rows - 1))
        return m_document->end(); // below the last row
    return positionAt(row, point.x() - Margin);
}

qreal LogLayout::xOf(const LogPosition& position) const {
    const auto layout = layoutOf(position.piece);
    const int character = characterIn(*layout, position);
    const QTextLine line = layout->lineForTextPosition(character);
    return line.isValid() ? line.cursorToX(character) : 0;
}

} // namespace runs::logview
