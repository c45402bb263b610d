// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FrmMain.h"

#include "app/FieldLineEdit.h"
#include "checks/DumpFileNaming.h"
#include "checks/ExportChecks.h"
#include "checks/ImportChecks.h"
#include "commands/CommandPieces.h"
#include "commands/ImportCommand.h"
#include "platform/Clock.h"
#include "platform/Separator.h"
#include "runs/ToolRun.h"
#include "runs/console/UtilityConsole.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

frmMain::frmMain(QWidget* parent) : QWidget(parent), m_separator(platform::nativeSeparator()) {
    setObjectName(u"frmMain"_s);
    createControls();
    connectHandlers();
    Form_Load();
}

frmMain::~frmMain() = default;

void frmMain::connectHandlers() {
    connect(cmd_export, &QPushButton::clicked, this, &frmMain::cmd_export_Click);
    connect(cmd_import, &QPushButton::clicked, this, &frmMain::cmd_import_Click);
    connect(cmd_exit, &QPushButton::clicked, this, &frmMain::cmd_exit_Click);
    connect(Command1, &QPushButton::clicked, this, &frmMain::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmMain::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmMain::Command3_Click);
    connect(cmd_view_explog, &QPushButton::clicked, this, &frmMain::cmd_view_explog_Click);
    connect(cmd_view_implog, &QPushButton::clicked, this, &frmMain::cmd_view_implog_Click);
    connect(cmd_copy, &QPushButton::clicked, this, &frmMain::cmd_copy_Click);
    connect(cmd_copyall, &QPushButton::clicked, this, &frmMain::cmd_copyall_Click);
    connect(cmd_view_params, &QPushButton::clicked, this, &frmMain::cmd_view_params_Click);
    connect(txt_exportfile, &FieldLineEdit::focusEntered, this, &frmMain::txt_exportfile_GotFocus);
    connect(txt_exportfile, &FieldLineEdit::focusLeft, this, &frmMain::txt_exportfile_LostFocus);
    connect(txt_exportfile, &QLineEdit::textChanged, this, &frmMain::txt_exportfile_Change);
    connect(txt_importfile, &FieldLineEdit::focusLeft, this, &frmMain::txt_importfile_LostFocus);
    connect(txt_importfile, &QLineEdit::textChanged, this, &frmMain::txt_importfile_Change);
    connect(txt_directory_e, &FieldLineEdit::focusLeft, this, &frmMain::txt_directory_e_LostFocus);
    connect(txt_directory_i, &FieldLineEdit::focusLeft, this, &frmMain::txt_directory_i_LostFocus);
}

ExportFields frmMain::exportFields() const {
    ExportFields f;
    f.sid = txt_sid_e->text();
    f.username = txt_username_e->text();
    f.password = txt_password_e->text();
    f.crNo = txt_cr_no->text();
    f.directory = txt_directory_e->text();
    f.exportFile = txt_exportfile->text();
    f.full = chk_full_e->isChecked();
    f.direct = chk_direct_e->isChecked();
    f.grants = chk_grants_e->isChecked();
    f.indexes = chk_indexes_e->isChecked();
    f.rows = chk_rows_e->isChecked();
    f.consistent = chk_consistent_e->isChecked();
    f.compress = chk_compress_e->isChecked();
    f.constraints = chk_constraints_e->isChecked();
    f.buffer = txt_buffer_e->text();
    f.statistics = cmb_statistics_e->currentText();
    f.feedback = txt_feedback_e->text();
    f.query = txt_query_e->text();
    f.tables = txt_tables_e->text();
    f.other = txt_other_e->text();
    return f;
}

void frmMain::setExportFields(const ExportFields& f) {
    txt_sid_e->setText(f.sid);
    txt_username_e->setText(f.username);
    txt_password_e->setText(f.password);
    txt_cr_no->setText(f.crNo);
    txt_directory_e->setText(f.directory);
    txt_exportfile->setText(f.exportFile);
    chk_full_e->setChecked(f.full);
    chk_direct_e->setChecked(f.direct);
    chk_grants_e->setChecked(f.grants);
    chk_indexes_e->setChecked(f.indexes);
    chk_rows_e->setChecked(f.rows);
    chk_consistent_e->setChecked(f.consistent);
    chk_compress_e->setChecked(f.compress);
    chk_constraints_e->setChecked(f.constraints);
    txt_buffer_e->setText(f.buffer);
    cmb_statistics_e->setCurrentText(f.statistics);
    txt_feedback_e->setText(f.feedback);
    txt_query_e->setText(f.query);
    txt_tables_e->setText(f.tables);
    txt_other_e->setText(f.other);
}

