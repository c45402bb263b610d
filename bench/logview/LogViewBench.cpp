// Each log is measured in a child process of its own, so every peak memory figure starts from a
// fresh program. The parent writes the logs and prints the table.
#include "app/FrmMain.h"
#include "platform/MessageBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

// VmHWM (peak) or VmRSS (now) of this process in MB.
double memoryMb(const char* field) {
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return -1;
}

double seconds(QElapsedTimer& timer) {
    const double elapsed = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    timer.restart();
    return elapsed;
}

// A log as exp writes it: a header, then a line per table, or with feedback on, a line of
// dots per table as well.
void writeLog(const QString& path, qint64 bytes, bool dots) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    QByteArray chunk = "Export: Release 8.1.7.4.1 - Production on Mon Mar 5 10:11:12 2004\n\n"
                       "Connected to: Oracle8i Enterprise Edition Release 8.1.7.4.1\n"
                       "Export done in WE8ISO8859P1 character set\n"
                       "About to export the listed users ...\n";
    qint64 written = 0;
    for (int table = 0; written < bytes; ++table) {
        chunk += ". . exporting table                 SALES_HISTORY_" +
                 QByteArray::number(table).rightJustified(7, '0');
        if (dots)
            chunk += '\n' + QByteArray(20000 + (table % 7) * 5000, '.') + '\n';
        chunk += "      " + QByteArray::number((table * 7919) % 1000000) + " rows exported\n";
        if (chunk.size() > (1 << 20) || written + chunk.size() >= bytes) {
            chunk.truncate(qMin<qint64>(chunk.size(), bytes - written));
            file.write(chunk);
            written += chunk.size();
            chunk.clear();
        }
    }
}

QPlainTextEdit* logText() {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->objectName() == u"frmLogView"_s && top->isVisible())
            return top->findChild<QPlainTextEdit*>(u"txt_logtext"_s);
    }
    return nullptr;
}

// Runs the event loop until the whole log is in the box; returns the longest time the loop
// was kept from answering.
double waitUntilLoaded(QPlainTextEdit* text, qint64 characters) {
    QEventLoop loop;
    QTimer tick;
    QElapsedTimer sinceTick;
    double longest = 0;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        longest = qMax(longest, static_cast<double>(sinceTick.nsecsElapsed()) / 1e9);
        sinceTick.restart();
        if (text->document()->characterCount() >= characters)
            loop.quit();
    });
    tick.start(1);
    sinceTick.start();
    loop.exec();
    return longest;
}

int viewOne(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString directory = QString::fromLocal8Bit(argv[1]);
    const QString file = QString::fromLocal8Bit(argv[2]);
    // An ASCII log: a character per byte, and one more for the document's last block.
    const qint64 characters = QFileInfo(directory + u'/' + file + u".log"_s).size() + 1;
    platform::MessageBox::setInterceptor([](const platform::MessageBoxRequest& box) {
        qFatal("unexpected box: %s", qPrintable(box.text));
        return QMessageBox::Ok;
    });

    frmMain window;
    window.show();
    QCoreApplication::processEvents();
    window.findChild<QLineEdit*>(u"txt_directory_e"_s)->setText(directory);
    window.findChild<QLineEdit*>(u"txt_exportfile"_s)->setText(file);
    auto* button = window.findChild<QPushButton*>(u"cmd_view_explog"_s);
    const double before = memoryMb("VmHWM");

    QElapsedTimer timer;
    QElapsedTimer total;
    timer.start();
    total.start();
    button->click();
    const double click = seconds(timer);
    QCoreApplication::processEvents(); // shows and paints the window
    const double paint = seconds(timer);
    QPlainTextEdit* text = logText();
    if (!text)
        qFatal("the log window did not open");
    const double stall = waitUntilLoaded(text, characters);
    const double full = seconds(total);

    timer.restart();
    text->verticalScrollBar()->setValue(text->verticalScrollBar()->maximum());
    QCoreApplication::processEvents();
    const double toEnd = seconds(timer);

    // The same log again: the full window is emptied before the first piece goes in.
    button->click();
    const double refill = seconds(timer);
    waitUntilLoaded(text, characters);

    std::printf("%.3f %.3f %.3f %.3f %.3f %.3f %.0f %.0f %.0f\n", click, paint, stall, full, toEnd,
                refill, before, memoryMb("VmHWM"), memoryMb("VmRSS"));
    text->window()->close();
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc == 4)
        return viewOne(argc, argv);

    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    std::printf("%-18s %7s %7s %7s %7s %7s %7s %8s %8s %8s\n", "log", "open", "paint", "stall",
                "loaded", "to end", "refill", "peak MB", "+peak", "RSS MB");
    for (const bool dots : {false, true}) {
        for (const int mb : {1, 10, 100}) {
            const QString name = u"log%1.dump"_s.arg(mb);
            writeLog(dir.filePath(name + u".log"_s), qint64(mb) << 20, dots);
            QProcess child;
            child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            child.start(QCoreApplication::applicationFilePath(), {dir.path(), name, u"-"_s});
            child.waitForFinished(-1);
            const QList<QByteArray> f = child.readAllStandardOutput().simplified().split(' ');
            const QString label = u"%1 MB%2"_s.arg(mb).arg(dots ? u", dots"_s : QString());
            if (child.exitCode() != 0 || f.size() != 9) {
                std::printf("%s: the child failed\n", qPrintable(label));
                continue;
            }
            std::printf("%-18s %7s %7s %7s %7s %7s %7s %8s %8.0f %8s\n", qPrintable(label),
                        f[0].constData(), f[1].constData(), f[2].constData(), f[3].constData(),
                        f[4].constData(), f[5].constData(), f[7].constData(),
                        f[7].toDouble() - f[6].toDouble(), f[8].constData());
            QFile::remove(dir.filePath(name + u".log"_s));
        }
    }
    std::printf("seconds: open = the button press, paint = first paint after it, stall = longest "
                "time the event loop was kept busy while loading, loaded = press until the whole "
                "log is in the window, refill = pressing again with the window full\n");
    return 0;
}
