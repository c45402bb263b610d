// Started by bench-startup: opens either the main window or a bare Qt window, and at the
// first paint prints the monotonic clock (ns) and the peak resident memory (kB), then quits.
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

class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_done) {
            m_done = true;
            const long long paintedAt = monotonicNanoseconds();
            QTimer::singleShot(0, qApp, [paintedAt] {
                std::printf("%lld %lld\n", paintedAt, peakResidentKilobytes());
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
    const bool bare = argc > 1 && QByteArray(argv[1]) == "bare";
    std::unique_ptr<QWidget> window =
        bare ? std::make_unique<QWidget>() : std::make_unique<frmMain>();
    if (bare)
        window->resize(886, 655);
    FirstPaint probe;
    window->installEventFilter(&probe);
    window->show();
    return QApplication::exec();
}
