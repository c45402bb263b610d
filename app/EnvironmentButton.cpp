// SPDX-License-Identifier: GPL-3.0-or-later
// "View/set ORA Parameters": the environment dialog, opened once and brought back while open.
#include "app/FrmMain.h"
#include "app/SecondaryWindow.h"
#include "dialogs/FrmORAParams.h"

void frmMain::cmd_view_params_Click() {
    // An open dialog keeps what the operator has typed into it.
    frmORAParams* dialog = openOrCreate(m_oraParams);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}
