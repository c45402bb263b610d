// SPDX-License-Identifier: GPL-3.0-or-later
// What a flood of output costs the operator: a utility (cat) writes 100 MB to its terminal and
// the console shows it, as 80-character lines, as rows as wide as the terminal drawn over each
// other with carriage returns (a progress bar), as lines that each hold a wide character, which
// the screen measures in cells, and as problem lines, each one drawn in its colour. Figures: the
// time until the console shows the utility's end, beside cat of the same file on a bare
// pseudo-terminal whose output is read and thrown away (the terminal's own cost), measured in the
// same run, several runs of each, for the figure moves between runs; the longest stall of the event
// loop (a 1 ms heartbeat, from the start of the run to its last frame); the peak memory above the
// program's own. cat into a pipe that nobody reads but the bench is the floor under both.
#include "bench/PeakMemory.h"
#include "platform/ConsoleProcess.h"
#include "platform/Process.h"
#include "runs/console/ConsoleView.h"
#include "runs/console/UtilityConsole.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

#include <pty.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;
using namespace runs::console;

extern char** environ;

namespace {

const char* const Cat = "/bin/cat";

enum class Output { Lines, RewrittenRows, WideLines, ProblemLines };

const char* describe(Output output) {
    switch (output) {
    case Output::Lines:
        return "80-character lines";
    case Output::RewrittenRows:
        return "80-column rows rewritten with CR";
    case Output::WideLines:
        return "80-cell lines with one wide character each";
    case Output::ProblemLines:
        return "80-character problem lines, each coloured";
    }
    return "";
}

// About a megabyte of the output.
QByteArray outputChunk(Output output) {
    QByteArray chunk;
    for (int line = 0; chunk.size() < (1 << 20); ++line) {
        const QByteArray number = QByteArray::number(line);
        if (output == Output::RewrittenRows) {
            // "[#####.....]  45%", 80 cells, drawn over the last one.
            const int filled = line % 73;
            chunk += "\r[" + QByteArray(filled, '#') + QByteArray(73 - filled, '.') + "] " +
                     QByteArray::number(line % 100).rightJustified(3) + '%';
        } else if (output == Output::ProblemLines) {
            chunk +=
                "EXP-00011: SCOTT.TABLE" + number.rightJustified(43, '0') + " does not exist\n";
        } else {
            // The wide character is three bytes of UTF-8 in two cells.
            const QByteArray table = output == Output::WideLines ? "\xe6\x9d\xb1" : "TA";
            chunk +=
                ". . exporting " + table + "BLE " + number.rightJustified(53, '.') + "   rows\n";
        }
    }
    return chunk;
}

void writeOutput(const QString& path, qint64 megabytes, Output output) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    const QByteArray chunk = outputChunk(output);
    for (qint64 written = 0; written < megabytes << 20; written += chunk.size())
        file.write(chunk);
}

// cat into a pipe read as fast as it comes: no terminal, nothing shown.
double floorSeconds(const QByteArray& path) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    char* argv[] = {const_cast<char*>(Cat), const_cast<char*>(path.constData()), nullptr};
    QElapsedTimer clock;
    clock.start();
    pid_t pid = 0;
    if (::posix_spawn(&pid, Cat, &actions, nullptr, argv, environ) != 0)
        return -1;
    ::close(pipeEnds[1]);
    char buffer[64 * 1024];
    while (::read(pipeEnds[0], buffer, sizeof buffer) > 0) {
    }
    ::close(pipeEnds[0]);
    ::waitpid(pid, nullptr, 0);
    posix_spawn_file_actions_destroy(&actions);
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

