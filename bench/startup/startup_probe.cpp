// SPDX-License-Identifier: GPL-3.0-or-later
// Started by bench-startup: opens the main window, a bare Qt window, or a bare Qt window holding
// one label, and once its first frame is complete prints the monotonic clock (ns) and the peak
// resident memory (kB), then quits.
#include "app/FrmMain.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTimer>

#include <cstdio>
#include <ctime>
#include <memory>

namespace {

long long monotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

long long peakResidentKilobytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// The top-level window's first paint event comes before any child is drawn; a zero timer
// posted from it runs once the whole frame has been painted and flushed.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_done) {
            m_done = true;
            QTimer::singleShot(0, qApp, [] {
                const long long completeAt = monotonicNanoseconds();
                std::printf("%lld %lld\n", completeAt, peakResidentKilobytes());
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_done = false;
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    std::unique_ptr<QWidget> window;
    if (mode == "bare" || mode == "label") {
        window = std::make_unique<QWidget>();
        window->resize(886, 655);
        if (mode == "label")
            (new QLabel(QStringLiteral("Export"), window.get()))->move(16, 16);
    } else {
        window = std::make_unique<frmMain>();
    }
    FirstPaint probe;
    window->installEventFilter(&probe);
    window->show();
    return QApplication::exec();
}
