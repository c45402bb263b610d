// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin_home.h"

#include "standin/database.h"

#include <QtTest>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Whether a line of text starts with the reason's message code and holds the rest of it.
bool saysWhy(const QString& text, const QString& reason) {
    const auto code = reason.section(u": "_s, 0, 0);
    const auto why = reason.section(u": "_s, 1);
    const auto lines = text.split(u'\n');
    return std::any_of(lines.begin(), lines.end(), [&](const QString& line) {
        return line.startsWith(code + u": "_s) && line.contains(why);
    });
}

} // namespace

// imp against damaged and hostile dumps. A dump whose structure, counts or values are wrong is
// refused before anything is written: TEST stays byte for byte as it was, and the log holds just
// what stderr showed, the refusal and the closing line.
// A table the target cannot take ends with an error while the others arrive. Nothing quoted from
// the dump makes the terminal or the log grow with it.
class DamagedDumpsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void imported_data();
    void imported();

private:
    std::unique_ptr<StandinHome> home_;
    QByteArray dump_;     // SCOTT.DEPT (6 rows), SCOTT.EMP (300), SCOTT.SALGRADE (5)
    QByteArray pristine_; // TEST as seeded
};

void DamagedDumpsTest::initTestCase() {
    home_ = std::make_unique<StandinHome>();
    QVERIFY(home_->isValid());
    const auto path = home_->path(u"source.dump"_s);
    QCOMPARE(home_->exp({u"scott/tiger@DEMO"_s, u"file="_s + path, u"tables=(DEPT,EMP,SALGRADE)"_s})
                 .exitCode,
             0);
    dump_ = fileBytes(path);
    pristine_ = fileBytes(home_->database(u"TEST"_s));
}

void DamagedDumpsTest::init() {
    QFile test(home_->database(u"TEST"_s));
    QVERIFY(test.open(QIODevice::WriteOnly | QIODevice::Truncate));
    test.write(pristine_);
}

