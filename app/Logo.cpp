#include "app/Logo.h"

#include "look/Look.h"

#include <QPainter>
#include <QPainterPath>

QPixmap drawLogo(int width, int height) {
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal w = width;
    const qreal h = height;

    painter.setPen(Qt::NoPen);
    painter.setBrush(look::yellow);
    painter.drawEllipse(QPointF(w * 0.72, h * 0.30), h * 0.16, h * 0.16);

    QPainterPath mountains;
    mountains.moveTo(0, h * 0.70);
    mountains.lineTo(w * 0.30, h * 0.12);
    mountains.lineTo(w * 0.48, h * 0.45);
    mountains.lineTo(w * 0.62, h * 0.28);
    mountains.lineTo(w, h * 0.70);
    mountains.closeSubpath();
    painter.setBrush(look::darkBlue);
    painter.drawPath(mountains);

    painter.setBrush(QColor(0x2C, 0x5A, 0xA0));
    painter.drawRoundedRect(QRectF(w * 0.06, h * 0.70, w * 0.88, h * 0.24), h * 0.10, h * 0.10);
    painter.setPen(QPen(Qt::white, 1.2));
    painter.drawLine(QPointF(w * 0.22, h * 0.80), QPointF(w * 0.46, h * 0.80));
    painter.drawLine(QPointF(w * 0.52, h * 0.86), QPointF(w * 0.78, h * 0.86));
    return pixmap;
}
