// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/UtilityLaunch.h"

#include "platform/Process.h"
#include "runs/ArgumentSplitter.h"

using namespace Qt::Literals::StringLiterals;

namespace runs {

namespace {

QStringView afterFirstWord(const QString& commandLine) {
    const qsizetype blank = commandLine.indexOf(u' ');
    return blank < 0 ? QStringView() : QStringView(commandLine).sliced(blank + 1);
}

} // namespace

QString utilityName(const QString& commandLine) {
    const qsizetype blank = commandLine.indexOf(u' ');
    return blank < 0 ? commandLine : commandLine.first(blank);
}

UtilityCommand utilityCommand(const QByteArray& oraHome, const QString& commandLine,
                              QChar separator) {
    const QByteArray slash = QString(separator).toLocal8Bit();
    UtilityCommand command;
    command.program = oraHome + slash + "bin" + slash + utilityName(commandLine).toLocal8Bit();
    for (const QString& argument : splitArguments(afterFirstWord(commandLine)))
        command.arguments.append(argument.toLocal8Bit());
    return command;
}

void WaitForProcess(qint64 TaskId, int msecs) {
    platform::waitForProcess(TaskId, msecs);
}

} // namespace runs
