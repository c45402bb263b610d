// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/WindowTest.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

// A window's look as a table: one row per control with its place, caption, colours and font,
// compared with what the control will paint. Places are in twips, 15 to a pixel.
namespace look_table {

inline void addColumns() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption"); // a null text is not compared
    QTest::addColumn<QRect>("place");
    QTest::addColumn<QColor>("text"); // an invalid colour stands for the toolkit's own
    QTest::addColumn<QColor>("background");
    QTest::addColumn<QString>("family"); // empty: the toolkit's own face and size
    QTest::addColumn<double>("points");  // 0: the toolkit's own size; -1: fitted to the control
    QTest::addColumn<bool>("bold");
}

struct Font {
    QString family;
    double points = 0;
    bool bold = false;
};

inline void addRow(const char* name, const QString& caption, QRect twips, const QColor& text,
                   const QColor& background, const Font& font = {}) {
    const QRect place(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15);
    QTest::newRow(name) << QString::fromLatin1(name) << caption << place << text << background
                        << font.family << font.points << font.bold;
}

// The roles the style paints a control's text and background with: text boxes in Text on
// Base, push buttons in ButtonText on Button, labels and check boxes in WindowText on the
// background of the nearest widget that fills its own.
inline std::pair<QColor, QColor> painted(const QWidget* widget, const QPalette& palette) {
    const auto group = widget->isEnabled() ? QPalette::Active : QPalette::Disabled;
    if (qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QComboBox*>(widget) ||
        qobject_cast<const QAbstractScrollArea*>(widget))
        return {palette.color(group, QPalette::Text), palette.color(group, QPalette::Base)};
    if (qobject_cast<const QPushButton*>(widget))
        return {palette.color(group, QPalette::ButtonText), palette.color(group, QPalette::Button)};
    const QWidget* filler = widget;
    while (!filler->autoFillBackground() && !filler->isWindow())
        filler = filler->parentWidget();
    const QPalette& behind = filler == widget ? palette : filler->palette();
    return {palette.color(group, QPalette::WindowText),
            behind.color(group, filler->backgroundRole())};
}

// Compares the current row with the control of that name in the window.
inline void compare(const QWidget& window) {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, place);
    QFETCH(QColor, text);
    QFETCH(QColor, background);
    QFETCH(QString, family);
    QFETCH(double, points);
    QFETCH(bool, bold);
    const auto* widget = window.findChild<QWidget*>(name);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), place);
    if (!caption.isNull())
        QCOMPARE(widget->property("text").toString(), caption);

    const auto [paintedText, paintedBackground] = painted(widget, widget->palette());
    const auto [ownText, ownBackground] = painted(widget, QApplication::palette(widget));
    QCOMPARE(paintedText, text.isValid() ? text : ownText);
    QCOMPARE(paintedBackground, background.isValid() ? background : ownBackground);

    const QFont own = QApplication::font(widget);
    QCOMPARE(widget->font().family(), family.isEmpty() ? own.family() : family);
    if (points >= 0)
        QCOMPARE(widget->font().pointSizeF(), points > 0 ? points : own.pointSizeF());
    QCOMPARE(widget->font().bold(), bold);
}

} // namespace look_table
