// SPDX-License-Identifier: GPL-3.0-or-later
// What finding a log's problem lines costs, beside baselines measured in the same run: the line
// index of a 1 GB log built with and without the problem scan, the same for a gigabyte in which
// every line is a problem, and F8 from the start of the 1 GB log to its one problem near the end
// beside one repaint of the same window. Each figure is the median of several runs. The logs are
// written to a temporary folder that the benchmark creates and removes.
#include "bench/PeakMemory.h"
#include "platform/ReadOnlyFile.h"
#include "runs/logview/FrmLogView.h"
#include "runs/logview/LineIndex.h"
#include "runs/logview/LogTextView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <optional>

using namespace Qt::Literals::StringLiterals;
using namespace runs::logview;

namespace {

constexpr int Runs = 11;
constexpr qint64 Gigabyte = qint64(1) << 30;

double seconds(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

double median(QList<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// 80-character lines as exp writes them; with `allProblems` each is a coded message instead.
// Near the end, one warning; last, the closing line.
void writeLog(const QString& path, bool allProblems) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    const QByteArray closing = "Export terminated successfully with warnings.\n";
    const QByteArray warning =
        QByteArray("EXP-00011: SCOTT.BONUS does not exist").leftJustified(79) + '\n';
    QByteArray chunk;
    qint64 written = 0;
    for (qint64 row = 0; written + chunk.size() < Gigabyte - closing.size(); ++row) {
        const QByteArray number = QByteArray::number(row).rightJustified(9, '0');
        const QByteArray line =
            allProblems ? QByteArray("EXP-00011: SCOTT.TABLE_" + number + " does not exist")
                        : QByteArray(". . exporting table SALES_" + number + "   " +
                                     QByteArray::number((row * 7919) % 1000000) + " rows exported");
        chunk += line.leftJustified(79, ' ') + '\n';
        if (chunk.size() >= (1 << 20)) {
            file.write(chunk);
            written += chunk.size();
            chunk.clear();
        }
    }
    chunk.chop(warning.size());
    file.write(chunk + warning + closing);
}

// Processor time of this thread so far, in seconds.
double threadSeconds() {
    timespec used{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &used);
    return static_cast<double>(used.tv_sec) + static_cast<double>(used.tv_nsec) / 1e9;
}

struct Timing {
    double wall = 0;
    double processor = 0;
};

// The indexing thread's work: the file read a block at a time and scanned. Without a way to
// scan, only read.
Timing indexSeconds(const QString& path, std::optional<LineIndex::Problems> problems,
                    LineProblems* found = nullptr) {
    const auto file = platform::ReadOnlyFile::open(path);
    QByteArray buffer(256 * 1024, Qt::Uninitialized);
    QElapsedTimer timer;
    timer.start();
    const double processor = threadSeconds();
    LineIndex index(problems.value_or(LineIndex::Problems::Ignored));
    qint64 read = 0;
    for (qint64 got = 0; (got = file->read(read, buffer.data(), buffer.size())) > 0; read += got) {
        if (problems)
            index.scan(QByteArrayView(buffer.constData(), got));
    }
    const Timing elapsed{seconds(timer), threadSeconds() - processor};
    if (found)
        *found = index.problems();
    return elapsed;
}

// The medians of the wall and the processor times.
Timing median(const QList<Timing>& timings) {
    QList<double> wall, processor;
    for (const Timing& timing : timings) {
        wall.append(timing.wall);
        processor.append(timing.processor);
    }
    return {median(wall), median(processor)};
}

void row(const char* figure, double ours, const QString& baseline, double base) {
    std::printf("  %-40s %9.1f ms   %-26s %9.1f ms %7.2f\n", figure, ours * 1000,
                qPrintable(baseline), base * 1000, ours / base);
}

void rows(const char* figure, const Timing& ours, const QString& baseline, const Timing& base) {
    row(figure, ours.wall, baseline, base.wall);
    row(QByteArray(QByteArray(figure) + ", processor").constData(), ours.processor, baseline,
        base.processor);
}

// Runs the event loop, sleeping between events, until the condition holds.
void runUntil(const std::function<bool()>& done) {
    QTimer look;
    look.start(10);
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// From the action to the frame it causes, complete: a zero timer posted from the first paint
// after it runs once the whole window is painted.
class FrameClock : public QObject {
public:
    explicit FrameClock(QWidget* watched) : m_watched(watched) {
        watched->installEventFilter(this);
    }
    ~FrameClock() override { m_watched->removeEventFilter(this); }
    double time(const std::function<void()>& action) {
        m_seconds = -1;
        m_posted = false;
        m_clock.start();
        action();
        runUntil([this] { return m_seconds >= 0; });
        return m_seconds;
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_posted) {
            m_posted = true;
            QTimer::singleShot(0, this, [this] { m_seconds = seconds(m_clock); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget* m_watched;
    QElapsedTimer m_clock;
    double m_seconds = -1;
    bool m_posted = false;
};

void press(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(widget, &event);
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString plain = dir.filePath(u"plain.log"_s);
    const QString problems = dir.filePath(u"problems.log"_s);
    writeLog(plain, false);
    writeLog(problems, true);
    std::printf("problem lines in the log window, median of %d runs; logs in %s\n", Runs,
                qPrintable(dir.path()));
    std::printf("  %-40s %12s   %-26s %12s %7s\n", "figure", "Tarnhold", "baseline, same run", "",
                "ratio");

    // Runs alternate, so that a busier moment of the machine weighs on both alike.
    QList<Timing> with, without, read, allWith, allWithout;
    LineProblems found, allFound;
    indexSeconds(plain, std::nullopt); // warms the page cache
    for (int run = 0; run < Runs; ++run) {
        read.append(indexSeconds(plain, std::nullopt));
        without.append(indexSeconds(plain, LineIndex::Problems::Ignored));
        with.append(indexSeconds(plain, LineIndex::Problems::Found, &found));
    }
    indexSeconds(problems, std::nullopt);
    const double before = peakMb();
    for (int run = 0; run < Runs; ++run) {
        allWithout.append(indexSeconds(problems, LineIndex::Problems::Ignored));
        allWith.append(indexSeconds(problems, LineIndex::Problems::Found, &allFound));
    }
    std::printf("1 GB of 80-character lines, %zu problem\n", found.tally.problems);
    rows("indexed, problems found", median(with), u"indexed alone"_s, median(without));
    rows("indexed alone", median(without), u"read alone"_s, median(read));
    std::printf("1 GB in which each of %zu lines is a problem\n", allFound.tally.problems);
    rows("indexed, problems found", median(allWith), u"indexed alone"_s, median(allWithout));
    std::printf("  %-40s %9.1f MB   (%lld marks kept, %lld bytes)\n", "peak memory growth",
                peakMb() - before, static_cast<long long>(allFound.marks.bucketCount()),
                static_cast<long long>(allFound.marks.bucketCount() *
                                       qsizetype(sizeof(ProblemMarks::Bucket))));

    // F8 in the window, the whole log indexed.
    frmLogView window;
    window.showLog(u"Export Log"_s, platform::ReadOnlyFile::open(plain), plain);
    auto* view = window.findChild<LogTextView*>(u"txt_logtext"_s);
    view->setFocus();
    runUntil([view] { return !view->isIndexing(); });
    FrameClock frame(view->viewport());
    QList<double> f8, repaint;
    for (int run = 0; run < Runs; ++run) {
        press(view, Qt::Key_Home, Qt::ControlModifier);
        runUntil([] { return true; });
        repaint.append(frame.time([view] { view->viewport()->update(); }));
        f8.append(frame.time([view] { press(view, Qt::Key_F8); }));
    }
    std::printf("F8 from the start of the 1 GB log to its problem near the end\n");
    row("key to the frame that shows it", median(f8), u"one repaint"_s, median(repaint));
    std::printf("indexed: the indexing thread's read and scan of the whole log, timed on the clock "
                "and in the thread's processor time; indexed alone: the same without the problem "
                "scan; the marks are the log's only memory for its problems, whatever their "
                "number\n");
    return 0;
}
