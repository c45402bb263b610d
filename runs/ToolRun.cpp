#include "runs/ToolRun.h"

#include "commands/CommandPieces.h"
#include "platform/Environment.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"
#include "runs/BusyScope.h"
#include "runs/UtilityLaunch.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPlainTextEdit>

using namespace Qt::Literals::StringLiterals;

namespace runs {

namespace {

void reportFailure(const LaunchFailure& failure, const QString& notFoundMessage) {
    if (failure.number == platform::FileNotFoundFailure) {
        platform::MessageBox::show(
            {u"Error:"_s, notFoundMessage, QMessageBox::Critical, QMessageBox::Ok});
        return;
    }
    platform::MessageBox::show(
        {u"Error:"_s,
         u"Error: "_s + QString::number(failure.number) + u": "_s + failure.description,
         QMessageBox::NoIcon, QMessageBox::Ok});
}

} // namespace

void runTool(const ToolRunPanel& panel, QChar separator) {
    // A run is under way: the press that reached us is not acted on.
    if (BusyScope::isActive())
        return;
    if (!panel.check())
        return;
    const QString commandLine = panel.build();
    panel.readBack->setPlainText(commandLine);

    const QString oraHome = platform::environmentValue(u"ORA_HOME"_s).value_or(QString());
    BusyScope busy;
    const auto failure = launchAndWait(oraHome, commandLine, separator);
    busy.releaseInput();
    if (failure) {
        reportFailure(*failure, panel.notFoundMessage);
        return;
    }
    const QString logPath =
        commands::logFilePath(panel.directory->text(), panel.dumpFile->text(), separator);
    if (platform::fileExists(logPath))
        panel.logButton->setEnabled(true);
}

} // namespace runs
