// SPDX-License-Identifier: GPL-3.0-or-later
// The program's own CPU time while a utility runs for five seconds: the wait should cost next
// to nothing, however long the utility takes. Its baseline, in the same run: the same utility
// started and waited for with QProcess.
#include "app/FrmMain.h"
#include "platform/MessageBox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>

namespace {

double ownCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QTemporaryDir home;
    QDir(home.path()).mkpath(QStringLiteral("bin"));
    QFile utility(home.filePath(QStringLiteral("bin/exp")));
    if (!utility.open(QIODevice::WriteOnly))
        return 1;
    utility.write("#!/bin/sh\nsleep 5\n");
    utility.close();
    utility.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    qputenv("ORA_HOME", QFile::encodeName(home.path()));
    qputenv("NLS_LANG", "AMERICAN_AMERICA.AL32UTF8");
    platform::MessageBox::setInterceptor([](const platform::MessageBoxRequest& box) {
        std::fprintf(stderr, "unexpected box: %s\n", qPrintable(box.text));
        return QMessageBox::Ok;
    });

    frmMain window;
    window.show();
    const auto set = [&window](const char* name, const QString& text) {
        window.findChild<QLineEdit*>(QLatin1StringView(name))->setText(text);
    };
    set("txt_sid_e", QStringLiteral("DEMO"));
    set("txt_username_e", QStringLiteral("scott"));
    set("txt_password_e", QStringLiteral("tiger"));
    set("txt_directory_e", home.path());
    set("txt_exportfile", QStringLiteral("x.dump"));

    double baseline = ownCpuSeconds();
    QProcess plain;
    plain.start(utility.fileName(), {});
    plain.waitForFinished(-1);
    baseline = ownCpuSeconds() - baseline;

    const double before = ownCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    window.findChild<QPushButton*>(QStringLiteral("cmd_export"))->click();
    const double cpu = ownCpuSeconds() - before;
    std::printf("CPU time of the program while a utility ran %.1f s: %.3f s (%.2f%% of one core); "
                "QProcess waiting for the same utility: %.3f s; ratio %.2f\n",
                static_cast<double>(wall.elapsed()) / 1000.0, cpu,
                100.0 * cpu / (static_cast<double>(wall.elapsed()) / 1000.0), baseline,
                cpu / qMax(baseline, 0.001));
    return 0;
}
