// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/logview/LogAccessibleText.h"

#include <algorithm>

namespace runs::logview {

bool LogAccessibleText::follow(LogRow top, int rows) {
    const LogDocument& document = m_layout.document();
    qint64 first = 0;
    qint64 end = document.pieceCount();
    const bool whole = !document.isIndexing() && document.indexedBytes() <= WholeBytes;
    if (!whole) {
        const qint64 bottom = m_layout.moveRows(top, rows - 1).piece;
        if (!m_stale && !m_pieces.isEmpty() && m_first <= top.piece && bottom < endPiece())
            return false;
        first = m_layout.moveRows(top, -qint64{ScreensAround} * rows).piece;
        end = m_layout.moveRows(top, qint64{ScreensAround + 1} * rows).piece + 1;
    } else if (!m_stale && m_first == 0 && endPiece() == end) {
        return false;
    }
    const QString before = m_text;
    const qint64 firstBefore = m_first;
    build(first, end);
    return m_text != before || m_first != firstBefore;
}

void LogAccessibleText::build(qint64 first, qint64 end) {
    const LogDocument& document = m_layout.document();
    m_stale = false;
    m_first = first;
    m_pieces.clear();
    m_text.clear();
    for (qint64 number = first; number < end; ++number) {
        const LogPiece piece = document.piece(number);
        const QString text = document.text(piece);
        m_pieces.append({static_cast<int>(m_text.size()), static_cast<int>(text.size())});
        m_text += text;
        if (piece.lastOfLine && number + 1 < document.pieceCount())
            m_text += u'\n';
    }
}

bool LogAccessibleText::holds(const LogPosition& position) const {
    return m_first <= position.piece && position.piece < endPiece();
}

int LogAccessibleText::offsetOf(const LogPosition& position) const {
    if (position.piece < m_first || m_pieces.isEmpty())
        return 0;
    if (position.piece >= endPiece())
        return static_cast<int>(m_text.size());
    const Span& span = m_pieces[position.piece - m_first];
    return span.start +
           static_cast<int>(qBound<qsizetype>(0, position.character, qsizetype{span.length}));
}

LogPosition LogAccessibleText::positionAt(int offset) const {
    if (m_pieces.isEmpty())
        return {m_first, 0};
    // The last piece that starts at or before the offset; where a line goes on in the next
    // piece, the boundary is the next piece's start.
    const auto after = std::upper_bound(m_pieces.cbegin(), m_pieces.cend(), offset,
                                        [](int at, const Span& span) { return at < span.start; });
    const auto index = qMax<qsizetype>(0, after - m_pieces.cbegin() - 1);
    const Span& span = m_pieces[index];
    return {m_first + index, qBound(0, offset - span.start, span.length)};
}

} // namespace runs::logview
