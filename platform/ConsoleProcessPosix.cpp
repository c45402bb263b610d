// SPDX-License-Identifier: GPL-3.0-or-later
// The Linux terminal of a utility: a pseudo-terminal whose far side is the program's standard
// input, output and error, and its controlling terminal.
#include "platform/ConsoleProcess.h"

#include "platform/CharacterSets.h"

#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <langinfo.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

extern char** environ;

namespace platform {

namespace {

std::chrono::milliseconds s_hangUpGrace{3000};

// What one turn of the event loop reads at most, and for how long at most, so that a flood of
// output never holds it long; and what one read asks for: a terminal gives a few kilobytes a
// read, as they come.
constexpr qsizetype ReadBudget = 256 * 1024;
constexpr std::chrono::milliseconds ReadTime{4};
constexpr qsizetype ReadStep = 64 * 1024;

QString errorText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

winsize windowSize(ConsoleProcess::Size size) {
    winsize ws{};
    ws.ws_row = static_cast<unsigned short>(std::clamp(size.rows, 1, 0xFFFF));
    ws.ws_col = static_cast<unsigned short>(std::clamp(size.columns, 1, 0xFFFF));
    return ws;
}

std::vector<char*> pointers(std::vector<QByteArray>& items) {
    std::vector<char*> result;
    result.reserve(items.size() + 1);
    for (QByteArray& item : items)
        result.push_back(item.data());
    result.push_back(nullptr);
    return result;
}

class PseudoTerminalProcess final : public ConsoleProcess {
public:
    PseudoTerminalProcess(int master, pid_t pid) : m_master(master), m_pid(pid) {
        m_reader = new QSocketNotifier(master, QSocketNotifier::Read, this);
        connect(m_reader, &QSocketNotifier::activated, this, [this] { readOutput(ReadBudget); });
        m_writer = new QSocketNotifier(master, QSocketNotifier::Write, this);
        m_writer->setEnabled(false);
        connect(m_writer, &QSocketNotifier::activated, this, &PseudoTerminalProcess::writePending);
        m_read.reserve(ReadBudget + ReadStep);
        m_killTimer.setSingleShot(true);
        connect(&m_killTimer, &QTimer::timeout, this, [this] { signalGroup(SIGKILL); });
    }

    ~PseudoTerminalProcess() override {
        if (!m_end)
            finish();
    }

    qint64 processId() const override { return m_pid; }

