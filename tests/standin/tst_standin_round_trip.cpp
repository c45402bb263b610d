// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin_home.h"

#include <QtTest>

using namespace Qt::StringLiterals;

// Exports from DEMO and imports into TEST with the real programs, then compares the databases.
class RoundTripTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void tablesArriveUnchanged();
    void fullExportCarriesEverySchema();
    void queryFiltersRows();
    void definitionsOnly_data();
    void definitionsOnly();
    void fromUserToUser();
    void indexesAndGrantsFollowSwitches();
    void passwordWithSpecialCharacters();
    void feedbackPrintsDots();

private:
    std::unique_ptr<StandinHome> home_;
    QString demo_;
    QString test_;
};

void RoundTripTest::init() {
    home_ = std::make_unique<StandinHome>(QStringList{u"--user"_s, u"odd/pa/ss@w;rd $(id)"_s});
    QVERIFY(home_->isValid());
    demo_ = home_->database(u"DEMO"_s);
    test_ = home_->database(u"TEST"_s);
}

void RoundTripTest::tablesArriveUnchanged() {
    const auto dump = home_->path(u"emp.dump"_s);
    const auto exported =
        home_->exp({u"scott/tiger@DEMO"_s, u"file="_s + dump, u"log="_s + dump + u".log"_s,
                    u"full=n"_s, u"direct=y"_s, u"grants=y"_s, u"indexes=y"_s, u"consistent=y"_s,
                    u"compress=n"_s, u"statistics=estimate"_s, u"feedback=1000"_s, u"rows=y"_s,
                    u"tables=(\"EMP,DEPT,BADGE\")"_s, u"buffer=999999"_s, u"recordlength=65535"_s});
    QCOMPARE(exported.exitCode, 0);
    QVERIFY(exported.log.contains(u"exported SCOTT.EMP: 300 rows"_s));
    QVERIFY(exported.log.endsWith(u"Export terminated successfully without warnings.\n"_s));

    const auto imported =
        home_->imp({u"scott/tiger@TEST"_s, u"file="_s + dump, u"log="_s + home_->path(u"imp.log"_s),
                    u"full=n"_s, u"compile=y"_s, u"grants=y"_s, u"indexes=y"_s, u"ignore=n"_s,
                    u"commit=n"_s, u"statistics=none"_s, u"feedback=1000"_s, u"rows=y"_s,
                    u"tables=(\"EMP,DEPT,BADGE\")"_s, u"buffer=64000"_s});
    QCOMPARE(imported.exitCode, 0);
    QVERIFY(imported.log.contains(u"imported SCOTT.EMP: 300 rows"_s));
    QVERIFY(imported.log.endsWith(u"Import terminated successfully without warnings.\n"_s));

    for (const auto& table : {u"SCOTT.EMP"_s, u"SCOTT.DEPT"_s, u"SCOTT.BADGE"_s}) {
        const auto source = tableRows(demo_, table);
        QVERIFY(!source.isEmpty());
        QCOMPARE(tableRows(test_, table), source);
    }
    QVERIFY(!tableExists(test_, u"SCOTT.SALGRADE"_s));
}

void RoundTripTest::fullExportCarriesEverySchema() {
    const auto dump = home_->path(u"full.dump"_s);
    QCOMPARE(home_->exp({u"system/manager@DEMO"_s, u"file="_s + dump, u"full=y"_s}).exitCode, 0);
    const auto imported = home_->imp({u"system/manager@TEST"_s, u"file="_s + dump, u"full=y"_s});
    QCOMPARE(imported.exitCode, 0);
    QCOMPARE(schemaObjects(test_), schemaObjects(demo_));
    QCOMPARE(grants(test_), grants(demo_));
    for (const auto& object : schemaObjects(demo_)) {
        const auto table = object.mid(6);
        if (object.startsWith(u"table "_s) && table.contains(u'.'))
            QCOMPARE(tableRows(test_, table), tableRows(demo_, table));
    }
}

void RoundTripTest::queryFiltersRows() {
    const auto dump = home_->path(u"q.dump"_s);
    const auto exported =
        home_->exp({u"scott/tiger@DEMO"_s, u"file="_s + dump, u"tables=(\"EMP\")"_s,
                    u"query=\"WHERE DEPTNO=10 AND ENAME LIKE '%O''HARA'\""_s});
    QCOMPARE(exported.exitCode, 0);
    QCOMPARE(home_->imp({u"scott/tiger@TEST"_s, u"file="_s + dump}).exitCode, 0);
    const auto expected =
        tableRows(demo_, u"SCOTT.EMP"_s, u"DEPTNO=10 AND ENAME LIKE '%O''HARA'"_s);
    QVERIFY(!expected.isEmpty());
    QVERIFY(expected.size() < 50);
    QCOMPARE(tableRows(test_, u"SCOTT.EMP"_s), expected);
}

