// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/logview/ProblemScrollBar.h"

#include "runs/lines/ProblemColours.h"
#include "runs/logview/LogDocument.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionSlider>

namespace runs::logview {

ProblemScrollBar::ProblemScrollBar(QWidget* parent) : QScrollBar(Qt::Vertical, parent) {}

void ProblemScrollBar::setDocument(const LogDocument* document) {
    m_document = document;
    update();
}

QRect ProblemScrollBar::groove() const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarGroove, this);
}

// A problem stands as far down the groove as its piece is down the log. The marks hold at most
// two places a bucket, and a bucket is less than a row of any groove shorter than a thousand
// rows: each row's ticks merge into one.
QList<ProblemScrollBar::Tick> ProblemScrollBar::ticks() const {
    QList<Tick> ticks;
    if (!m_document)
        return ticks;
    const ProblemMarks& marks = m_document->problems().marks;
    const QRect area = groove();
    const double pieces = static_cast<double>(qMax<qint64>(1, m_document->pieceCount()));
    const int lowest = area.bottom() + 1 - TickHeight;
    const auto add = [&](qint64 piece, qint64 offset, lines::LineKind kind) {
        const int top = qMin(lowest, area.top() + static_cast<int>(static_cast<double>(piece) /
                                                                   pieces * area.height()));
        if (!ticks.isEmpty() && ticks.last().top == top)
            ticks.last().kind = worseKind(ticks.last().kind, kind);
        else
            ticks.append({top, kind, offset});
    };
    for (qsizetype index = 0; index < marks.bucketCount(); ++index) {
        const ProblemMarks::Bucket& bucket = marks.bucket(index);
        if (bucket.isEmpty())
            continue;
        add(bucket.firstPiece, bucket.firstOffset, bucket.worst);
        add(bucket.lastPiece, bucket.lastOffset, bucket.worst);
    }
    return ticks;
}

QColor ProblemScrollBar::grooveColour() const {
    if (m_grooveFor == palette().cacheKey() && m_grooveSize == size() && m_grooveStyle == style())
        return m_groove;
    QStyleOptionSlider option;
    initStyleOption(&option);
    option.subControls = QStyle::SC_All; // as the bar paints itself
    // At the groove's middle column, on the end the handle is further from.
    const QRect area = groove();
    const QRect handle =
        style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
    const int y = handle.top() - area.top() > area.bottom() - handle.bottom()
                      ? (area.top() + handle.top()) / 2
                      : (handle.bottom() + area.bottom()) / 2;
    QImage image(size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(palette().color(QPalette::Window));
    QPainter painter(&image);
    style()->drawComplexControl(QStyle::CC_ScrollBar, &option, &painter, this);
    painter.end();
    const QPoint at(area.center().x(), qBound(0, y, height() - 1));
    m_groove = image.rect().contains(at) ? image.pixelColor(at) : palette().color(QPalette::Window);
    m_grooveFor = palette().cacheKey();
    m_grooveSize = size();
    m_grooveStyle = style();
    return m_groove;
}

QColor ProblemScrollBar::colourOf(lines::LineKind kind) const {
    return lines::problemColours(grooveColour()).colourOf({kind});
}

void ProblemScrollBar::paintEvent(QPaintEvent* event) {
    QScrollBar::paintEvent(event);
    const QList<Tick> all = ticks();
    if (all.isEmpty())
        return;
    QPainter painter(this);
    const QRect area = groove();
    const lines::ProblemColours colours = lines::problemColours(grooveColour());
    for (const Tick& tick : all)
        painter.fillRect(area.left() + 1, tick.top, qMax(1, area.width() - 2), TickHeight,
                         colours.colourOf({tick.kind}));
}

void ProblemScrollBar::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton && groove().contains(at)) {
        QStyleOptionSlider option;
        initStyleOption(&option);
        const bool onHandle =
            style()
                ->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this)
                .contains(at);
        for (const Tick& tick : ticks()) {
            if (!onHandle && tick.top - 1 <= at.y() && at.y() <= tick.top + TickHeight) {
                event->accept();
                Q_EMIT problemClicked(tick.offset);
                return;
            }
        }
    }
    QScrollBar::mousePressEvent(event);
}

} // namespace runs::logview