ImportFields frmMain::importFields() const {
    ImportFields f;
    f.sid = txt_sid_i->text();
    f.username = txt_username_i->text();
    f.password = txt_password_i->text();
    f.directory = txt_directory_i->text();
    f.importFile = txt_importfile->text();
    f.full = chk_full_i->isChecked();
    f.compile = chk_compile_i->isChecked();
    f.grants = chk_grants_i->isChecked();
    f.indexes = chk_indexes_i->isChecked();
    f.rows = chk_rows_i->isChecked();
    f.commit = chk_commit_i->isChecked();
    f.ignore = chk_ignore_i->isChecked();
    f.constraints = chk_constraints_i->isChecked();
    f.buffer = txt_buffer_i->text();
    f.statistics = cmb_statistics_i->currentText();
    f.feedback = txt_feedback_i->text();
    f.tables = txt_tables_i->text();
    f.other = txt_other_i->text();
    return f;
}

void frmMain::setImportFields(const ImportFields& f) {
    txt_sid_i->setText(f.sid);
    txt_username_i->setText(f.username);
    txt_password_i->setText(f.password);
    txt_directory_i->setText(f.directory);
    txt_importfile->setText(f.importFile);
    chk_full_i->setChecked(f.full);
    chk_compile_i->setChecked(f.compile);
    chk_grants_i->setChecked(f.grants);
    chk_indexes_i->setChecked(f.indexes);
    chk_rows_i->setChecked(f.rows);
    chk_commit_i->setChecked(f.commit);
    chk_ignore_i->setChecked(f.ignore);
    chk_constraints_i->setChecked(f.constraints);
    txt_buffer_i->setText(f.buffer);
    cmb_statistics_i->setCurrentText(f.statistics);
    txt_feedback_i->setText(f.feedback);
    txt_tables_i->setText(f.tables);
    txt_other_i->setText(f.other);
}

bool frmMain::CheckExportFields() {
    return ::CheckExportFields(exportFields());
}

bool frmMain::CheckImportFields() {
    return ::CheckImportFields(importFields(), m_separator);
}

QString frmMain::CreateExportString() {
    const auto built = commands::CreateExportString(exportFields(), m_separator);
    writeBack(txt_directory_e, built.directory);
    return built.line;
}

QString frmMain::CreateImportString() {
    const auto built = commands::CreateImportString(importFields(), m_separator);
    writeBack(txt_directory_i, built.directory);
    return built.line;
}

QString frmMain::CreateAutoFilename() const {
    return ::CreateAutoFilename(txt_cr_no->text(), txt_username_e->text(),
                                platform::Clock::today());
}

void frmMain::Form_Load() {
    cmd_view_explog->setEnabled(false);
    cmd_view_implog->setEnabled(false);
}

void frmMain::cmd_export_Click() {
    runs::runTool({[this] { return CheckExportFields(); }, [this] { return CreateExportString(); },
                   txt_exp_params, txt_directory_e, txt_exportfile, cmd_view_explog,
                   u"Error: export executeable \"exp\" not found."_s, &m_exportConsole},
                  m_separator);
}

void frmMain::cmd_import_Click() {
    runs::runTool({[this] { return CheckImportFields(); }, [this] { return CreateImportString(); },
                   txt_imp_params, txt_directory_i, txt_importfile, cmd_view_implog,
                   u"Error: export executeable \"imp\" not found."_s, &m_importConsole},
                  m_separator);
}

void frmMain::cmd_exit_Click() {
    close();
}

void frmMain::Command3_Click() {
    txt_exportfile->setText(CreateAutoFilename());
}

void frmMain::txt_exportfile_GotFocus() {
    if (txt_exportfile->text().isEmpty())
        txt_exportfile->setText(CreateAutoFilename());
}

void frmMain::txt_exportfile_LostFocus() {
    cmd_view_explog->setEnabled(!txt_exportfile->text().isEmpty());
}

void frmMain::txt_exportfile_Change() {
    txt_exportfile_LostFocus();
}

void frmMain::txt_importfile_LostFocus() {
    cmd_view_implog->setEnabled(!txt_importfile->text().isEmpty());
}

void frmMain::txt_importfile_Change() {
    txt_importfile_LostFocus();
}

void frmMain::txt_directory_e_LostFocus() {
    writeBack(txt_directory_e,
              commands::withoutTrailingSeparator(txt_directory_e->text(), m_separator));
}

void frmMain::txt_directory_i_LostFocus() {
    writeBack(txt_directory_i,
              commands::withoutTrailingSeparator(txt_directory_i->text(), m_separator));
}

void frmMain::writeBack(QLineEdit* field, const QString& text) {
    // Only a real change is written, so the operator's cursor and undo history stay put.
    if (field->text() != text)
        field->setText(text);
}
