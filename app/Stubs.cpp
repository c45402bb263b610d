// Handlers whose behaviour is still being written.
#include "app/FrmMain.h"

void frmMain::Command1_Click() {}
void frmMain::Command2_Click() {}
void frmMain::cmd_view_explog_Click() {}
void frmMain::cmd_view_implog_Click() {}
void frmMain::cmd_copy_Click() {}
void frmMain::cmd_copyall_Click() {}
void frmMain::cmd_view_params_Click() {}
