// SPDX-License-Identifier: GPL-3.0-or-later
// The "VL" buttons: each panel's utility log in the shared log window.
#include "app/FieldLineEdit.h"
#include "app/FrmMain.h"
#include "app/SecondaryWindow.h"
#include "commands/CommandPieces.h"
#include "runs/logview/FrmLogView.h"
#include "runs/LogView.h"

using namespace Qt::Literals::StringLiterals;

void frmMain::cmd_view_explog_Click() {
    viewLog({u"Export Log"_s, u"The Export Logfile: "_s,
             commands::logFilePath(txt_directory_e->text(), txt_exportfile->text(), m_separator)});
}

void frmMain::cmd_view_implog_Click() {
    viewLog({u"Import Log"_s, u"The Import Logfile: "_s,
             commands::logFilePath(txt_directory_i->text(), txt_importfile->text(), m_separator)});
}

void frmMain::viewLog(const runs::LogRequest& request) {
    auto log = runs::openLog(request);
    if (!log)
        return;
    openOrCreate(m_logView)->showLog(request.heading, std::move(log), request.path);
}
