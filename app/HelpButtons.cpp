// SPDX-License-Identifier: GPL-3.0-or-later
// The "Help" buttons: each panel's help page, from the build folder or the installed tree.
#include "app/FrmMain.h"
#include "app/HelpPages.h"
#include "platform/Browser.h"
#include "platform/Files.h"

#include <QCoreApplication>
#include <QDir>

using namespace Qt::Literals::StringLiterals;

QString helpPagePath(const QString& programDir, const QString& page) {
    const QString beside = programDir + u'/' + page;
    const QString installed = QDir::cleanPath(
        programDir + u'/' + QStringLiteral(TARNHOLD_HELP_FROM_PROGRAM) + u'/' + page);
    return !platform::fileExists(beside) && platform::fileExists(installed) ? installed : beside;
}

namespace {

void openHelpPage(const QString& page) {
    platform::Browser::openFile(helpPagePath(QCoreApplication::applicationDirPath(), page));
}

} // namespace

void frmMain::Command1_Click() {
    openHelpPage(u"Export.html"_s);
}

void frmMain::Command2_Click() {
    openHelpPage(u"Import.html"_s);
}
