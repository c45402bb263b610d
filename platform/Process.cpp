// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Process.h"

#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <memory>

#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace platform {

namespace {

bool hasEnded(pid_t pid) {
    siginfo_t info{};
    // WNOWAIT leaves the status to whoever started the child.
    if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0)
        return info.si_pid == pid;
    // Not our child (or gone): fall back to asking whether it still exists.
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

} // namespace

void waitForProcess(qint64 processId, int msecs) {
    const auto pid = static_cast<pid_t>(processId);
    if (pid <= 0)
        return;

    QEventLoop loop;
    QTimer limit;
    if (msecs >= 0) {
        limit.setSingleShot(true);
        QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
        limit.start(msecs);
    }

    // A pidfd becomes readable when the process ends: the loop sleeps until then.
    const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    std::unique_ptr<QSocketNotifier> notifier;
    QTimer poll;
    if (pidfd >= 0) {
        notifier = std::make_unique<QSocketNotifier>(pidfd, QSocketNotifier::Read);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, &loop, &QEventLoop::quit);
    } else if (errno == ESRCH) {
        return;
    } else {
        // Kernels without pidfd: look a few times a second instead.
        QObject::connect(&poll, &QTimer::timeout, &loop, [&loop, pid] {
            if (hasEnded(pid))
                loop.quit();
        });
        poll.start(50);
    }

    if (!hasEnded(pid))
        loop.exec();

    notifier.reset();
    if (pidfd >= 0)
        ::close(pidfd);
}

} // namespace platform
