// Time from process start to the first paint of the main window, beside a bare Qt window of the
// same size started the same way in the same run; and the peak memory of each.
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
    std::vector<double> bare;
    std::vector<double> main;
    long long barePeak = 0;
    long long mainPeak = 0;
    measure("bare"); // warms the file cache for both
    for (int i = 0; i < runs; ++i) {
        const Sample b = measure("bare");
        const Sample m = measure("tarnhold");
        bare.push_back(b.milliseconds);
        main.push_back(m.milliseconds);
        barePeak = std::max(barePeak, b.peakKilobytes);
        mainPeak = std::max(mainPeak, m.peakKilobytes);
    }
    std::printf("startup to first paint (median of %d, QT_QPA_PLATFORM=%s)\n", runs,
                qgetenv("QT_QPA_PLATFORM").constData());
    std::printf("  bare Qt window   %8.1f ms   peak memory %6lld kB\n", median(bare), barePeak);
    std::printf("  Tarnhold window  %8.1f ms   peak memory %6lld kB\n", median(main), mainPeak);
    std::printf("  ratio            %8.2f\n", median(main) / median(bare));
    return 0;
}
