// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Logo.h"

#include <QPainter>
#include <QSvgRenderer>

using namespace Qt::Literals::StringLiterals;

QString logoResource() {
    return u":/logo/io.github.tarnhold.Tarnhold.svg"_s;
}

QPixmap drawLogo(int width, int height) {
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::white);
    QSvgRenderer renderer(logoResource());
    const QSizeF size = QSizeF(renderer.defaultSize()).scaled(width, height, Qt::KeepAspectRatio);
    const QPointF topLeft((width - size.width()) / 2, (height - size.height()) / 2);
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(topLeft, size));
    return pixmap;
}
