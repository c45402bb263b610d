// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "runs/logview/LogDocument.h"

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QPoint>

#include <memory>

class QPaintDevice;
class QTextLayout;

namespace runs::logview {

// A row of the text: a piece and one of the rows its text wraps into.
struct LogRow {
    qint64 piece = 0;
    int row = 0;
    auto operator<=>(const LogRow&) const = default;
};

// The pieces of a log laid out as rows of a given width, a piece at a time as they are asked
// for, so that a row deep in a gigabyte costs what the first does. It needs no window: the box
// paints what it lays out, and everything about rows and places can be tried without one.
class LogLayout {
public:
    // Space between the box's frame and its text, as in the toolkit's own text boxes.
    static constexpr int Margin = 4;

    explicit LogLayout(const LogDocument* document);

    // Each of these lays the pieces out anew.
    void setDocument(const LogDocument* document);
    // The device fixes the font's resolution; none means the screen's.
    void setFont(const QFont& font, QPaintDevice* device = nullptr);
    // The width of the box's text area, margins included.
    void setWidth(int width);
    void clear();

    const LogDocument& document() const { return *m_document; }
    int rowHeight() const;
    // Whole rows in a text area this high, at least one.
    int rowsIn(int height) const;

    std::shared_ptr<QTextLayout> layoutOf(qint64 piece) const;
    int rowsOf(qint64 piece) const;
    // Rows forward (or back, when negative), stopping at the first and the last.
    LogRow moveRows(LogRow from, qint64 rows) const;
    LogRow rowOf(const LogPosition& position) const;
    LogPosition positionAt(LogRow row, qreal x) const;
    // The place shown under a point of the text area when `top` is its first row; below the
    // last row is the log's end.
    LogPosition hitTest(LogRow top, QPoint point) const;
    // How far from the text's left edge a place is drawn.
    qreal xOf(const LogPosition& position) const;
    // The character of a place, within the text of its piece's layout.
    static int characterIn(const QTextLayout& layout, const LogPosition& position);

private:
    struct Laid {
        qint64 start = -1;
        qint64 end = -1;
        std::shared_ptr<QTextLayout> layout;
    };

    const LogDocument* m_document;
    QFont m_font;
    QFontMetrics m_metrics{m_font};
    QPaintDevice* m_device = nullptr;
    int m_width = 1;
    mutable QHash<qint64, Laid> m_layouts;
};

} // namespace runs::logview