// cat on a pseudo-terminal whose output is read and thrown away.
double bareTerminalSeconds(const QByteArray& path) {
    QElapsedTimer clock;
    clock.start();
    int master = -1;
    const pid_t pid = ::forkpty(&master, nullptr, nullptr, nullptr);
    if (pid == 0) {
        ::execl(Cat, Cat, path.constData(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    if (pid < 0)
        return -1;
    char buffer[64 * 1024];
    while (::read(master, buffer, sizeof buffer) > 0) {
    }
    ::close(master);
    ::waitpid(pid, nullptr, 0);
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

struct ConsoleFigures {
    double seconds = 0;
    double longestStallMs = 0;
    double peakAboveMb = 0;
    double historySeconds = 0;
    int lines = 0;
};

ConsoleFigures throughConsole(const QByteArray& path, int keptBlocks) {
    auto* console = new UtilityConsole;
    console->show();
    QCoreApplication::processEvents();
    const double before = peakMb();

    QElapsedTimer clock;
    clock.start();
    qint64 lastBeat = 0;
    qint64 longestGap = 0;
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longestGap = std::max(longestGap, now - lastBeat);
        lastBeat = now;
    });
    heartbeat.start(1);

    auto started = platform::ConsoleProcess::start(Cat, {path}, UtilityConsole::InitialSize);
    if (!started.process)
        qFatal("cannot start cat");
    console->attach(started.process.get(), QString::fromLatin1(Cat), u"cat"_s);
    platform::waitForProcess(started.process->processId(), -1);
    console->showEnd(started.process->finish());
    // The last frame: everything posted so far, painted.
    QTimer::singleShot(0, [] {});
    QCoreApplication::processEvents();
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    longestGap = std::max(longestGap, clock.nsecsElapsed() - lastBeat);

    // After the flood the kept lines come back into the console, the loop answering meanwhile.
    auto* view = console->findChild<ConsoleView*>();
    while (view->blockCount() < keptBlocks)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double history = static_cast<double>(clock.nsecsElapsed()) / 1e9 - seconds;
    longestGap = std::max(longestGap, clock.nsecsElapsed() - lastBeat);

    ConsoleFigures figures{seconds, static_cast<double>(longestGap) / 1e6, peakMb() - before,
                           history, view->blockCount()};
    console->close();
    return figures;
}

double median(QList<double> figures) {
    std::sort(figures.begin(), figures.end());
    return figures[figures.size() / 2];
}

void measure(const QString& path, qint64 megabytes, Output output, int runs, bool firstOutput) {
    const QByteArray file = QFile::encodeName(path);
    std::printf("%lld MB of output, %s\n", static_cast<long long>(megabytes), describe(output));
    floorSeconds(file); // the file into the page cache
    QList<double> ratios;
    double longestStall = 0;
    for (int run = 1; run <= runs; ++run) {
        const double floor = floorSeconds(file);
        const double bare = bareTerminalSeconds(file);
        // The kept lines and the console's own last line; rows drawn over each other are one.
        const int keptBlocks = output == Output::RewrittenRows ? 2 : ConsoleView::KeptLines + 1;
        const ConsoleFigures console = throughConsole(file, keptBlocks);
        ratios.append(console.seconds / bare);
        longestStall = std::max(longestStall, console.longestStallMs);
        std::printf("  run %d: bare terminal %6.3f s, console %6.3f s: %.2fx the bare terminal "
                    "(pipe floor %.3f s; history back + %.3f s, %d lines)\n",
                    run, bare, console.seconds, console.seconds / bare, floor,
                    console.historySeconds, console.lines);
        std::fflush(stdout);
        // The peak is the process's own: only the first run can raise it from where it starts.
        if (firstOutput && run == 1)
            std::printf("  peak memory above start:  %7.1f MB  (the output is %lld MB)\n",
                        console.peakAboveMb, static_cast<long long>(megabytes));
    }
    std::printf("  median: %.2fx the bare terminal; longest event-loop stall %.1f ms "
                "(heartbeat 1 ms; a frame is 16.7 ms)\n",
                median(ratios), longestStall);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const qint64 megabytes = argc > 1 ? QByteArray(argv[1]).toLongLong() : 100;
    const int runs = argc > 2 ? QByteArray(argv[2]).toInt() : 5;
    QTemporaryDir folder;
    const QString path = folder.filePath(u"output.txt"_s);
    bool first = true;
    for (const Output output :
         {Output::Lines, Output::RewrittenRows, Output::WideLines, Output::ProblemLines}) {
        writeOutput(path, megabytes, output);
        measure(path, megabytes, output, runs, first);
        first = false;
    }
    return 0;
}
