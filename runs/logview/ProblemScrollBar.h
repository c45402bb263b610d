// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "runs/lines/LineClass.h"

#include <QList>
#include <QScrollBar>

namespace runs::logview {

class LogDocument;

// The log text box's vertical scroll bar, with a tick across its groove where each problem line
// stands in the whole log, in the problem's colour: an error's where a row holds both. A click
// on a tick (but on the handle, which drags as ever) asks to go to the first problem it marks.
class ProblemScrollBar : public QScrollBar {
    Q_OBJECT
public:
    explicit ProblemScrollBar(QWidget* parent = nullptr);

    // The document whose problems are marked; none marks nothing.
    void setDocument(const LogDocument* document);

    static constexpr int TickHeight = 3;

    struct Tick {
        int top = 0; // in the bar, TickHeight rows from there
        lines::LineKind kind = lines::LineKind::Error;
        qint64 offset = -1; // the first problem line it marks
    };
    // The ticks as they are drawn, top to bottom.
    QList<Tick> ticks() const;
    // The colour a tick of that kind is drawn in: one that reads on the groove as the style
    // paints it.
    QColor colourOf(lines::LineKind kind) const;

Q_SIGNALS:
    void problemClicked(qint64 offset);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QRect groove() const;
    // The groove's colour where no handle covers it, painted by the style without ticks.
    QColor grooveColour() const;

    const LogDocument* m_document = nullptr;
    // The groove's colour, found again when the bar's palette, style or size changes.
    mutable QColor m_groove;
    mutable qint64 m_grooveFor = -1;
    mutable QSize m_grooveSize;
    mutable const QStyle* m_grooveStyle = nullptr;
};

} // namespace runs::logview
