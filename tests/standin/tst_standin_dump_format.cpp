// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin/dump_reader.h"
#include "standin/dump_writer.h"
#include "standin/value_codec.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

standin::TableDef sampleTable() {
    standin::TableDef table;
    table.name = {"SCOTT", "EMP"};
    table.columns = {
        {"EMPNO", "NUMBER(4)", true}, {"ENAME", "VARCHAR2(20)", false}, {"PHOTO", "", false}};
    table.primaryKey = {"EMPNO"};
    table.uniques = {{"ENAME", "PHOTO"}};
    return table;
}

void writeSample(const std::string& path) {
    standin::DumpWriter writer(path);
    writer.header({standin::dumpFormatVersion, "DEMO", "SCOTT", "2024-01-01T00:00:00Z", "user",
                   true, true, true});
    writer.beginTable(sampleTable());
    writer.beginRows();
    for (int i = 0; i < 3; ++i) {
        standin::appendInteger(writer.rowBuffer(), 7000 + i);
        writer.fieldSeparator();
        standin::appendText(writer.rowBuffer(), i == 1 ? "tab\there" : "plain");
        writer.fieldSeparator();
        standin::appendNull(writer.rowBuffer());
        writer.endRow();
    }
    writer.endRows(3);
    writer.index({"EMP_NAME_IX", false, {"ENAME"}});
    writer.grant({"SELECT", "HR"});
    writer.endTable();
    writer.finish(1, 3);
}

// Reads a whole dump as imp does; returns the first complaint, or "" when it is sound.
std::string readWhole(const std::string& path,
                      std::vector<std::vector<std::string>>* rows = nullptr,
                      standin::TableExtras* extras = nullptr) {
    try {
        standin::DumpReader reader(path);
        reader.readHeader();
        std::vector<std::string_view> fields;
        while (reader.nextTable()) {
            if (reader.beginRows()) {
                while (reader.nextRow(fields)) {
                    if (rows)
                        rows->emplace_back(fields.begin(), fields.end());
                }
            }
            auto tail = reader.readExtras();
            if (extras)
                *extras = tail;
        }
        return {};
    } catch (const standin::NotADump& notADump) {
        return std::string("NOT A DUMP: ") + notADump.what();
    } catch (const standin::Failure& failure) {
        return failure.what();
    }
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

} // namespace

class DumpFormatTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsBackWhatWasWritten();
    void abandonedWriterLeavesNoFile();
    void twoWritersOfOneDump();
    void damaged_data();
    void damaged();
    void unsafeTypes_data();
    void unsafeTypes();

private:
    QTemporaryDir dir_;
};

void DumpFormatTest::readsBackWhatWasWritten() {
    const auto path = dir_.filePath(u"sample.dump"_s).toStdString();
    writeSample(path);

    standin::DumpReader reader(path);
    const auto header = reader.readHeader();
    QCOMPARE(header.sourceSid, "DEMO");
    QCOMPARE(header.exportedBy, "SCOTT");
    QCOMPARE(header.mode, "user");
    const auto table = reader.nextTable();
    QVERIFY(table);
    QCOMPARE(table->name.storageName(), "SCOTT.EMP");
    QCOMPARE(table->columns.size(), 3u);
    QCOMPARE(table->columns[0].type, "NUMBER(4)");
    QVERIFY(table->columns[0].notNull);
    QCOMPARE(table->columns[2].type, "");
    QCOMPARE(table->primaryKey, std::vector<std::string>{"EMPNO"});
    QCOMPARE(table->uniques.size(), 1u);
    QCOMPARE(table->uniques[0], (std::vector<std::string>{"ENAME", "PHOTO"}));

    std::vector<std::vector<std::string>> rows;
    standin::TableExtras extras;
    QCOMPARE(readWhole(path, &rows, &extras), "");
    QCOMPARE(rows.size(), 3u);
    QCOMPARE(rows[1], (std::vector<std::string>{"7001", "'tab\\there'", "NULL"}));
    QCOMPARE(extras.indexes.size(), 1u);
    QCOMPARE(extras.indexes[0].columns, std::vector<std::string>{"ENAME"});
    QCOMPARE(extras.grants.size(), 1u);
    QCOMPARE(extras.grants[0].grantee, "HR");
}

void DumpFormatTest::abandonedWriterLeavesNoFile() {
    QTemporaryDir dir;
    const auto path = dir.filePath(u"never.dump"_s).toStdString();
    {
        standin::DumpWriter writer(path);
        writer.header(
            {standin::dumpFormatVersion, "DEMO", "SCOTT", "now", "user", true, true, true});
    }
    QVERIFY(QDir(dir.path()).isEmpty());
}

// Two exports of one dump at once (or a leftover of a process with the same id) each get a
// partial file of their own.
void DumpFormatTest::twoWritersOfOneDump() {
    QTemporaryDir dir;
    const auto path = dir.filePath(u"twice.dump"_s).toStdString();
    standin::DumpWriter first(path);
    standin::DumpWriter second(path);
    QVERIFY(first.temporaryPath() != second.temporaryPath());
    for (auto* writer : {&first, &second}) {
        writer->header(
            {standin::dumpFormatVersion, "DEMO", "SCOTT", "now", "user", true, true, true});
        writer->finish(0, 0);
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"twice.dump"_s});
}

