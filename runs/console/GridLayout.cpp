// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/console/GridLayout.h"

#include "runs/console/CellWidth.h"

#include <QFontMetricsF>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextDocument>

#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace runs::console {

namespace {

// Characters measured at most before the measures start afresh, so that a utility writing
// many different characters cannot grow them without end.
constexpr qsizetype MeasuredCharacters = 4096;

QTextLayout::FormatRange spacing(qsizetype start, qsizetype length, qreal space) {
    QTextCharFormat format;
    format.setFontLetterSpacingType(QFont::AbsoluteSpacing);
    format.setFontLetterSpacing(space);
    return {static_cast<int>(start), static_cast<int>(length), format};
}

int cellsOf(QStringView character) {
    int cells = 0;
    for (const char32_t code : character.toUcs4())
        cells += runs::console::cellWidth(code);
    return cells;
}

} // namespace

GridLayout::GridLayout(QTextDocument* document) : QPlainTextDocumentLayout(document) {}

qreal GridLayout::cellWidth() const {
    return metrics().cell;
}

qreal GridLayout::rowHeight() const {
    return metrics().row;
}

const GridLayout::Metrics& GridLayout::metrics() const {
    const QFont font = document()->defaultFont();
    if (m_metrics.cell > 0 && m_metrics.font == font)
        return m_metrics;
    m_metrics = {};
    m_metrics.font = font;
    const QFontMetricsF measures(font, paintDevice());
    m_metrics.cell = std::max(measures.horizontalAdvance(u'M'), 1.0);
    // A row is as tall as the plain text layout makes a line of the font.
    QTextLayout probe(u"M"_s, font, paintDevice());
    probe.beginLayout();
    QTextLine line = probe.createLine();
    line.setLeadingIncluded(true);
    probe.endLayout();
    m_metrics.row = line.height() + (line.leading() < 0 ? std::ceil(line.leading()) : 0);
    m_metrics.ascent = line.ascent();
    // Control characters never reach a row, and are not looked for in fonts.
    for (char16_t code = u' '; code < m_metrics.onGrid.size(); ++code) {
        if (code < 0x7f || code >= 0xa0)
            m_metrics.onGrid[code] = measures.horizontalAdvance(QChar(code)) == m_metrics.cell;
    }
    return m_metrics;
}

qreal GridLayout::advance(const QString& character) const {
    if (m_metrics.advances.size() >= MeasuredCharacters)
        m_metrics.advances.clear();
    auto found = m_metrics.advances.constFind(character);
    if (found == m_metrics.advances.constEnd()) {
        const qreal drawn =
            QFontMetricsF(m_metrics.font, paintDevice()).horizontalAdvance(character);
        found = m_metrics.advances.insert(character, drawn);
    }
    return *found;
}

QList<QTextLayout::FormatRange> GridLayout::cellFormats(const QString& text) const {
    const Metrics& grid = metrics();
    const auto onGrid = [&grid](QChar c) {
        return c.unicode() < grid.onGrid.size() && grid.onGrid[c.unicode()];
    };
    // Most rows are characters of the font's own, one cell each, and need nothing.
    if (std::all_of(text.cbegin(), text.cend(), onGrid))
        return {};
    QList<QTextLayout::FormatRange> formats;
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, text);
    for (qsizetype start = 0, end = 0; start < text.size(); start = end) {
        end = characters.toNextBoundary();
        if (end < 0)
            end = text.size();
        const QStringView character = QStringView(text).sliced(start, end - start);
        if (character.size() == 1 && onGrid(character.front()))
            continue;
        const qreal space = cellsOf(character) * grid.cell - advance(character.toString());
        if (space == 0)
            continue;
        // The space goes after the character's last code point alone: a mark drawn from another
        // font than its letter is a cluster of its own, and each cluster in a range gets it.
        const qsizetype last = character.size() - (character.back().isLowSurrogate() ? 2 : 1);
        const qsizetype from = start + std::max<qsizetype>(last, 0);
        QTextLayout::FormatRange* previous = formats.isEmpty() ? nullptr : &formats.last();
        if (previous && previous->start + previous->length == from &&
            previous->format.fontLetterSpacing() == space)
            previous->length += static_cast<int>(end - from);
        else
            formats.append(spacing(from, end - from, space));
    }
    return formats;
}

void GridLayout::placeCharacters(const QTextBlock& block) const {
    QTextLayout* layout = block.layout();
    const QList<QTextLayout::FormatRange> formats = cellFormats(block.text());
    if (formats != layout->formats())
        layout->setFormats(formats);
}

QRectF GridLayout::blockBoundingRect(const QTextBlock& block) const {
    if (!block.isValid())
        return {};
    QTextLayout* layout = block.layout();
    // A block about to be laid out gets its characters placed first.
    if (layout->lineCount() == 0)
        placeCharacters(block);
    QRectF bounds = QPlainTextDocumentLayout::blockBoundingRect(block);
    if (!block.isVisible())
        return bounds;
    const Metrics& grid = metrics();
    for (int index = 0; index < layout->lineCount(); ++index) {
        QTextLine line = layout->lineAt(index);
        line.setPosition(QPointF(line.x(), index * grid.row + grid.ascent - line.ascent()));
    }
    const qreal margin = block.next().isValid() ? 0 : document()->documentMargin();
    bounds.setHeight(layout->lineCount() * grid.row + margin);
    return bounds;
}

void GridLayout::documentChanged(int from, int charsRemoved, int charsAdded) {
    // A block changed alone is laid out again at once, so its characters are placed first;
    // blocks changed together are laid out when they are next needed.
    const QTextBlock first = document()->findBlock(from);
    if (first == document()->findBlock(std::max(0, from + charsRemoved + charsAdded - 1)) &&
        first.isValid())
        placeCharacters(first);
    QPlainTextDocumentLayout::documentChanged(from, charsRemoved, charsAdded);
}

} // namespace runs::console
