#include "standin_home.h"

#include <QtTest>

#include <csignal>

using namespace Qt::StringLiterals;

// An export stopped halfway must never leave a partial dump under the final name, and must not
// disturb a complete dump an earlier run left there.
class InterruptTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void stoppedHalfway_data();
    void stoppedHalfway();

private:
    std::unique_ptr<StandinHome> home_;
};

void InterruptTest::initTestCase() {
    home_ = std::make_unique<StandinHome>(QStringList{u"--big"_s, u"200000"_s});
    QVERIFY(home_->isValid());
}

void InterruptTest::stoppedHalfway_data() {
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("earlierDump");

    QTest::newRow("SIGKILL, no earlier dump") << int(SIGKILL) << false;
    QTest::newRow("SIGKILL over an earlier dump") << int(SIGKILL) << true;
    QTest::newRow("SIGTERM, no earlier dump") << int(SIGTERM) << false;
    QTest::newRow("SIGTERM over an earlier dump") << int(SIGTERM) << true;
}

void InterruptTest::stoppedHalfway() {
    QFETCH(int, signal);
    QFETCH(bool, earlierDump);

    QTemporaryDir dumps;
    const auto dump = dumps.filePath(u"big.dump"_s);
    const QString log = dump + u".log"_s;
    const QByteArray earlier = "an earlier, complete dump\n";
    if (earlierDump) {
        QFile file(dump);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(earlier);
    }

    QProcess process;
    home_->start(process, QStringLiteral(STANDIN_EXP),
                 {u"scott/tiger@DEMO"_s, u"file="_s + dump, u"log="_s + log, u"tables=BIG"_s,
                  u"feedback=1000"_s});
    QVERIFY(process.waitForStarted());
    QByteArray dots;
    while (dots.count('.') < 5 && process.state() == QProcess::Running) {
        process.waitForReadyRead(5000);
        dots += process.readAllStandardOutput();
    }
    QVERIFY2(dots.count('.') >= 5, "the export printed no progress");
    ::kill(static_cast<pid_t>(process.processId()), signal);
    QVERIFY(process.waitForFinished(10000));

    if (earlierDump)
        QCOMPARE(fileBytes(dump), earlier);
    else
        QVERIFY(!QFile::exists(dump));
    const auto partials = QDir(dumps.path()).entryList({u"big.dump.partial-*"_s});
    if (signal == SIGTERM) {
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 2);
        QVERIFY(partials.isEmpty());
        QVERIFY(QString::fromUtf8(fileBytes(log)).endsWith(u"Export failed.\n"_s));
    } else {
        QCOMPARE(process.exitStatus(), QProcess::CrashExit);
        QCOMPARE(partials.size(), 1); // the unfinished work, visibly apart from the dump
    }
}

QTEST_GUILESS_MAIN(InterruptTest)
#include "tst_standin_interrupt.moc"
