// SPDX-License-Identifier: GPL-3.0-or-later
// What the operator waits for when a large log is opened with "VL", beside baselines measured
// in the same run on the same file: the first screen of `less`, a plain read of the file from
// the page cache, and the program's own idle event loop. Each log is opened in a child process
// of its own, so every memory figure starts from a fresh program. The logs are written to a
// temporary folder that the benchmark creates and removes.
#include "app/FrmMain.h"
#include "bench/PeakMemory.h"
#include "platform/MessageBox.h"
#include "platform/ReadOnlyFile.h"
#include "runs/logview/LogTextView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;
using namespace runs::logview;

namespace {

// Processor time of this process so far, user and system, in seconds.
double cpuSeconds() {
    timespec used{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return static_cast<double>(used.tv_sec) + static_cast<double>(used.tv_nsec) / 1e9;
}

double seconds(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

const QByteArray FirstLine = "Export: Release 8.1.7.4.1 - Production on Mon Mar 5 10:11:12 2004";

enum class Shape { Lines, AccentedLines, Latin1Lines, OneLine, OneLineShiftJis, EmptyLines };

// A log of 80-character lines as exp writes it (table names with accented letters in UTF-8 or
// ISO-8859-1 for the accented shapes), one line of that size (an imp log that copies a damaged
// dump's header line), one line of Japanese in Shift_JIS with no byte where a character surely
// starts (each cut is found from the one before), or nothing but line ends.
void writeLog(const QString& path, qint64 bytes, Shape shape) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    if (shape == Shape::EmptyLines || shape == Shape::OneLineShiftJis) {
        const QByteArray chunk = shape == Shape::EmptyLines
                                     ? QByteArray(1 << 20, '\n')
                                     : QByteArray("\x93\xfa\x96\x7b\x8c\xea").repeated(1 << 17);
        for (qint64 written = 0; written < bytes; written += chunk.size())
            file.write(chunk.constData(), qMin<qint64>(chunk.size(), bytes - written));
        return;
    }
    const bool oneLine = shape == Shape::OneLine;
    const QByteArray table = shape == Shape::Latin1Lines     ? "M\xdcLLER_\xc6R\xd8_"
                             : shape == Shape::AccentedLines ? "M\xc3\x9cLLER_\xc3\x86R\xc3\x98_"
                                                             : "SALES_";
    QByteArray chunk = FirstLine + (oneLine ? " " : "\n");
    for (qint64 row = 0, written = 0; written < bytes; ++row) {
        if (oneLine)
            chunk += "IMP-00009 header " + QByteArray::number(row).rightJustified(12, '0') + ' ';
        else
            chunk += QByteArray(". . exporting table SALES_" +
                                QByteArray::number(row).rightJustified(9, '0') + "   " +
                                QByteArray::number((row * 7919) % 1000000) + " rows exported")
                         .leftJustified(79, ' ') +
                     '\n';
        if (chunk.size() >= (1 << 20) || written + chunk.size() >= bytes) {
            chunk.truncate(qMin<qint64>(chunk.size(), bytes - written - (oneLine ? 1 : 0)));
            if (oneLine && written + chunk.size() + 1 >= bytes)
                chunk += '\n';
            file.write(chunk);
            written += chunk.size();
            chunk.clear();
        }
    }
}

struct Timing {
    double wall = 0;
    double cpu = 0;
};

// Reading the whole file in 1 MB blocks, as warm in the page cache as Tarnhold finds it.
Timing plainRead(const QString& path) {
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    Timing last;
    for (int round = 0; round < 2; ++round) { // the first round warms the cache
        const int descriptor = ::open(QFile::encodeName(path).constData(), O_RDONLY);
        QElapsedTimer timer;
        timer.start();
        const double cpu = cpuSeconds();
        while (::read(descriptor, buffer.data(), buffer.size()) > 0) {
        }
        last = {seconds(timer), cpuSeconds() - cpu};
        ::close(descriptor);
    }
    return last;
}

struct LessFigures {
    double firstScreen = -1;
    double peak = -1;
};

// `less` in a pseudo terminal of 120 x 40: seconds until its first screen shows the log's
// first words, and its peak memory then.
LessFigures lessFirstScreen(const QString& path) {
    const QString less = QStandardPaths::findExecutable(u"less"_s);
    if (less.isEmpty())
        return {};
    winsize size{40, 120, 0, 0};
    int terminal = -1;
    QElapsedTimer timer;
    timer.start();
    const pid_t child = ::forkpty(&terminal, nullptr, nullptr, &size);
    if (child == 0) {
        ::setenv("TERM", "xterm", 1);
        ::unsetenv("LESSOPEN");
        ::unsetenv("LESS");
        ::execl(QFile::encodeName(less).constData(), "less", QFile::encodeName(path).constData(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    if (child < 0)
        return {};
    LessFigures figures;
    QByteArray screen;
    const QByteArray marker = FirstLine.left(40);
    while (figures.firstScreen < 0 && timer.elapsed() < 60000) {
        pollfd ready{terminal, POLLIN, 0};
        if (::poll(&ready, 1, 100) <= 0)
            continue;
        char bytes[4096];
        const ssize_t got = ::read(terminal, bytes, sizeof bytes);
        if (got <= 0)
            break;
        screen.append(bytes, got);
        if (screen.contains(marker))
            figures.firstScreen = seconds(timer);
    }
    figures.peak = peakMb(QString::number(child));
    ::kill(child, SIGTERM);
    ::waitpid(child, nullptr, 0);
    ::close(terminal);
    return figures;
}

LogTextView* logView() {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->objectName() == u"frmLogView"_s && top->isVisible())
            return top->findChild<LogTextView*>(u"txt_logtext"_s);
    }
    return nullptr;
}

// Stops a clock once a frame is complete: at a zero timer posted from the first paint of the
// watched widget, which runs after the whole window has been painted.
class FrameClock : public QObject {
public:
    FrameClock(QWidget* watched, const QElapsedTimer& clock) : m_clock(clock) {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_posted) {
            m_posted = true;
            QTimer::singleShot(0, this, [this] { seconds = ::seconds(m_clock); });
        }
        return QObject::eventFilter(watched, event);
    }
    double seconds = -1;

private:
    const QElapsedTimer& m_clock;
    bool m_posted = false;
};

// The longest gap between the ticks of a 1 ms timer while it runs.
class Heartbeat : public QObject {
public:
    Heartbeat() {
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            longest = qMax(longest, ::seconds(m_sinceTick));
            m_sinceTick.restart();
        });
        m_timer.start(1);
        m_sinceTick.start();
    }
    double longest = 0;

private:
    QTimer m_timer;
    QElapsedTimer m_sinceTick;
};

