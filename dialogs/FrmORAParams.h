// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

// Shows ORA_HOME and NLS_LANG and sets them, or any two other variables, for this program and
// the utilities it starts later. Nothing is stored beyond the session.
class frmORAParams : public QWidget {
    Q_OBJECT
public:
    frmORAParams();

    void Form_Load();
    void cmd_set_1_Click();
    void cmd_set_2_Click();
    void cmd_set_3_Click();
    void cmd_set_4_Click();

private:
    void createControls();
    void setFocusOrder();
    void connectHandlers();

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* txt_ora_home = nullptr;
    QLineEdit* txt_ora_home_val = nullptr;
    QLineEdit* txt_nls_lang = nullptr;
    QLineEdit* txt_nls_lang_val = nullptr;
    QLineEdit* txt_name_2 = nullptr;
    QLineEdit* txt_val2 = nullptr;
    QLineEdit* txt_name_3 = nullptr;
    QLineEdit* txt_val3 = nullptr;
    QPushButton* cmd_set_1 = nullptr;
    QPushButton* cmd_set_2 = nullptr;
    QPushButton* cmd_set_3 = nullptr;
    QPushButton* cmd_set_4 = nullptr;
};
