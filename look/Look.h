// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

class QWidget;

// The window's measures, colours and fonts. Places are given in twips, 15 to a pixel; Qt
// scales the pixels for high-DPI screens.
namespace look {

constexpr int pixels(int twips) {
    return twips / 15;
}

constexpr QRect twipsRect(int left, int top, int width, int height) {
    return {pixels(left), pixels(top), pixels(width), pixels(height)};
}

inline const QColor darkBlue{0x00, 0x00, 0x40};
inline const QColor yellow{0xFF, 0xFF, 0x00};
inline const QColor lightYellow{0xFF, 0xFF, 0x80};

// Verdana where it is installed, the system's sans-serif face otherwise.
QFont verdana(qreal points, bool bold);

// Text and background colour of a label or check box.
void setColours(QWidget* widget, const QColor& text, const QColor& background);

// Background of a window; its controls keep their own colours.
void setBackground(QWidget* widget, const QColor& background);

// Text and background colour of the area inside a text box.
void setTextAreaColours(QWidget* widget, const QColor& text, const QColor& background);

} // namespace look