    bool isRunning() const override {
        if (m_end)
            return false;
        siginfo_t info{};
        // WNOWAIT leaves the status for finish().
        return ::waitid(P_PID, static_cast<id_t>(m_pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
               info.si_pid == 0;
    }

    void write(const QByteArray& keys) override {
        if (m_master < 0 || keys.isEmpty())
            return;
        m_pending += keys;
        writePending();
    }

    void resize(Size size) override {
        if (m_master < 0)
            return;
        const winsize ws = windowSize(size);
        // The kernel tells the program's foreground group with SIGWINCH.
        ::ioctl(m_master, TIOCSWINSZ, &ws);
    }

    void hangUp() override {
        if (m_end || m_hungUp)
            return;
        m_hungUp = true;
        // As when a terminal goes away: the session's processes get SIGHUP.
        closeTerminal();
        signalGroup(SIGHUP);
        signalGroup(SIGCONT);
        m_killTimer.start(hangUpGrace());
    }

    ProcessEnd finish() override {
        if (m_end)
            return *m_end;
        if (isRunning())
            signalGroup(SIGKILL);
        // Everything written before the end is in the terminal's buffer.
        readOutput(-1);
        closeTerminal();
        m_killTimer.stop();
        int status = 0;
        pid_t result = 0;
        do
            result = ::waitpid(m_pid, &status, 0);
        while (result < 0 && errno == EINTR);
        ProcessEnd end;
        if (result == m_pid && WIFSIGNALED(status))
            end = {true, WTERMSIG(status)};
        else if (result == m_pid)
            end = {false, WEXITSTATUS(status)};
        m_end = end;
        return end;
    }

private:
    // Reads until the terminal has nothing more for now (budget < 0), or else until it has
    // nothing more, budget bytes are read or the time for a turn is up, and hands it all on at
    // once. The buffer is kept from read to read.
    void readOutput(qsizetype budget) {
        if (m_master < 0)
            return;
        m_read.resize(0);
        const auto deadline = std::chrono::steady_clock::now() + ReadTime;
        while (budget < 0 ||
               (m_read.size() < budget && std::chrono::steady_clock::now() < deadline)) {
            const qsizetype had = m_read.size();
            m_read.resize(had + ReadStep);
            const ssize_t count = ::read(m_master, m_read.data() + had, ReadStep);
            const int error = errno;
            m_read.resize(had + std::max<qsizetype>(count, 0));
            if (count > 0)
                continue;
            if (count < 0 && error == EINTR)
                continue;
            // EAGAIN: nothing more for now. EIO or 0: no process holds the terminal any more,
            // and the notifier would fire for ever.
            if (count == 0 || error != EAGAIN)
                m_reader->setEnabled(false);
            break;
        }
        if (!m_read.isEmpty())
            Q_EMIT output(m_read);
    }

    void writePending() {
        while (!m_pending.isEmpty() && m_master >= 0) {
            const ssize_t count = ::write(m_master, m_pending.constData(), m_pending.size());
            if (count > 0) {
                m_pending.remove(0, count);
                continue;
            }
            if (count < 0 && errno == EINTR)
                continue;
            if (count < 0 && errno == EAGAIN) {
                m_writer->setEnabled(true);
                return;
            }
            m_pending.clear();
        }
        m_writer->setEnabled(false);
    }

    void closeTerminal() {
        if (m_master < 0)
            return;
        m_reader->setEnabled(false);
        m_writer->setEnabled(false);
        m_pending.clear();
        ::close(m_master);
        m_master = -1;
    }

    void signalGroup(int signal) {
        // The program leads its own session and process group.
        ::kill(-m_pid, signal);
        ::kill(m_pid, signal);
    }

    int m_master;
    pid_t m_pid;
    QSocketNotifier* m_reader = nullptr;
    QSocketNotifier* m_writer = nullptr;
    QByteArray m_pending;
    QByteArray m_read;
    QTimer m_killTimer;
    bool m_hungUp = false;
    std::optional<ProcessEnd> m_end;
};

// Whether the program's text is UTF-8: the character set its NLS_LANG names, or else the
// locale's.
bool writesUtf8() {
    if (const char* nlsLang = std::getenv("NLS_LANG")) {
        if (const CharacterSet* set = characterSetOfNlsLang(nlsLang))
            return set->encoding == "UTF-8";
    }
    return std::strcmp(::nl_langinfo(CODESET), "UTF-8") == 0;
}

// A new pseudo-terminal with the size given and the line discipline of an ordinary terminal.
int openTerminal(ConsoleProcess::Size size, QByteArray& farSide) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0)
        return -1;
    char name[256];
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
        ::ptsname_r(master, name, sizeof name) != 0) {
        const int error = errno;
        ::close(master);
        errno = error;
        return -1;
    }
    farSide = name;
    const winsize ws = windowSize(size);
    ::ioctl(master, TIOCSWINSZ, &ws);
    termios modes{};
    if (::tcgetattr(master, &modes) == 0) {
        // Line editing erases whole characters of UTF-8 text, and single bytes of the rest.
        if (writesUtf8())
            modes.c_iflag |= IUTF8;
        else
            modes.c_iflag &= ~static_cast<tcflag_t>(IUTF8);
        ::tcsetattr(master, TCSANOW, &modes);
    }
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    return master;
}

} // namespace

QString signalName(int signal) {
    const char* name = ::strsignal(signal);
    return name ? QString::fromLocal8Bit(name) : QString::number(signal);
}

ConsoleProcess::~ConsoleProcess() = default;

void ConsoleProcess::setHangUpGrace(std::chrono::milliseconds grace) {
    s_hangUpGrace = grace;
}

std::chrono::milliseconds ConsoleProcess::hangUpGrace() {
    return s_hangUpGrace;
}

ConsoleProcess::Start ConsoleProcess::start(const QByteArray& program,
                                            const QList<QByteArray>& arguments, Size size) {
    struct stat info {};
    if (program.isEmpty() || program.contains('\0') || ::stat(program.constData(), &info) != 0)
        return {nullptr, FileNotFoundFailure, errorText(ENOENT)};

    QByteArray farSide;
    const int master = openTerminal(size, farSide);
    if (master < 0) {
        const int error = errno;
        return {nullptr, error, errorText(error)};
    }

    std::vector<QByteArray> argumentStorage{program};
    for (const QByteArray& argument : arguments)
        argumentStorage.push_back(argument);
    std::vector<char*> argv = pointers(argumentStorage);

    // A session of its own, whose controlling terminal is the far side once it opens it; the
    // signals this program ignores or blocks are the program's own again.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigfillset(&defaults);
    sigdelset(&defaults, SIGKILL);
    sigdelset(&defaults, SIGSTOP);
    sigset_t noneBlocked;
    sigemptyset(&noneBlocked);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &noneBlocked);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, farSide.constData(), O_RDWR, 0);
    posix_spawn_file_actions_adddup2(&actions, STDIN_FILENO, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, STDIN_FILENO, STDERR_FILENO);

    pid_t pid = 0;
    const int error =
        ::posix_spawn(&pid, program.constData(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (error != 0) {
        ::close(master);
        return {nullptr, error, errorText(error)};
    }
    return {std::unique_ptr<ConsoleProcess>(new PseudoTerminalProcess(master, pid)), 0, {}};
}

} // namespace platform
