// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the environment dialog's controls at their places, with their captions and colours.
#include "dialogs/FrmORAParams.h"
#include "look/Look.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace {

template <typename W> W* place(QWidget* parent, const char* name, const QRect& rect) {
    auto* widget = new W(parent);
    widget->setObjectName(QLatin1StringView(name));
    widget->setGeometry(rect);
    return widget;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, const QRect& rect) {
    auto* caption = place<QLabel>(parent, name, rect);
    caption->setText(text);
    look::setColours(caption, look::yellow, look::darkBlue);
    return caption;
}

QLabel* heading(QWidget* parent, const char* name, const QString& text, int left) {
    auto* caption = label(parent, name, text, look::twipsRect(left, 240, 3255, 375));
    caption->setFont(look::verdana(12, true));
    return caption;
}

// The note has one line at a fixed place. Where the system's default face is wider than the one
// the place was measured for, a smaller size keeps the whole sentence in view.
void fitOnOneLine(QLabel* label) {
    QFont font = label->font();
    while (font.pointSizeF() > 6 &&
           QFontMetricsF(font).horizontalAdvance(label->text()) > label->width())
        font.setPointSizeF(font.pointSizeF() - 0.25);
    label->setFont(font);
}

// A variable's name as the dialog shows it: for reading, not typing.
QLineEdit* fixedName(QWidget* parent, const char* name, int top) {
    auto* box = place<QLineEdit>(parent, name, look::twipsRect(240, top, 3375, 375));
    box->setEnabled(false);
    look::setTextAreaColours(box, Qt::white, look::darkBlue);
    return box;
}

QLineEdit* entry(QWidget* parent, const char* name, int left, int top) {
    auto* box = place<QLineEdit>(parent, name, look::twipsRect(left, top, 3375, 375));
    box->setFont(look::verdana(8.25, false));
    // Environment values can be long, and are shown and set whole.
    box->setMaxLength(std::numeric_limits<int>::max());
    return box;
}

QPushButton* setButton(QWidget* parent, const char* name, int top) {
    auto* button = place<QPushButton>(parent, name, look::twipsRect(7800, top, 735, 375));
    button->setText(u"Set"_s);
    return button;
}

// The boxes of a row have no label of their own beside them, only the column headings above: a
// screen reader hears the row's number, or the variable that the row always sets.
void nameRow(QLineEdit* name, QLineEdit* value, QPushButton* set, int row,
             const QString& variable) {
    const QString number = u"Variable "_s + QString::number(row);
    name->setAccessibleName(number + u" name"_s);
    if (variable.isEmpty()) {
        value->setAccessibleName(number + u" value"_s);
        set->setAccessibleName(u"Set variable "_s + QString::number(row));
    } else {
        value->setAccessibleName(variable + u" value"_s);
        set->setAccessibleName(u"Set "_s + variable);
    }
}

} // namespace

void frmORAParams::createControls() {
    setWindowTitle(u"Oracle Environment Parameters"_s);
    resize(587, 238);
    look::setBackground(this, look::darkBlue);

    Label1 = heading(this, "Label1", u"Name"_s, 240);
    Label2 = heading(this, "Label2", u"Value"_s, 4200);

    txt_ora_home = fixedName(this, "txt_ora_home", 720);
    txt_ora_home_val = entry(this, "txt_ora_home_val", 4200, 720);
    cmd_set_1 = setButton(this, "cmd_set_1", 720);
    nameRow(txt_ora_home, txt_ora_home_val, cmd_set_1, 1, u"ORA_HOME"_s);

    txt_nls_lang = fixedName(this, "txt_nls_lang", 1200);
    txt_nls_lang_val = entry(this, "txt_nls_lang_val", 4200, 1320);
    cmd_set_2 = setButton(this, "cmd_set_2", 1320);
    nameRow(txt_nls_lang, txt_nls_lang_val, cmd_set_2, 2, u"NLS_LANG"_s);

    txt_name_2 = entry(this, "txt_name_2", 240, 1920);
    txt_val2 = entry(this, "txt_val2", 4200, 1920);
    cmd_set_3 = setButton(this, "cmd_set_3", 1920);
    nameRow(txt_name_2, txt_val2, cmd_set_3, 3, {});

    txt_name_3 = entry(this, "txt_name_3", 240, 2520);
    txt_val3 = entry(this, "txt_val3", 4200, 2520);
    cmd_set_4 = setButton(this, "cmd_set_4", 2520);
    nameRow(txt_name_3, txt_val3, cmd_set_4, 4, {});

    Label3 =
        label(this, "Label3", u"These settings are only valid for this Session - not persistent"_s,
              look::twipsRect(1680, 3120, 4455, 255));
    fitOnOneLine(Label3);
}

void frmORAParams::setFocusOrder() {
    QWidget* const order[] = {txt_ora_home_val, txt_name_2, txt_name_3, txt_nls_lang_val,
                              txt_val2,         txt_val3,   cmd_set_1,  cmd_set_2,
                              cmd_set_3,        cmd_set_4};
    for (size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}
