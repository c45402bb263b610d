// SPDX-License-Identifier: GPL-3.0-or-later
#include "look/Look.h"

#include <QPalette>
#include <QWidget>

using namespace Qt::Literals::StringLiterals;

namespace look {

QFont verdana(qreal points, bool bold) {
    QFont font(u"Verdana"_s);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

void setColours(QWidget* widget, const QColor& text, const QColor& background) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Window, background);
    // Check boxes paint their text and background in the button roles.
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::Button, background);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void setBackground(QWidget* widget, const QColor& background) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, background);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void setTextAreaColours(QWidget* widget, const QColor& text, const QColor& background) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Base, background);
    widget->setPalette(palette);
}

} // namespace look
