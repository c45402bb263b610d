#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// The failure number for a program file that is not where it was looked for.
inline constexpr int FileNotFoundFailure = 53;

struct ProcessStart {
    qint64 processId = 0; // valid when failure is 0
    int failure = 0;      // 0, FileNotFoundFailure, or the system's error number
    QString description;  // the system's text for the failure
};

// Starts a program directly, never through a shell: each argument reaches it byte for byte.
// It inherits this process's environment, current folder, standard output and error.
ProcessStart startProcess(const QString& program, const QStringList& arguments);

// Waits until the process has ended or msecs have passed (-1: no limit). The event loop keeps
// running meanwhile, so windows repaint; the wait itself costs no CPU. Returns at once when no
// such process exists.
void waitForProcess(qint64 processId, int msecs);

} // namespace platform
