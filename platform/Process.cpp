#include "platform/Process.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace platform {

namespace {

QString systemErrorText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Reaps our own child once it has ended, so no zombie is left behind.
void reapIfEnded(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, WNOHANG);
}

bool hasEnded(pid_t pid) {
    siginfo_t info{};
    // WNOWAIT leaves the child to be reaped by reapIfEnded.
    if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0)
        return info.si_pid == pid;
    // Not our child (or gone): fall back to asking whether it still exists.
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

} // namespace

ProcessStart startProcess(const QString& program, const QStringList& arguments) {
    const QByteArray path = QFile::encodeName(program);
    if (program.isEmpty() || !QFileInfo::exists(program))
        return {0, FileNotFoundFailure, systemErrorText(ENOENT)};

    std::vector<QByteArray> storage;
    storage.reserve(static_cast<size_t>(arguments.size()) + 1);
    storage.push_back(path);
    for (const QString& argument : arguments)
        storage.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& item : storage)
        argv.push_back(item.data());
    argv.push_back(nullptr);

    pid_t pid = 0;
    const int error = ::posix_spawn(&pid, path.constData(), nullptr, nullptr, argv.data(), environ);
    if (error != 0)
        return {0, error, systemErrorText(error)};
    return {pid, 0, {}};
}

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
    reapIfEnded(pid);
}

} // namespace platform
