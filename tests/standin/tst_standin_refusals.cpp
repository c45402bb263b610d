#include "standin_home.h"

#include <QtTest>

using namespace Qt::StringLiterals;

// Every refusal ends with a reason in the log, a failure closing line and status 2 (an existing
// table under ignore=n: a warning and 1), and leaves both databases byte for byte as they were.
class RefusalsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void refused_data();
    void refused();
    void logFileThatCannotBeWritten();

private:
    std::unique_ptr<StandinHome> home_;
    QString goodDump_;
};

void RefusalsTest::initTestCase() {
    home_ = std::make_unique<StandinHome>();
    QVERIFY(home_->isValid());
    goodDump_ = home_->path(u"good.dump"_s);
    QCOMPARE(home_->exp({u"scott/tiger@DEMO"_s, u"file="_s + goodDump_, u"tables=(DEPT,EMP)"_s})
                 .exitCode,
             0);
    // TEST gets SCOTT.DEPT, so importing it again under ignore=n meets an existing table.
    QCOMPARE(home_->imp({u"scott/tiger@TEST"_s, u"file="_s + goodDump_, u"tables=DEPT"_s}).exitCode,
             0);

    QFile notADump(home_->path(u"notes.txt"_s));
    QVERIFY(notADump.open(QIODevice::WriteOnly));
    notADump.write("TABLE SCOTT.EMP\nthis is not an export\n");
    QFile newer(home_->path(u"newer.dump"_s));
    QVERIFY(newer.open(QIODevice::WriteOnly));
    newer.write(fileBytes(goodDump_).replace("TARNHOLD-DUMP 1\n", "TARNHOLD-DUMP 7\n"));
}

void RefusalsTest::refused_data() {
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("args"); // "@dump" and "@dir/" are replaced
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("reason");

    const auto exp = u"exp"_s;
    const auto imp = u"imp"_s;
    const auto out = u"file=@dir/out.dump"_s;
    QTest::newRow("exp wrong password")
        << exp << QStringList{u"scott/lion@DEMO"_s, out} << 2 << u"invalid user name or password"_s;
    QTest::newRow("exp unknown user") << exp << QStringList{u"nobody/tiger@DEMO"_s, out} << 2
                                      << u"invalid user name or password"_s;
    QTest::newRow("exp unknown SID")
        << exp << QStringList{u"scott/tiger@NOPE"_s, out} << 2 << u"unknown SID \"NOPE\""_s;
    QTest::newRow("exp SID as path")
        << exp << QStringList{u"scott/tiger@../oradata/DEMO"_s, out} << 2 << u"unknown SID"_s;
    QTest::newRow("exp SID with suffix")
        << exp << QStringList{u"scott/tiger@DEMO.db"_s, out} << 2 << u"unknown SID"_s;
    QTest::newRow("exp unknown keyword")
        << exp << QStringList{u"scott/tiger@DEMO"_s, out, u"colour=red"_s} << 2
        << u"unknown keyword \"colour\""_s;
    QTest::newRow("exp connection repeated")
        << exp << QStringList{u"scott/tiger@DEMO"_s, out, u"USERID=scott/tiger@DEMO"_s} << 2
        << u"unknown keyword \"USERID\""_s;
    QTest::newRow("exp malformed piece")
        << exp << QStringList{u"scott/tiger@DEMO"_s, out, u"rows=maybe"_s} << 2
        << u"rows= takes y or n"_s;
    QTest::newRow("exp second statement")
        << exp
        << QStringList{u"scott/tiger@DEMO"_s, out, u"tables=EMP"_s,
                       u"query=\"WHERE 1=1; DELETE FROM th_grants\""_s}
        << 2 << u"more than one SQL statement"_s;
    QTest::newRow("exp second select")
        << exp << QStringList{u"scott/tiger@DEMO"_s, out, u"query=\"WHERE 1=1; SELECT 1\""_s} << 2
        << u"more than one SQL statement"_s;
    QTest::newRow("exp other table in query")
        << exp
        << QStringList{u"scott/tiger@DEMO"_s, out, u"tables=EMP"_s,
                       u"query=\"WHERE ENAME IN (SELECT password FROM th_users)\""_s}
        << 2 << u"may read only the table"_s;
    QTest::newRow("exp broken query")
        << exp << QStringList{u"scott/tiger@DEMO"_s, out, u"tables=EMP"_s, u"query=\"WHERE (\""_s}
        << 2 << u"query= is refused"_s;
    QTest::newRow("exp full needs DBA")
        << exp << QStringList{u"scott/tiger@DEMO"_s, out, u"full=y"_s} << 2
        << u"needs a DBA account"_s;
    QTest::newRow("imp wrong password") << imp << QStringList{u"scott/lion@TEST"_s, u"file=@dump"_s}
                                        << 2 << u"invalid user name or password"_s;
    QTest::newRow("imp unknown SID") << imp << QStringList{u"scott/tiger@PROD"_s, u"file=@dump"_s}
                                     << 2 << u"unknown SID \"PROD\""_s;
    QTest::newRow("imp unknown keyword")
        << imp << QStringList{u"scott/tiger@TEST"_s, u"file=@dump"_s, u"destroy=y"_s} << 2
        << u"unknown keyword \"destroy\""_s;
    QTest::newRow("imp not a dump")
        << imp << QStringList{u"scott/tiger@TEST"_s, u"file=@dir/notes.txt"_s} << 2
        << u"is not a Tarnhold export dump"_s;
    QTest::newRow("imp newer format")
        << imp << QStringList{u"scott/tiger@TEST"_s, u"file=@dir/newer.dump"_s} << 2
        << u"dump format 7"_s;
    QTest::newRow("imp missing dump")
        << imp << QStringList{u"scott/tiger@TEST"_s, u"file=@dir/none.dump"_s} << 2
        << u"cannot open"_s;
    QTest::newRow("imp other schema")
        << imp
        << QStringList{u"scott/tiger@TEST"_s, u"file=@dump"_s, u"fromuser=SCOTT"_s, u"touser=HR"_s}
        << 2 << u"may not import into schema HR"_s;
    QTest::newRow("imp existing table")
        << imp
        << QStringList{u"scott/tiger@TEST"_s, u"file=@dump"_s, u"tables=DEPT"_s, u"ignore=n"_s} << 1
        << u"SCOTT.DEPT already exists; skipped"_s;
}

