// The "Help" buttons: each panel's help page, installed beside the program.
#include "app/FrmMain.h"
#include "platform/Browser.h"

#include <QCoreApplication>

using namespace Qt::Literals::StringLiterals;

namespace {

void openHelpPage(const QString& page) {
    platform::Browser::openFile(QCoreApplication::applicationDirPath() + u'/' + page);
}

} // namespace

void frmMain::Command1_Click() {
    openHelpPage(u"Export.html"_s);
}

void frmMain::Command2_Click() {
    openHelpPage(u"Import.html"_s);
}
