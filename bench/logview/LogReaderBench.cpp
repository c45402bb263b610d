// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader and a changing log cost in the log window, beside a frame of the same
// window measured in the same run: the slowest answer to each kind of question about a part of
// the text (before, at and after the start, the middle and the end), and the look for a change
// made before each frame, move, copy, search and screen reader's question. The logs are written
// to a temporary folder that the benchmark creates and removes.
#include "platform/ReadOnlyFile.h"
#include "runs/logview/FrmLogView.h"
#include "runs/logview/LogAccessible.h"
#include "runs/logview/LogTextView.h"

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;
using namespace runs::logview;

namespace {

double microseconds(const QElapsedTimer& timer, int rounds) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e3 / rounds;
}

// Lines as exp writes them, to about that many bytes.
void writeLog(const QString& path, qint64 bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    QByteArray chunk;
    for (qint64 row = 0, written = 0; written < bytes; ++row) {
        chunk += ". . exporting table SALES_" + QByteArray::number(row).rightJustified(9, '0') +
                 "   " + QByteArray::number((row * 7919) % 1000000) + " rows exported.\n";
        if (chunk.size() >= (1 << 20) || written + chunk.size() >= bytes) {
            file.write(chunk);
            written += chunk.size();
            chunk.clear();
        }
    }
}

// A frame of the window as the operator waits for it: the text box painted whole.
double frameMicroseconds(LogTextView* view) {
    constexpr int Rounds = 50;
    view->viewport()->repaint();
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < Rounds; ++i) {
        view->viewport()->update();
        view->viewport()->repaint();
    }
    return microseconds(timer, Rounds);
}

void row(const char* figure, double ours, const QString& baseline, double base) {
    std::printf("  %-34s %9.1f us   %-28s %9.1f us %7.3f\n", figure, ours, qPrintable(baseline),
                base, ours / base);
}

void measure(const QString& label, const QString& path, bool atEnd) {
    frmLogView window;
    window.showLog(u"Export Log"_s, platform::ReadOnlyFile::open(path), path);
    auto* view = window.findChild<LogTextView*>(u"txt_logtext"_s);
    while (view->isIndexing())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    if (atEnd) {
        QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
        QApplication::sendEvent(view, &end);
    }
    QAccessibleTextInterface* text = QAccessible::queryAccessibleInterface(view)->textInterface();
    const int size = text->characterCount();
    const double frame = frameMicroseconds(view);
    std::printf("%s: %d characters offered to screen readers\n", qPrintable(label), size);

    using Ask =
        QString (QAccessibleTextInterface::*)(int, QAccessible::TextBoundaryType, int*, int*) const;
    const Ask questions[] = {&QAccessibleTextInterface::textBeforeOffset,
                             &QAccessibleTextInterface::textAtOffset,
                             &QAccessibleTextInterface::textAfterOffset};
    const struct {
        const char* name;
        QAccessible::TextBoundaryType unit;
    } units[] = {
        {"character", QAccessible::CharBoundary},    {"word", QAccessible::WordBoundary},
        {"sentence", QAccessible::SentenceBoundary}, {"paragraph", QAccessible::ParagraphBoundary},
        {"line", QAccessible::LineBoundary},         {"whole text", QAccessible::NoBoundary}};
    for (const auto& [name, unit] : units) {
        double slowest = 0;
        for (const int offset : {0, size / 2, size, -1}) {
            for (const Ask ask : questions) {
                constexpr int Rounds = 20;
                int start = 0;
                int end = 0;
                QElapsedTimer timer;
                timer.start();
                for (int i = 0; i < Rounds; ++i)
                    (text->*ask)(offset, unit, &start, &end);
                slowest = qMax(slowest, microseconds(timer, Rounds));
            }
        }
        row(qPrintable(u"slowest question, by %1"_s.arg(QLatin1StringView(name))), slowest,
            u"a frame of the window"_s, frame);
    }

    constexpr int Rounds = 2000;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < Rounds; ++i)
        view->document().change();
    row("look for a change", microseconds(timer, Rounds), u"a frame of the window"_s, frame);
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    LogAccessible::install();
    QTemporaryDir dir;
    std::printf("log window, screen readers and changes (QT_QPA_PLATFORM=offscreen); logs in %s\n",
                qPrintable(dir.path()));
    std::printf("  %-34s %12s   %-28s %12s %7s\n", "figure", "Tarnhold", "baseline, same run", "",
                "ratio");
    const QString small = dir.filePath(u"whole.log"_s);
    writeLog(small, 1000 * 1000);
    measure(u"1 MB log, offered whole"_s, small, false);
    const QString large = dir.filePath(u"large.log"_s);
    writeLog(large, qint64(100) << 20);
    measure(u"100 MB log at its end, a part offered"_s, large, true);
    std::printf("question: textBeforeOffset, textAtOffset and textAfterOffset at 0, the middle, "
                "the end and -1, 20 rounds each; frame: the text box repainted whole; look for a "
                "change: the state of the file and of its path, and the first and last 64 bytes "
                "indexed read again\n");
    return 0;
}
