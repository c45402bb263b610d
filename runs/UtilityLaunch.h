#pragma once

#include <QString>

#include <optional>

namespace runs {

struct LaunchFailure {
    int number = 0;
    QString description;
};

// Where a command line's program lives: the Oracle home's bin folder and the line's first word.
QString utilityProgramPath(const QString& oraHome, const QString& commandLine, QChar separator);

// Starts the command line's utility from the Oracle home's bin folder with the rest of the
// line as its arguments, and waits until it has ended. Nothing when it ran.
std::optional<LaunchFailure> launchAndWait(const QString& oraHome, const QString& commandLine,
                                           QChar separator);

// Blocks until the process with this id has ended or msecs have passed (-1: no limit).
void WaitForProcess(qint64 TaskId, int msecs);

} // namespace runs