void RoundTripTest::definitionsOnly_data() {
    QTest::addColumn<QString>("expRows");
    QTest::addColumn<QString>("impRows");
    QTest::newRow("exp rows=n") << u"rows=n"_s << u"rows=y"_s;
    QTest::newRow("imp rows=n") << u"rows=y"_s << u"rows=n"_s;
}

void RoundTripTest::definitionsOnly() {
    QFETCH(QString, expRows);
    QFETCH(QString, impRows);
    const auto dump = home_->path(u"defs.dump"_s);
    QCOMPARE(home_->exp({u"scott/tiger@DEMO"_s, u"file="_s + dump, expRows}).exitCode, 0);
    QCOMPARE(home_->imp({u"scott/tiger@TEST"_s, u"file="_s + dump, impRows}).exitCode, 0);
    for (const auto& table : {u"SCOTT.EMP"_s, u"SCOTT.DEPT"_s, u"SCOTT.BADGE"_s}) {
        QVERIFY(tableExists(test_, table));
        QCOMPARE(rowCount(test_, table), 0);
    }
    QVERIFY(schemaObjects(test_).contains(u"index SCOTT.EMP_DEPTNO_IX"_s));
}

void RoundTripTest::fromUserToUser() {
    const auto dump = home_->path(u"hr.dump"_s);
    QCOMPARE(home_->exp({u"hr/hr@DEMO"_s, u"file="_s + dump}).exitCode, 0);
    const auto imported =
        home_->imp({u"scott/tiger@TEST"_s, u"file="_s + dump, u"log="_s + dump + u".log"_s,
                    u"fromuser=HR"_s, u"touser=SCOTT"_s, u"tables=(JOBS)"_s});
    QCOMPARE(imported.exitCode, 0);
    QVERIFY(imported.log.contains(u"imported HR.JOBS into SCOTT.JOBS: 10 rows"_s));
    QCOMPARE(tableRows(test_, u"SCOTT.JOBS"_s), tableRows(demo_, u"HR.JOBS"_s));
    QVERIFY(schemaObjects(test_).contains(u"index SCOTT.JOBS_TITLE_UK"_s));
    QVERIFY(!tableExists(test_, u"SCOTT.LOCATIONS"_s));
    QVERIFY(!tableExists(test_, u"HR.JOBS"_s));
}

void RoundTripTest::indexesAndGrantsFollowSwitches() {
    const auto withAll = home_->path(u"all.dump"_s);
    const auto without = home_->path(u"bare.dump"_s);
    QCOMPARE(home_->exp({u"scott/tiger@DEMO"_s, u"file="_s + withAll}).exitCode, 0);
    QCOMPARE(
        home_->exp({u"scott/tiger@DEMO"_s, u"file="_s + without, u"indexes=n"_s, u"grants=n"_s})
            .exitCode,
        0);
    QVERIFY(fileBytes(withAll).contains("\nINDEX EMP_DEPTNO_IX NONUNIQUE DEPTNO\n"));
    QVERIFY(fileBytes(withAll).contains("\nGRANT SELECT HR\n"));
    QVERIFY(!fileBytes(without).contains("\nINDEX "));
    QVERIFY(!fileBytes(without).contains("\nGRANT "));

    QCOMPARE(
        home_->imp({u"scott/tiger@TEST"_s, u"file="_s + withAll, u"indexes=n"_s, u"grants=n"_s})
            .exitCode,
        0);
    QVERIFY(tableExists(test_, u"SCOTT.EMP"_s));
    QVERIFY(!schemaObjects(test_).contains(u"index SCOTT.EMP_DEPTNO_IX"_s));
    QVERIFY(grants(test_).isEmpty());
}

void RoundTripTest::passwordWithSpecialCharacters() {
    const auto password = u"pa/ss@w;rd $(id)"_s;
    const auto dump = home_->path(u"odd.dump"_s);
    const auto exported = home_->exp(
        {u"odd/"_s + password + u"@DEMO"_s, u"file="_s + dump, u"log="_s + dump + u".log"_s});
    QCOMPARE(exported.exitCode, 0);
    QVERIFY(exported.log.contains(u"Connected to DEMO as ODD"_s));
    QVERIFY(!exported.log.contains(password));
    QVERIFY(!QString::fromUtf8(exported.err).contains(password));
    QVERIFY(!fileBytes(dump).contains(password.toUtf8()));
}

void RoundTripTest::feedbackPrintsDots() {
    const auto dump = home_->path(u"fb.dump"_s);
    const auto exported =
        home_->exp({u"scott/tiger@DEMO"_s, u"file="_s + dump, u"tables=EMP"_s, u"feedback=100"_s});
    QCOMPARE(exported.exitCode, 0);
    QCOMPARE(exported.out, "...\n"_ba);
}

QTEST_GUILESS_MAIN(RoundTripTest)
#include "tst_standin_round_trip.moc"
