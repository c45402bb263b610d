// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "commands/PanelFields.h"

#include <QPointer>
#include <QWidget>

class FieldLineEdit;
class frmORAParams;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace runs {
struct LogRequest;
}
namespace runs::console {
class UtilityConsole;
}
namespace runs::logview {
class frmLogView;
}

// The main window: the export panel on the left, the import panel on the right, the run,
// help, environment and exit buttons below. Every field value lives in its control.
class frmMain : public QWidget {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // The panels as they stand now.
    ExportFields exportFields() const;
    ImportFields importFields() const;

    bool CheckExportFields();
    bool CheckImportFields();
    QString CreateExportString();
    QString CreateImportString();
    QString CreateAutoFilename() const;

    void Form_Load();
    void cmd_export_Click();
    void cmd_import_Click();
    void cmd_exit_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void cmd_view_explog_Click();
    void cmd_view_implog_Click();
    void cmd_copy_Click();
    void cmd_copyall_Click();
    void cmd_view_params_Click();
    void txt_exportfile_GotFocus();
    void txt_exportfile_LostFocus();
    void txt_exportfile_Change();
    void txt_importfile_LostFocus();
    void txt_importfile_Change();
    void txt_directory_e_LostFocus();
    void txt_directory_i_LostFocus();

private:
    void createControls();
    void createExportPanel();
    void createImportPanel();
    void createButtons();
    void setFocusOrder();
    void connectHandlers();
    void setExportFields(const ExportFields& fields);
    void setImportFields(const ImportFields& fields);
    void viewLog(const runs::LogRequest& request);
    void writeBack(QLineEdit* field, const QString& text);

    QChar m_separator;
    QPointer<runs::logview::frmLogView> m_logView;
    QPointer<frmORAParams> m_oraParams;
    QPointer<runs::console::UtilityConsole> m_exportConsole;
    QPointer<runs::console::UtilityConsole> m_importConsole;

    // The controls, under the names the operator's manual and the tests use.
    QFrame* Shape1 = nullptr;
    QFrame* Shape2 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Picture1 = nullptr;

    FieldLineEdit* txt_sid_e = nullptr;
    FieldLineEdit* txt_username_e = nullptr;
    FieldLineEdit* txt_password_e = nullptr;
    FieldLineEdit* txt_cr_no = nullptr;
    FieldLineEdit* txt_directory_e = nullptr;
    FieldLineEdit* txt_exportfile = nullptr;
    QCheckBox* chk_full_e = nullptr;
    QCheckBox* chk_direct_e = nullptr;
    QCheckBox* chk_grants_e = nullptr;
    QCheckBox* chk_indexes_e = nullptr;
    QCheckBox* chk_rows_e = nullptr;
    QCheckBox* chk_consistent_e = nullptr;
    QCheckBox* chk_compress_e = nullptr;
    QCheckBox* chk_constraints_e = nullptr;
    FieldLineEdit* txt_buffer_e = nullptr;
    QComboBox* cmb_statistics_e = nullptr;
    FieldLineEdit* txt_feedback_e = nullptr;
    FieldLineEdit* txt_query_e = nullptr;
    FieldLineEdit* txt_tables_e = nullptr;
    FieldLineEdit* txt_other_e = nullptr;
    QPlainTextEdit* txt_exp_params = nullptr;

    FieldLineEdit* txt_sid_i = nullptr;
    FieldLineEdit* txt_username_i = nullptr;
    FieldLineEdit* txt_password_i = nullptr;
    FieldLineEdit* txt_directory_i = nullptr;
    FieldLineEdit* txt_importfile = nullptr;
    QCheckBox* chk_full_i = nullptr;
    QCheckBox* chk_compile_i = nullptr;
    QCheckBox* chk_grants_i = nullptr;
    QCheckBox* chk_indexes_i = nullptr;
    QCheckBox* chk_rows_i = nullptr;
    QCheckBox* chk_commit_i = nullptr;
    QCheckBox* chk_ignore_i = nullptr;
    QCheckBox* chk_constraints_i = nullptr;
    FieldLineEdit* txt_buffer_i = nullptr;
    QComboBox* cmb_statistics_i = nullptr;
    FieldLineEdit* txt_feedback_i = nullptr;
    FieldLineEdit* txt_tables_i = nullptr;
    FieldLineEdit* txt_other_i = nullptr;
    QPlainTextEdit* txt_imp_params = nullptr;

    QPushButton* Command3 = nullptr;
    QPushButton* cmd_view_explog = nullptr;
    QPushButton* cmd_view_implog = nullptr;
    QPushButton* cmd_copy = nullptr;
    QPushButton* cmd_copyall = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* cmd_export = nullptr;
    QPushButton* cmd_view_params = nullptr;
    QPushButton* cmd_exit = nullptr;
    QPushButton* cmd_import = nullptr;
    QPushButton* Command2 = nullptr;
};
