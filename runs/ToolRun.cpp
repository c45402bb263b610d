// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/ToolRun.h"

#include "commands/CommandPieces.h"
#include "platform/Environment.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"
#include "runs/BusyScope.h"
#include "runs/UtilityLaunch.h"
#include "runs/console/UtilityConsole.h"

#include <QAbstractButton>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>

using namespace Qt::Literals::StringLiterals;

namespace runs {

namespace {

void reportFailure(const platform::ConsoleProcess::Start& failure, const QString& notFoundMessage) {
    if (failure.failure == platform::FileNotFoundFailure) {
        platform::MessageBox::show(
            {u"Error:"_s, notFoundMessage, QMessageBox::Critical, QMessageBox::Ok});
        return;
    }
    platform::MessageBox::show(
        {u"Error:"_s,
         u"Error: "_s + QString::number(failure.failure) + u": "_s + failure.description,
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

    const UtilityCommand command = utilityCommand(
        platform::environmentBytes(u"ORA_HOME"_s).value_or(QByteArray()), commandLine, separator);
    const auto started = platform::ConsoleProcess::start(command.program, command.arguments,
                                                         console::UtilityConsole::InitialSize);
    if (!started.process) {
        reportFailure(started, panel.notFoundMessage);
        return;
    }
    QPointer<console::UtilityConsole>& console = *panel.console;
    if (!console || !console->isVisible())
        console = new console::UtilityConsole;
    console->attach(started.process.get(), QFile::decodeName(command.program),
                    utilityName(commandLine));

    // Only the console takes input while the utility runs; a window closed meanwhile closes
    // when the run is over.
    BusyScope busy(console);
    WaitForProcess(started.process->processId(), -1);
    const platform::ProcessEnd end = started.process->finish();
    if (console)
        console->showEnd(end);
    const QString logPath =
        commands::logFilePath(panel.directory->text(), panel.dumpFile->text(), separator);
    if (platform::fileExists(logPath))
        panel.logButton->setEnabled(true);
}

} // namespace runs