// Runs the event loop, sleeping between events (a busy loop would take a processor from the
// index thread), and looks at the condition at least every 10 ms.
void runUntil(const std::function<bool()>& done) {
    QTimer look;
    look.start(10);
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// In the child: opens the log with the "VL" button and prints the click to the first complete
// frame, the longest stall with the idle loop's as its baseline, the time until the whole log
// is indexed, and the peak memory above the program's own.
int viewOne(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    platform::MessageBox::setInterceptor([](const platform::MessageBoxRequest& box) {
        qFatal("unexpected box: %s", qPrintable(box.text));
        return QMessageBox::Ok;
    });
    frmMain window;
    window.show();
    window.findChild<QLineEdit*>(u"txt_directory_e"_s)->setText(QString::fromLocal8Bit(argv[1]));
    window.findChild<QLineEdit*>(u"txt_exportfile"_s)->setText(QString::fromLocal8Bit(argv[2]));
    auto* button = window.findChild<QPushButton*>(u"cmd_view_explog"_s);
    QElapsedTimer settle;
    settle.start();
    runUntil([&] { return settle.elapsed() > 300; });

    double idleStall = 0;
    {
        Heartbeat idle;
        QElapsedTimer idleClock;
        idleClock.start();
        runUntil([&] { return idleClock.elapsed() > 500; });
        idleStall = idle.longest;
    }

    const double before = peakMb();
    auto heartbeat = std::make_unique<Heartbeat>();
    QElapsedTimer clock;
    std::unique_ptr<FrameClock> frame;
    double indexed = -1;
    double indexedCpu = -1;
    const double cpuBefore = cpuSeconds();
    QTimer::singleShot(0, &app, [&] {
        clock.start();
        button->click();
        LogTextView* view = logView();
        if (!view)
            qFatal("the log window did not open");
        frame = std::make_unique<FrameClock>(view->viewport(), clock);
        const auto done = [&] {
            indexed = seconds(clock);
            indexedCpu = cpuSeconds() - cpuBefore;
        };
        if (!view->isIndexing())
            done();
        QObject::connect(view, &LogTextView::indexed, &app, done);
    });
    runUntil([&] { return frame && frame->seconds >= 0 && indexed >= 0; });
    // A few frames more with the whole log indexed, the end of the log on screen.
    QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
    QApplication::sendEvent(logView(), &end);
    QElapsedTimer after;
    after.start();
    runUntil([&] { return after.elapsed() > 100; });

    const double peak = peakMb() - before;
    const double stall = heartbeat->longest;
    heartbeat.reset();
    logView()->window()->close();

    // The index build on its own, with the window closed: the thread's rate of work.
    QElapsedTimer alone;
    alone.start();
    const double cpuAlone = cpuSeconds();
    runs::logview::LogDocument document(platform::ReadOnlyFile::open(
        QString::fromLocal8Bit(argv[1]) + u'/' + QString::fromLocal8Bit(argv[2]) + u".log"_s));
    document.startIndexing();
    runUntil([&] { return !document.isIndexing(); });
    std::printf("%.4f %.4f %.4f %.4f %.4f %.1f %.4f %.4f\n", frame->seconds, stall, idleStall,
                indexed, indexedCpu, peak, seconds(alone), cpuSeconds() - cpuAlone);
    return 0;
}

void row(const char* figure, const QString& ours, const QString& baseline, double ratio) {
    std::printf("  %-28s %12s   %-34s %7.2f\n", figure, qPrintable(ours), qPrintable(baseline),
                ratio);
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc == 4)
        return viewOne(argc, argv);

    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    struct Log {
        const char* label;
        qint64 bytes;
        Shape shape;
        QString nlsLang;
    };
    const QString utf8 = u"AMERICAN_AMERICA.AL32UTF8"_s;
    const Log logs[] = {
        {"100 MB of 80-character lines", qint64(100) << 20, Shape::Lines, utf8},
        {"1 GB of 80-character lines", qint64(1) << 30, Shape::Lines, utf8},
        {"1 GB of lines with accented names in UTF-8", qint64(1) << 30, Shape::AccentedLines, utf8},
        {"1 GB of lines with accented names in ISO-8859-1", qint64(1) << 30, Shape::Latin1Lines,
         u"AMERICAN_AMERICA.WE8ISO8859P1"_s},
        {"1 GiB of empty lines", qint64(1) << 30, Shape::EmptyLines, utf8},
        {"10 MB in one line", qint64(10) << 20, Shape::OneLine, utf8},
        {"10 MB in one line of Shift_JIS", qint64(10) << 20, Shape::OneLineShiftJis,
         u"JAPANESE_JAPAN.JA16SJIS"_s}};
    // The 1 GB log of plain lines is the baseline for the other logs of that size, the one of
    // accented names in UTF-8 for the same names in ISO-8859-1.
    struct Figures {
        const char* label = "";
        double frame = -1;
        double indexed = -1;
        double peak = -1;
    } gigabyte, accented, oneLine;
    QFile load(u"/proc/loadavg"_s);
    load.open(QIODevice::ReadOnly);
    std::printf(
        "log window, opened with \"VL\" (QT_QPA_PLATFORM=%s, load average %s); logs in %s\n",
        qgetenv("QT_QPA_PLATFORM").constData(), load.readLine().trimmed().constData(),
        qPrintable(dir.path()));
    std::printf("  %-28s %12s   %-34s %7s\n", "figure", "Tarnhold", "baseline, same run", "ratio");
    for (const Log& log : logs) {
        const QString name = u"bench.dump"_s;
        const QString path = dir.filePath(name + u".log"_s);
        writeLog(path, log.bytes, log.shape);
        const Timing read = plainRead(path);
        // less is timed to the log's first words; a log without them has the others' baselines.
        const bool firstWords =
            log.shape != Shape::EmptyLines && log.shape != Shape::OneLineShiftJis;
        const LessFigures less = firstWords ? lessFirstScreen(path) : LessFigures{};

        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"NLS_LANG"_s, log.nlsLang);
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(), {dir.path(), name, u"-"_s});
        child.waitForFinished(-1);
        const QList<QByteArray> f = child.readAllStandardOutput().simplified().split(' ');
        std::printf("%s\n", log.label);
        if (child.exitCode() != 0 || f.size() != 8) {
            std::printf("  the child failed\n");
            QFile::remove(path);
            continue;
        }
        const double frame = f[0].toDouble(), stall = f[1].toDouble(), idle = f[2].toDouble(),
                     indexed = f[3].toDouble(), indexedCpu = f[4].toDouble(),
                     peak = f[5].toDouble(), alone = f[6].toDouble(), aloneCpu = f[7].toDouble();
        const auto ms = [](double s) { return u"%1 ms"_s.arg(s * 1000, 0, 'f', 1); };
        if (less.firstScreen >= 0) {
            row("click to first full frame", ms(frame),
                u"less, first screen "_s + ms(less.firstScreen), frame / less.firstScreen);
            row("peak memory above own", u"%1 MB"_s.arg(peak, 0, 'f', 1),
                u"less, whole process %1 MB"_s.arg(less.peak, 0, 'f', 1), peak / less.peak);
        } else {
            std::printf("  %s\n", firstWords ? "less is not installed: no baseline for the first "
                                               "frame and memory"
                                             : "no less baseline: the log has no first words");
            row("click to first full frame", ms(frame), u"-"_s, 0);
        }
        row("longest stall, click incl.", ms(stall), u"idle event loop "_s + ms(idle),
            stall / idle);
        row("whole log indexed", ms(indexed),
            u"plain read "_s + ms(read.wall) +
                u" (%1 MB/s)"_s.arg(double(log.bytes >> 20) / read.wall, 0, 'f', 0),
            indexed / read.wall);
        row("processor time to index", ms(indexedCpu), u"plain read "_s + ms(read.cpu),
            indexedCpu / read.cpu);
        row("index build alone", ms(alone), u"plain read "_s + ms(read.wall), alone / read.wall);
        row("index build alone, processor", ms(aloneCpu), u"plain read "_s + ms(read.cpu),
            aloneCpu / read.cpu);
        const Figures these{log.label, frame, indexed, peak};
        if (log.shape == Shape::Lines && log.bytes == (qint64(1) << 30))
            gigabyte = these;
        if (log.shape == Shape::AccentedLines)
            accented = these;
        if (log.shape == Shape::OneLine)
            oneLine = these;
        const Figures& baseline = log.shape == Shape::Latin1Lines       ? accented
                                  : log.shape == Shape::OneLineShiftJis ? oneLine
                                                                        : gigabyte;
        if ((log.bytes == (qint64(1) << 30) || log.shape == Shape::OneLineShiftJis) &&
            baseline.frame > 0 && baseline.label != log.label) {
            const QString against = QString::fromLatin1(baseline.label) + u' ';
            row("click to first full frame", ms(frame), against + ms(baseline.frame),
                frame / baseline.frame);
            row("whole log indexed", ms(indexed), against + ms(baseline.indexed),
                indexed / baseline.indexed);
            row("peak memory above own", u"%1 MB"_s.arg(peak, 0, 'f', 1),
                against + u"%1 MB"_s.arg(baseline.peak, 0, 'f', 1),
                baseline.peak > 0 ? peak / baseline.peak : 0);
        }
        QFile::remove(path);
    }
    std::printf(
        "stall: longest gap of a 1 ms timer from before the click until the whole log is "
        "indexed and its end shown; processor time: user and system, the whole program from the "
        "click; index build alone: the line index of the same file with no window; memory: the "
        "peak (VmHWM) at the end less the peak before the click; less: its "
        "peak at the first screen\n");
    return 0;
}
