// SPDX-License-Identifier: GPL-3.0-or-later
// The ">" and ">>" buttons: the export panel's fields into the import panel.
#include "app/FieldLineEdit.h"
#include "app/FrmMain.h"
#include "platform/MessageBox.h"

#include <QCheckBox>

using namespace Qt::Literals::StringLiterals;

void frmMain::cmd_copy_Click() {
    txt_username_i->setText(txt_username_e->text());
    txt_password_i->setText(txt_password_e->text());
    txt_directory_i->setText(txt_directory_e->text());
    // Sets the import "VL" button through the field's change handler.
    txt_importfile->setText(txt_exportfile->text());
    txt_buffer_i->setText(txt_buffer_e->text());
    txt_tables_i->setText(txt_tables_e->text());
    chk_full_i->setChecked(chk_full_e->isChecked());
    chk_rows_i->setChecked(chk_rows_e->isChecked());
    chk_indexes_i->setChecked(chk_indexes_e->isChecked());
    txt_feedback_i->setText(txt_feedback_e->text());
}

void frmMain::cmd_copyall_Click() {
    cmd_copy_Click();
    if (txt_sid_e->text().isEmpty())
        return;
    txt_sid_i->setText(txt_sid_e->text());
    platform::MessageBox::show({u"Warning:"_s,
                                u"You have just copied the Export SID as Import SID - this can "
                                u"cause an import to the same destination as export"_s,
                                QMessageBox::Information, QMessageBox::Ok});
}