void RefusalsTest::refused() {
    QFETCH(QString, tool);
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, reason);

    args.replaceInStrings(u"@dump"_s, goodDump_);
    args.replaceInStrings(u"@dir/"_s, home_->path(QString()) + u'/');
    const auto log = home_->path(u"refusal.log"_s);
    args << u"log="_s + log;
    QFile::remove(log);
    const auto demoBefore = fileBytes(home_->database(u"DEMO"_s));
    const auto testBefore = fileBytes(home_->database(u"TEST"_s));

    const auto result = tool == u"exp"_s ? home_->exp(args) : home_->imp(args);

    QCOMPARE(result.exitCode, exitCode);
    QVERIFY2(result.log.contains(reason), qPrintable(result.log));
    QVERIFY(QString::fromUtf8(result.err).contains(reason));
    QVERIFY(result.log.endsWith(exitCode == 2 ? u"failed.\n"_s : u"completed with warnings.\n"_s));
    QVERIFY(!result.log.contains(u"tiger"_s));
    QVERIFY(fileBytes(home_->database(u"DEMO"_s)) == demoBefore);
    QVERIFY(fileBytes(home_->database(u"TEST"_s)) == testBefore);
    QVERIFY(!QFile::exists(home_->path(u"out.dump"_s)));
    const auto leftovers = QDir(home_->path(QString())).entryList({u"*.partial-*"_s});
    QVERIFY2(leftovers.isEmpty(), qPrintable(leftovers.join(u' ')));
}

void RefusalsTest::logFileThatCannotBeWritten() {
    const auto result = home_->exp({u"scott/tiger@DEMO"_s, u"file="_s + home_->path(u"x.dump"_s),
                                    u"log="_s + home_->path(u"no/such/dir/x.log"_s)});
    QCOMPARE(result.exitCode, 2);
    QVERIFY(result.err.contains("cannot write the log file"));
    QVERIFY(!QFile::exists(home_->path(u"x.dump"_s)));
}

QTEST_GUILESS_MAIN(RefusalsTest)
#include "tst_standin_refusals.moc"