void DamagedDumpsTest::imported_data() {
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");       // "<cut>" drops the dump's last byte instead
    QTest::addColumn<QString>("setup");       // SQL run on TEST first
    QTest::addColumn<QString>("reason");      // "CODE: text": a line with that code holds the text
    QTest::addColumn<QStringList>("arrived"); // SCOTT tables afterwards; "unchanged": refused

    const QStringList unchanged{u"unchanged"_s};
    const QStringList empAndSalgrade{u"SCOTT.EMP"_s, u"SCOTT.SALGRADE"_s};
    const QStringList all{u"SCOTT.DEPT"_s, u"SCOTT.EMP"_s, u"SCOTT.SALGRADE"_s};
    const auto megabytes = QByteArray(2 << 20, 'x');
    const auto loc = "COLUMN LOC NULL VARCHAR2(13)"_ba;

    // The end of the dump is checked before the first table is written.
    QTest::newRow("no final newline")
        << "END-DUMP"_ba
        << "<cut>"_ba << QString() << u"IMP-00009: middle of a line"_s << unchanged;
    QTest::newRow("table count") << "END-DUMP 3 "_ba
                                 << "END-DUMP 4 "_ba << QString()
                                 << u"IMP-00008: END-DUMP counts 4 tables"_s << unchanged;
    QTest::newRow("row count") << "END-DUMP 3 311"_ba
                               << "END-DUMP 3 312"_ba << QString()
                               << u"IMP-00008: END-DUMP counts"_s << unchanged;
    QTest::newRow("text after the end") << "END-DUMP 3 311\n"_ba
                                        << "END-DUMP 3 311\nmore\n"_ba << QString()
                                        << u"IMP-00008: text follows END-DUMP"_s << unchanged;
    QTest::newRow("bad value in the last table")
        << "5\t5001\t9999"_ba
        << "5\t5001\t99x99"_ba << QString() << u"IMP-00008: column HISAL"_s << unchanged;
    QTest::newRow("unterminated text") << "10\t'FINANCE'"_ba
                                       << "10\t'FIN.ANCE"_ba << QString()
                                       << u"IMP-00008: text lacks its closing quote"_s << unchanged;
    QTest::newRow("CRLF line ends") << "\n"_ba
                                    << "\r\n"_ba << QString() << u"IMP-00010: CRLF"_s << unchanged;
    QTest::newRow("version 01") << "TARNHOLD-DUMP 1\n"_ba
                                << "TARNHOLD-DUMP 01\n"_ba << QString()
                                << u"IMP-00010: malformed format version"_s << unchanged;

    // A dump carries type names and nothing else.
    for (const auto& type :
         {"TEXT UNIQUE ON CONFLICT IGNORE"_ba, "DEFAULT(5)"_ba, "INT REFERENCES x"_ba,
          "CHECK(0)"_ba, "AS(1)"_ba, "INT AS(1)"_ba, "TEXT COLLATE NOCASE"_ba}) {
        QTest::addRow("type %s", type.constData())
            << loc << "COLUMN LOC NULL "_ba + type << QString() << u"IMP-00008: malformed COLUMN"_s
            << unchanged;
    }

    // Text quoted from the dump is cut short.
    QTest::newRow("2 MB header line")
        << "MODE tables\n"_ba
        << "MODE tables\nX"_ba + megabytes + '\n'
        << QString() << u"IMP-00008: unexpected header line"_s << unchanged;
    QTest::newRow("2 MB table name")
        << "TABLE SCOTT.DEPT\n"_ba
        << "TABLE SCOTT.DEPT"_ba + megabytes + '\n'
        << QString() << u"IMP-00008: malformed table name"_s << unchanged;
    QTest::newRow("2 MB timestamp")
        << "EXPORTED-AT "_ba
        << "EXPORTED-AT "_ba + megabytes << QString() << u"IMP-00008: EXPORTED-AT"_s << unchanged;

    // A table the target cannot take ends; the next ones arrive.
    QTest::newRow("column named twice")
        << loc << "COLUMN DNAME NULL VARCHAR2(13)"_ba << QString()
        << u"ORA-00957: duplicate column name: SCOTT.DEPT: the dump names column DNAME twice"_s
        << empAndSalgrade;
    QTest::newRow("key on a missing column")
        << "PRIMARY-KEY DEPTNO"_ba
        << "PRIMARY-KEY NOPE"_ba << QString()
        << u"ORA-00904: invalid identifier: SCOTT.DEPT: the primary key names column NOPE"_s
        << empAndSalgrade;
    QTest::newRow("existing table lacks a column")
        << "CONTENT"_ba
        << "CONTENT"_ba << u"CREATE TABLE \"SCOTT.DEPT\" (DEPTNO, DNAME)"_s
        << u"ORA-00904: invalid identifier: SCOTT.DEPT: the existing table has no column LOC"_s
        << all;
    // The target's own ON CONFLICT clause must not drop a row in silence.
    QTest::newRow("existing table ignores conflicts")
        << "CONTENT"_ba
        << "CONTENT"_ba
        << u"CREATE TABLE \"SCOTT.DEPT\" (DEPTNO UNIQUE ON CONFLICT IGNORE, DNAME, LOC);"
           u" INSERT INTO \"SCOTT.DEPT\" VALUES (10, 'OLD', 'OLD')"_s
        << u"ORA-00001: unique constraint violated: SCOTT.DEPT row 1: UNIQUE constraint failed"_s
        << all;
}

void DamagedDumpsTest::imported() {
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(QString, setup);
    QFETCH(QString, reason);
    QFETCH(QStringList, arrived);

    auto bytes = dump_;
    QVERIFY(bytes.contains(from));
    if (to == "<cut>")
        bytes.chop(1);
    else
        bytes.replace(from, to);
    const auto path = home_->path(u"damaged.dump"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    file.close();
    const auto test = home_->database(u"TEST"_s);
    if (!setup.isEmpty())
        standin::Database(test.toStdString(), standin::Database::Mode::ReadWrite)
            .exec(setup.toStdString());
    const auto before = fileBytes(test);
    const auto log = home_->path(u"damaged.log"_s);
    QFile::remove(log);

    const auto result = home_->imp(
        {u"scott/tiger@TEST"_s, u"file="_s + path, u"log="_s + log, u"ignore=y"_s, u"commit=y"_s});

    QCOMPARE(result.exitCode, 2);
    QVERIFY2(saysWhy(QString::fromUtf8(result.err), reason), result.err.left(4000).constData());
    QVERIFY2(result.err.size() < 20000, qPrintable(QString::number(result.err.size())));
    QVERIFY(result.log.size() < 20000);
    if (arrived == QStringList{u"unchanged"_s}) {
        QVERIFY(fileBytes(test) == before);
        QCOMPARE(result.logBytes, result.err);
        return;
    }
    QVERIFY2(saysWhy(result.log, reason), qPrintable(result.log));
    QStringList tables;
    for (const auto& object : schemaObjects(test)) {
        if (object.startsWith(u"table SCOTT."_s))
            tables << object.mid(6);
    }
    QCOMPARE(tables, arrived);
    QCOMPARE(rowCount(test, u"SCOTT.EMP"_s), 300);
}

QTEST_GUILESS_MAIN(DamagedDumpsTest)
#include "tst_standin_damaged_dumps.moc"
