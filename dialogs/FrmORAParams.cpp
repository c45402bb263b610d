// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/FrmORAParams.h"

#include "platform/Environment.h"

#include <QLineEdit>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

namespace {

// The name as typed, blanks and all: the system decides what it accepts. A refused name
// changes nothing, and the operator is not told, as with any other Set.
void setVariable(const QLineEdit* name, const QLineEdit* value) {
    platform::setEnvironmentValue(name->text(), value->text());
}

void showValue(const QLineEdit* name, QLineEdit* value) {
    value->setText(platform::environmentValue(name->text()).value_or(QString()));
}

} // namespace

frmORAParams::frmORAParams() {
    setObjectName(u"frmORAParams"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    createControls();
    setFocusOrder();
    connectHandlers();
    Form_Load();
}

void frmORAParams::connectHandlers() {
    connect(cmd_set_1, &QPushButton::clicked, this, &frmORAParams::cmd_set_1_Click);
    connect(cmd_set_2, &QPushButton::clicked, this, &frmORAParams::cmd_set_2_Click);
    connect(cmd_set_3, &QPushButton::clicked, this, &frmORAParams::cmd_set_3_Click);
    connect(cmd_set_4, &QPushButton::clicked, this, &frmORAParams::cmd_set_4_Click);
}

void frmORAParams::Form_Load() {
    txt_ora_home->setText(u"ORA_HOME"_s);
    showValue(txt_ora_home, txt_ora_home_val);
    txt_nls_lang->setText(u"NLS_LANG"_s);
    showValue(txt_nls_lang, txt_nls_lang_val);
}

void frmORAParams::cmd_set_1_Click() {
    setVariable(txt_ora_home, txt_ora_home_val);
}

void frmORAParams::cmd_set_2_Click() {
    setVariable(txt_nls_lang, txt_nls_lang_val);
}

void frmORAParams::cmd_set_3_Click() {
    setVariable(txt_name_2, txt_val2);
}

void frmORAParams::cmd_set_4_Click() {
    setVariable(txt_name_3, txt_val3);
}