void DumpFormatTest::damaged_data() {
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<QString>("complaint");
    const auto cut = "<cut here>"_ba; // the dump ends right after `from`

    QTest::newRow("not a dump") << "TARNHOLD-DUMP 1"_ba
                                << "Hello there"_ba << u"NOT A DUMP"_s;
    QTest::newRow("no version") << "TARNHOLD-DUMP 1"_ba
                                << "TARNHOLD-DUMP x"_ba << u"NOT A DUMP"_s;
    QTest::newRow("newer format") << "TARNHOLD-DUMP 1"_ba
                                  << "TARNHOLD-DUMP 9"_ba << u"format 9"_s;
    QTest::newRow("unknown header") << "MODE user"_ba
                                    << "MODE user\nFLAVOUR sweet"_ba << u"unexpected header line"_s;
    QTest::newRow("missing header line") << "SOURCE-SID DEMO\n"_ba
                                         << ""_ba << u"header lacks"_s;
    QTest::newRow("type injection") << "VARCHAR2(20)"_ba
                                    << "INT); DROP TABLE x; --"_ba << u"malformed COLUMN"_s;
    QTest::newRow("lower-case name") << "TABLE SCOTT.EMP"_ba
                                     << "TABLE scott.emp"_ba << u"malformed table name"_s;
    QTest::newRow("quoted name") << "TABLE SCOTT.EMP"_ba
                                 << "TABLE SCOTT.\"EMP\""_ba << u"malformed table name"_s;
    QTest::newRow("row count") << "END-ROWS 3"_ba
                               << "END-ROWS 4"_ba << u"END-ROWS counts 4"_s;
    QTest::newRow("extra field") << "7002\t'plain'\tNULL"_ba
                                 << "7002\t'plain'\tNULL\t1"_ba << u"4 fields for 3 columns"_s;
    QTest::newRow("missing field") << "7002\t'plain'\tNULL"_ba
                                   << "7002\t'plain'"_ba << u"2 fields for 3 columns"_s;
    QTest::newRow("dump total") << "END-DUMP 1 3"_ba
                                << "END-DUMP 1 2"_ba << u"END-DUMP counts"_s;
    QTest::newRow("no END-DUMP") << "END-TABLE\n"_ba << cut << u"ends early"_s;
    QTest::newRow("cut in END-DUMP") << "END-DU"_ba << cut << u"middle of a line"_s;
    QTest::newRow("cut in a row") << "7001\t'ta"_ba << cut << u"middle of a line"_s;
    QTest::newRow("cut between rows") << "7001\t'tab\\there'\tNULL\n"_ba << cut << u"ends early"_s;
    QTest::newRow("text after end") << "END-DUMP 1 3\n"_ba
                                    << "END-DUMP 1 3\nmore\n"_ba << u"text follows END-DUMP"_s;
    QTest::newRow("bad index") << "INDEX EMP_NAME_IX NONUNIQUE"_ba
                               << "INDEX EMP_NAME_IX SOMETIMES"_ba << u"malformed INDEX"_s;
    QTest::newRow("bad grant") << "GRANT SELECT HR"_ba
                               << "GRANT SELECT hr; x"_ba << u"malformed GRANT"_s;
}

void DumpFormatTest::damaged() {
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(QString, complaint);

    const auto path = dir_.filePath(QString::fromLatin1(QTest::currentDataTag()) + u".dump"_s);
    writeSample(path.toStdString());
    auto bytes = readFile(path);
    QVERIFY2(bytes.contains(from), from.constData());
    if (to == "<cut here>")
        bytes.truncate(bytes.indexOf(from) + from.size());
    else
        bytes.replace(from, to);
    writeFile(path, bytes);

    const auto problem = QString::fromStdString(readWhole(path.toStdString()));
    QVERIFY2(problem.contains(complaint), qPrintable(problem));
}

void DumpFormatTest::unsafeTypes_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<bool>("safe");

    QTest::newRow("empty") << QString() << true;
    QTest::newRow("plain") << u"INTEGER"_s << true;
    QTest::newRow("two words") << u"DOUBLE PRECISION"_s << true;
    QTest::newRow("size") << u"VARCHAR2(20)"_s << true;
    QTest::newRow("precision") << u"NUMBER(7,2)"_s << true;
    QTest::newRow("paren then more") << u"INT) CHECK (1"_s << false;
    QTest::newRow("quote") << u"INT\"x"_s << false;
    QTest::newRow("semicolon") << u"INT;"_s << false;
    QTest::newRow("comment") << u"INT --"_s << false;
    QTest::newRow("double blank") << u"DOUBLE  PRECISION"_s << false;
    QTest::newRow("expression size") << u"NUMBER(1+1)"_s << false;
    QTest::newRow("three sizes") << u"NUMBER(1,2,3)"_s << false;
    QTest::newRow("only size") << u"(5)"_s << false;
}

void DumpFormatTest::unsafeTypes() {
    QFETCH(QString, type);
    QFETCH(bool, safe);
    QCOMPARE(standin::isSafeTypeName(type.toStdString()), safe);
}

QTEST_GUILESS_MAIN(DumpFormatTest)
#include "tst_standin_dump_format.moc"
