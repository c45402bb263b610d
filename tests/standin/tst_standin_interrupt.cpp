// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin_home.h"

#include <QRegularExpression>
#include <QtTest>

#include <csignal>

using namespace Qt::StringLiterals;

// exp and imp stopped halfway through SCOTT.BIG (200,000 rows). SIGTERM unwinds the run: the
// unfinished dump is removed, the table being imported is rolled back (commit=y keeps what it
// committed and says how much), and the log gets its closing line. SIGKILL cannot be caught: the
// final dump name is still safe, and the next run cleans up what the killed one left, a partial
// dump or a database's unfinished transaction, and says so.
class InterruptTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void stoppedHalfway_data();
    void stoppedHalfway();

private:
    std::unique_ptr<StandinHome> home_;
    QString bigDump_;
    QByteArray pristineTest_;
};

void InterruptTest::initTestCase() {
    home_ = std::make_unique<StandinHome>(QStringList{u"--big"_s, u"200000"_s});
    QVERIFY(home_->isValid());
    bigDump_ = home_->path(u"big.dump"_s);
    QCOMPARE(home_->exp({u"scott/tiger@DEMO"_s, u"file="_s + bigDump_, u"tables=BIG"_s}).exitCode,
             0);
    pristineTest_ = fileBytes(home_->database(u"TEST"_s));
}

void InterruptTest::init() {
    const auto test = home_->database(u"TEST"_s);
    QFile::remove(test + u"-journal"_s);
    QFile file(test);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(pristineTest_);
}

void InterruptTest::stoppedHalfway_data() {
    QTest::addColumn<QString>("tool");
    QTest::addColumn<int>("signal");
    QTest::addColumn<QString>("option"); // exp: "earlier" puts a dump at the name first
    QTest::addColumn<QString>("logged"); // a line the stopped run's log must hold

    const auto exp = u"exp"_s;
    const auto imp = u"imp"_s;
    QTest::newRow("exp SIGKILL") << exp << int(SIGKILL) << QString() << QString();
    QTest::newRow("exp SIGKILL over an earlier dump")
        << exp << int(SIGKILL) << u"earlier"_s << QString();
    QTest::newRow("exp SIGTERM")
        << exp << int(SIGTERM) << QString()
        << u"ORA-01013: user requested cancel of current operation: interrupted by SIGTERM"_s;
    QTest::newRow("exp SIGTERM over an earlier dump")
        << exp << int(SIGTERM) << u"earlier"_s
        << u"ORA-01013: user requested cancel of current operation: interrupted by SIGTERM"_s;
    QTest::newRow("exp SIGHUP")
        << exp << int(SIGHUP) << QString()
        << u"ORA-01013: user requested cancel of current operation: interrupted by SIGHUP"_s;
    QTest::newRow("imp SIGTERM commit=n")
        << imp << int(SIGTERM) << u"commit=n"_s << u"0 rows, all of them rolled back"_s;
    QTest::newRow("imp SIGTERM commit=y")
        << imp << int(SIGTERM) << u"commit=y"_s << u"rows committed before the failure"_s;
    QTest::newRow("imp SIGKILL commit=n") << imp << int(SIGKILL) << u"commit=n"_s << QString();
    QTest::newRow("imp SIGKILL commit=y") << imp << int(SIGKILL) << u"commit=y"_s << QString();
}

void InterruptTest::stoppedHalfway() {
    QFETCH(QString, tool);
    QFETCH(int, signal);
    QFETCH(QString, option);
    QFETCH(QString, logged);

    QTemporaryDir dumps;
    const bool exporting = tool == u"exp"_s;
    const auto dump = exporting ? dumps.filePath(u"big.dump"_s) : bigDump_;
    const QString log = dumps.filePath(u"run.log"_s);
    const QByteArray earlier = "an earlier, complete dump\n";
    if (option == u"earlier"_s) {
        QFile file(dump);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(earlier);
    }
    QStringList args{exporting ? u"scott/tiger@DEMO"_s : u"scott/tiger@TEST"_s, u"file="_s + dump,
                     u"log="_s + log, u"feedback=1000"_s};
    if (exporting)
        args << u"tables=BIG"_s;
    else
        args << option;

    QProcess process;
    home_->start(process, exporting ? QStringLiteral(STANDIN_EXP) : QStringLiteral(STANDIN_IMP),
                 args);
    QVERIFY(process.waitForStarted());
    // An import stopped after 60,000 rows has written more than SQLite keeps in memory, so the
    // database file and its journal hold unfinished work.
    const int dotsToWait = exporting ? 5 : 60;
    QByteArray dots;
    while (dots.count('.') < dotsToWait && process.state() == QProcess::Running) {
        process.waitForReadyRead(5000);
        dots += process.readAllStandardOutput();
    }
    QVERIFY2(dots.count('.') >= dotsToWait, "the run printed no progress");
    ::kill(static_cast<pid_t>(process.processId()), signal);
    QVERIFY(process.waitForFinished(10000));

    const auto test = home_->database(u"TEST"_s);
    const auto partials = QDir(dumps.path()).entryList({u"big.dump.partial-*"_s});
    if (signal != SIGKILL) {
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 2);
        const auto text = QString::fromUtf8(fileBytes(log));
        QVERIFY2(text.contains(logged), qPrintable(text));
        QVERIFY(text.endsWith(exporting ? u"EXP-00000: Export terminated unsuccessfully\n"_s
                                        : u"IMP-00000: Import terminated unsuccessfully\n"_s));
        QVERIFY(partials.isEmpty());
    } else {
        QCOMPARE(process.exitStatus(), QProcess::CrashExit);
        QCOMPARE(partials.size(), exporting ? 1 : 0); // unfinished work, apart from the dump
    }
    if (exporting) {
        if (option == u"earlier"_s)
            QCOMPARE(fileBytes(dump), earlier);
        else
            QVERIFY(!QFile::exists(dump));
    } else if (option == u"commit=y"_s && signal != SIGKILL) {
        const auto committed = QRegularExpression(u"imported SCOTT.BIG: (\\d+) rows committed"_s)
                                   .match(QString::fromUtf8(fileBytes(log)));
        QVERIFY(committed.hasMatch());
        QCOMPARE(rowCount(test, u"SCOTT.BIG"_s), committed.captured(1).toLongLong());
    }

    // The next run starts clean and says what it cleaned up. For imp that is a read-only
    // export of TEST, which the killed import left with an unfinished transaction.
    const auto next = home_->exp({exporting ? u"scott/tiger@DEMO"_s : u"scott/tiger@TEST"_s,
                                  u"file="_s + dumps.filePath(u"big.dump"_s),
                                  u"log="_s + dumps.filePath(u"next.log"_s), u"rows=n"_s});
    QCOMPARE(next.exitCode, 0);
    if (signal == SIGKILL && option != u"commit=y"_s) { // commit=y may have been between buffers
        QVERIFY2(next.log.contains(exporting ? u"Removed "_s + dumps.path() : u"Rolled back"_s),
                 qPrintable(next.log));
    }
    QVERIFY(QDir(dumps.path()).entryList({u"big.dump.partial-*"_s}).isEmpty());
    if (!exporting && option == u"commit=n"_s)
        QVERIFY(!tableExists(test, u"SCOTT.BIG"_s));
}

QTEST_GUILESS_MAIN(InterruptTest)
#include "tst_standin_interrupt.moc"
