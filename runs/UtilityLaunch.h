// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace runs {

// The program a command line starts and its arguments, as the system takes them.
struct UtilityCommand {
    QByteArray program; // the Oracle home's bin folder and the line's first word
    QList<QByteArray> arguments;
};

// The Oracle home is taken as the bytes the environment holds, so a folder name that the
// locale's encoding cannot show still names the folder it names.
UtilityCommand utilityCommand(const QByteArray& oraHome, const QString& commandLine,
                              QChar separator);

// The command line's first word: the utility's short name.
QString utilityName(const QString& commandLine);

// Blocks until the process with this id has ended or msecs have passed (-1: no limit).
void WaitForProcess(qint64 TaskId, int msecs);

} // namespace runs
