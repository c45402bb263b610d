// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QHash>
#include <QPlainTextDocumentLayout>
#include <QTextLayout>

#include <bitset>

namespace runs::console {

// Lays out a plain text document as a terminal's grid: each block is a row, every row as tall
// as the font's own with its baseline in the same place, and every character starts at its
// cell, a cell being as wide as the font's advance. A character the font draws at another width
// (one from a fallback font, a wide character, a mark the font has no room for) gets the space
// it lacks, or loses what it has too much, after it, so the characters after it stay in their
// cells; a row of a fallback font alone keeps the row's height and baseline.
//
// The spacing is the layout's own formats of each block, made afresh whenever the block is laid
// out; anything else a row should look like (a colour, a mark on found text) belongs in the
// document's formats or the text box's extra selections, which the spacing leaves alone.
class GridLayout : public QPlainTextDocumentLayout {
    Q_OBJECT
public:
    explicit GridLayout(QTextDocument* document);

    // The width of a cell and the height of a row in the document's font.
    qreal cellWidth() const;
    qreal rowHeight() const;

    QRectF blockBoundingRect(const QTextBlock& block) const override;

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;

private:
    struct Metrics {
        QFont font;
        qreal cell = 0;
        qreal row = 0;
        qreal ascent = 0;
        std::bitset<0x300> onGrid; // characters below U+0300 the font draws one cell wide
        QHash<QString, qreal> advances;
    };

    const Metrics& metrics() const;
    qreal advance(const QString& character) const;
    // The spacing that puts each character of the block's text on its cell.
    QList<QTextLayout::FormatRange> cellFormats(const QString& text) const;
    void placeCharacters(const QTextBlock& block) const;

    mutable Metrics m_metrics;
};

} // namespace runs::console
