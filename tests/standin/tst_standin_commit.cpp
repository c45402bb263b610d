// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin_home.h"

#include <QRegularExpression>
#include <QtTest>

using namespace Qt::StringLiterals;

// TEST holds SCOTT.EMP rows 7150..7299; importing all 300 rows with ignore=y meets a UNIQUE
// violation at row 151. commit=n must keep nothing of the attempt, commit=y keeps every buffer it
// committed and says how many rows that was.
class CommitTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void uniqueViolation_data();
    void uniqueViolation();
    void damagedDumpRollsBackTheTable();

private:
    std::unique_ptr<StandinHome> home_;
    QString allRows_;
    QString test_;
};

void CommitTest::init() {
    home_ = std::make_unique<StandinHome>();
    QVERIFY(home_->isValid());
    test_ = home_->database(u"TEST"_s);
    allRows_ = home_->path(u"all.dump"_s);
    const auto upperHalf = home_->path(u"upper.dump"_s);
    QCOMPARE(home_->exp({u"scott/tiger@DEMO"_s, u"file="_s + allRows_, u"tables=EMP"_s}).exitCode,
             0);
    QCOMPARE(home_
                 ->exp({u"scott/tiger@DEMO"_s, u"file="_s + upperHalf, u"tables=EMP"_s,
                        u"query=\"WHERE EMPNO >= 7150\""_s})
                 .exitCode,
             0);
    QCOMPARE(home_->imp({u"scott/tiger@TEST"_s, u"file="_s + upperHalf}).exitCode, 0);
    QCOMPARE(rowCount(test_, u"SCOTT.EMP"_s), 150);
}

void CommitTest::uniqueViolation_data() {
    QTest::addColumn<QString>("commit");
    QTest::newRow("commit=n") << u"commit=n"_s;
    QTest::newRow("commit=y") << u"commit=y"_s;
}

void CommitTest::uniqueViolation() {
    QFETCH(QString, commit);
    const auto log = home_->path(u"imp.log"_s);
    const auto result = home_->imp({u"scott/tiger@TEST"_s, u"file="_s + allRows_, u"log="_s + log,
                                    u"ignore=y"_s, commit, u"buffer=1000"_s});

    QCOMPARE(result.exitCode, 2);
    QVERIFY2(result.log.contains(u"\nIMP-00019: row rejected due to ORACLE error 1\n"
                                 u"IMP-00003: ORACLE error 1 encountered\n"
                                 u"ORA-00001: unique constraint violated: SCOTT.EMP row 151: "
                                 u"UNIQUE constraint failed"_s),
             qPrintable(result.log));
    if (commit == u"commit=n"_s) {
        QVERIFY(result.log.contains(u"imported SCOTT.EMP: 0 rows, all of them rolled back"_s));
        QCOMPARE(rowCount(test_, u"SCOTT.EMP"_s), 150);
        return;
    }
    const auto match =
        QRegularExpression(u"imported SCOTT.EMP: (\\d+) rows committed"_s).match(result.log);
    QVERIFY2(match.hasMatch(), qPrintable(result.log));
    const auto committed = match.captured(1).toLongLong();
    // Some buffers went in before row 151; the unfinished one was rolled back with it.
    QVERIFY2(committed > 0 && committed < 150, qPrintable(QString::number(committed)));
    QCOMPARE(rowCount(test_, u"SCOTT.EMP"_s), 150 + committed);
    QCOMPARE(tableRows(test_, u"SCOTT.EMP"_s, u"EMPNO < 7150"_s).size(), committed);
    QCOMPARE(tableRows(test_, u"SCOTT.EMP"_s, u"EMPNO < 7150"_s),
             tableRows(home_->database(u"DEMO"_s), u"SCOTT.EMP"_s,
                       u"EMPNO < "_s + QString::number(7000 + committed)));
}

void CommitTest::damagedDumpRollsBackTheTable() {
    auto bytes = fileBytes(allRows_);
    const auto row = bytes.indexOf("\n7200\t");
    QVERIFY(row > 0);
    bytes.insert(row + 5, "'broken"); // an unterminated text field mid-table
    const auto damaged = home_->path(u"damaged.dump"_s);
    QFile file(damaged);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    const auto result = home_->imp({u"hr/hr@TEST"_s, u"file="_s + damaged,
                                    u"log="_s + home_->path(u"damaged.log"_s), u"fromuser=SCOTT"_s,
                                    u"touser=HR"_s, u"commit=n"_s});
    QCOMPARE(result.exitCode, 2);
    QVERIFY2(result.err.contains("column EMPNO"), result.err.constData());
    QCOMPARE(result.logBytes, result.err); // refused before a row was written, and logged
    QVERIFY(!tableExists(test_, u"HR.EMP"_s));
}

QTEST_GUILESS_MAIN(CommitTest)
#include "tst_standin_commit.moc"
