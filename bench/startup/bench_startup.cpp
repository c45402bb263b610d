// SPDX-License-Identifier: GPL-3.0-or-later
// Time from process start to the first complete frame of the main window, beside a bare Qt
// window of the same size and one holding a single label, started the same way in the same run;
// and the peak memory of each.
#include <QCoreApplication>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

long long monotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

struct Sample {
    double milliseconds;
    long long peakKilobytes;
};

Sample measure(const char* mode) {
    QProcess probe;
    const long long started = monotonicNanoseconds();
    probe.start(QStringLiteral(STARTUP_PROBE), {QString::fromLatin1(mode)});
    probe.waitForFinished(30000);
    const QList<QByteArray> fields = probe.readAllStandardOutput().trimmed().split(' ');
    if (fields.size() != 2)
        return {-1, -1};
    return {static_cast<double>(fields[0].toLongLong() - started) / 1e6, fields[1].toLongLong()};
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int runs = 15;
    const char* const modes[] = {"bare", "label", "tarnhold"};
    const char* const names[] = {"bare Qt window", "Qt window, one label", "Tarnhold window"};
    std::vector<double> times[3];
    long long peaks[3] = {};
    measure("label"); // warms the file cache for all
    for (int i = 0; i < runs; ++i) {
        for (int m = 0; m < 3; ++m) {
            const Sample sample = measure(modes[m]);
            times[m].push_back(sample.milliseconds);
            peaks[m] = std::max(peaks[m], sample.peakKilobytes);
        }
    }
    std::printf("startup to the first complete frame (median of %d, QT_QPA_PLATFORM=%s)\n", runs,
                qgetenv("QT_QPA_PLATFORM").constData());
    std::printf("  %-22s %8s %6s %12s %6s\n", "", "time", "ratio", "peak memory", "ratio");
    for (int m = 0; m < 3; ++m)
        std::printf("  %-22s %5.1f ms %6.2f %9lld kB %6.2f\n", names[m], median(times[m]),
                    median(times[2]) / median(times[m]), peaks[m],
                    static_cast<double>(peaks[2]) / static_cast<double>(peaks[m]));
    std::printf("  ratio: Tarnhold's figure over that window's\n");
    return 0;
}
