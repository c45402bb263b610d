// SPDX-License-Identifier: GPL-3.0-or-later
// The exp and imp command lines, pinned to the letter for Windows paths and checked in the
// native form.
#include "commands/ExportCommand.h"
#include "commands/ImportCommand.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

ExportFields nightlyExport(const QString& directory) {
    ExportFields f;
    f.sid = u"ORCL"_s;
    f.username = u"ADMIN"_s;
    f.password = u"s3cr/et@x"_s;
    f.directory = directory;
    f.exportFile = u"nightly.dump"_s;
    return f;
}

ImportFields nightlyImport(const QString& directory) {
    ImportFields f;
    f.sid = u"ORCL"_s;
    f.username = u"ADMIN"_s;
    f.password = u"s3cr/et@x"_s;
    f.directory = directory;
    f.importFile = u"nightly.dump"_s;
    return f;
}

const QString connection = u"ADMIN/s3cr/et@x@ORCL"_s;
const QString windowsFiles = u" file=D:\\dumps\\nightly.dump log=D:\\dumps\\nightly.dump.log"_s;

} // namespace

class TestCommands : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void exportLine_data();
    void exportLine();
    void importLine_data();
    void importLine();
    void directoryLosesOneSeparator_data();
    void directoryLosesOneSeparator();
    void statisticsAndFeedback_data();
    void statisticsAndFeedback();
    void emptyPanelsStillGiveConnection();
    void nativeSeparator();
};

void TestCommands::exportLine_data() {
    QTest::addColumn<ExportFields>("fields");
    QTest::addColumn<QString>("line");

    QTest::newRow("defaults") << nightlyExport(u"D:\\dumps\\"_s)
                              << u"exp "_s + connection + windowsFiles +
                                     u" full=n direct=y grants=y indexes=n consistent=y compress=n"
                                     u" statistics=estimate feedback=1000 rows=y buffer=999999"_s;

    ExportFields query = nightlyExport(u"D:\\dumps\\"_s);
    query.direct = false;
    query.tables = u"EMP"_s;
    query.query = u"WHERE DEPTNO=10"_s;
    query.statistics = u"NONE"_s;
    query.feedback.clear();
    query.buffer.clear();
    query.other = u"recordlength=65535"_s;
    QTest::newRow("query, tables, other")
        << query
        << u"exp "_s + connection + windowsFiles +
               u" full=n direct=n grants=y indexes=n consistent=y compress=n statistics=none"
               u" rows=y tables=(\"EMP\") query=\"WHERE DEPTNO=10\" recordlength=65535"_s;

    ExportFields allOn = nightlyExport(u"D:\\dumps"_s);
    allOn.full = allOn.indexes = allOn.compress = true;
    allOn.direct = allOn.grants = allOn.consistent = allOn.rows = false;
    allOn.tables = u"EMP,DEPT"_s;
    allOn.query = u"WHERE NAME=\"X\""_s;
    allOn.feedback = u"1e3"_s;
    allOn.buffer = u"lots"_s;
    allOn.other = u"  "_s;
    QTest::newRow("switches flipped, quotes unescaped, two-blank other")
        << allOn
        << u"exp "_s + connection + windowsFiles +
               u" full=y direct=n grants=n indexes=y consistent=n compress=y statistics=estimate"
               u" feedback=1e3 rows=n tables=(\"EMP,DEPT\") buffer=lots"
               u" query=\"WHERE NAME=\"X\"\"   "_s;
}

void TestCommands::exportLine() {
    QFETCH(ExportFields, fields);
    QFETCH(QString, line);
    const auto built = commands::CreateExportString(fields, u'\\');
    QCOMPARE(built.line, line);
    QCOMPARE(built.directory, u"D:\\dumps"_s);
}

void TestCommands::importLine_data() {
    QTest::addColumn<ImportFields>("fields");
    QTest::addColumn<QString>("line");

    QTest::newRow("defaults") << nightlyImport(u"D:\\dumps\\"_s)
                              << u"imp "_s + connection + windowsFiles +
                                     u" full=n compile=y grants=y indexes=n ignore=n commit=n"
                                     u" statistics=estimate rows=y"_s;

    ImportFields options = nightlyImport(u"D:\\dumps\\"_s);
    options.ignore = options.commit = true;
    options.statistics = u"NONE"_s;
    options.feedback = u"1000"_s;
    options.tables = u"EMP,DEPT"_s;
    options.buffer = u"64000"_s;
    options.other = u"fromuser=ADMIN"_s;
    QTest::newRow("ignore, commit, tables, buffer, other")
        << options
        << u"imp "_s + connection + windowsFiles +
               u" full=n compile=y grants=y indexes=n ignore=y commit=y statistics=none"
               u" feedback=1000 rows=y tables=(\"EMP,DEPT\") buffer=64000 fromuser=ADMIN"_s;

    ImportFields flipped = nightlyImport(u"D:\\dumps"_s);
    flipped.full = flipped.indexes = true;
    flipped.compile = flipped.grants = flipped.rows = false;
    flipped.buffer = u"letters"_s;
    flipped.feedback = u"-5"_s;
    QTest::newRow("switches flipped, buffer of letters, negative feedback")
        << flipped
        << u"imp "_s + connection + windowsFiles +
               u" full=y compile=n grants=n indexes=y ignore=n commit=n statistics=estimate"
               u" rows=n buffer=letters"_s;
}

void TestCommands::importLine() {
    QFETCH(ImportFields, fields);
    QFETCH(QString, line);
    const auto built = commands::CreateImportString(fields, u'\\');
    QCOMPARE(built.line, line);
    QCOMPARE(built.directory, u"D:\\dumps"_s);
}

void TestCommands::directoryLosesOneSeparator_data() {
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QString>("shortened");
    QTest::addColumn<QString>("dumpPiece");

    QTest::newRow("drive root") << u"C:\\"_s << u"C:"_s << u" file=C:\\nightly.dump "_s;
    QTest::newRow("no separator") << u"D:\\dumps"_s << u"D:\\dumps"_s
                                  << u" file=D:\\dumps\\nightly.dump "_s;
    QTest::newRow("two separators")
        << u"D:\\dumps\\\\"_s << u"D:\\dumps\\"_s << u" file=D:\\dumps\\\\nightly.dump "_s;
    QTest::newRow("lone separator") << u"\\"_s << QString() << u" file=\\nightly.dump "_s;
    QTest::newRow("forward slash kept")
        << u"D:/dumps/"_s << u"D:/dumps/"_s << u" file=D:/dumps/\\nightly.dump "_s;
    QTest::newRow("blanks kept") << u"D:\\my dumps\\"_s << u"D:\\my dumps"_s
                                 << u" file=D:\\my dumps\\nightly.dump "_s;
}

void TestCommands::directoryLosesOneSeparator() {
    QFETCH(QString, directory);
    QFETCH(QString, shortened);
    QFETCH(QString, dumpPiece);
    const auto exported = commands::CreateExportString(nightlyExport(directory), u'\\');
    const auto imported = commands::CreateImportString(nightlyImport(directory), u'\\');
    for (const auto& built : {exported, imported}) {
        QCOMPARE(built.directory, shortened);
        QVERIFY2(built.line.contains(dumpPiece), qPrintable(built.line));
    }
}

void TestCommands::statisticsAndFeedback_data() {
    QTest::addColumn<QString>("statistics");
    QTest::addColumn<QString>("feedback");
    QTest::addColumn<QString>("pieces");

    QTest::newRow("Compute") << u"Compute"_s << u"1000"_s
                             << u" statistics=compute feedback=1000 "_s;
    QTest::newRow("COMPUTE") << u"COMPUTE"_s << u"1"_s << u" statistics=compute feedback=1 "_s;
    QTest::newRow("estimate") << u"estimate"_s << u"2.5"_s
                              << u" statistics=estimate feedback=2.5 "_s;
    QTest::newRow("trailing blank")
        << u"compute "_s << u" 7 "_s << u" statistics=none feedback= 7  "_s;
    // Letters whose Unicode upper case is S, ST or I do not make a keyword.
    for (const char16_t* lookalike : {u"e\u017Ftimate", u"e\uFB06imate", u"est\u0131mate"})
        QTest::newRow(qPrintable(QString::fromUtf16(lookalike)))
            << QString::fromUtf16(lookalike) << u"1"_s << u" statistics=none feedback=1 "_s;
    QTest::newRow("estimates") << u"estimates"_s << u"0"_s << u" statistics=none rows="_s;
    QTest::newRow("empty") << QString() << QString() << u" statistics=none rows="_s;
    QTest::newRow("NONE, negative") << u"NONE"_s << u"-5"_s << u" statistics=none rows="_s;
    QTest::newRow("word feedback") << u"NONE"_s << u"abc"_s << u" statistics=none rows="_s;
    QTest::newRow("unit feedback") << u"NONE"_s << u"64k"_s << u" statistics=none rows="_s;
    QTest::newRow("exponent feedback")
        << u"NONE"_s << u"1e3"_s << u" statistics=none feedback=1e3 "_s;
}

void TestCommands::statisticsAndFeedback() {
    QFETCH(QString, statistics);
    QFETCH(QString, feedback);
    QFETCH(QString, pieces);
    ExportFields e = nightlyExport(u"D:"_s);
    e.statistics = statistics;
    e.feedback = feedback;
    ImportFields i = nightlyImport(u"D:"_s);
    i.statistics = statistics;
    i.feedback = feedback;
    QVERIFY(commands::CreateExportString(e, u'\\').line.contains(pieces));
    QVERIFY(commands::CreateImportString(i, u'\\').line.contains(pieces));
}

void TestCommands::emptyPanelsStillGiveConnection() {
    QVERIFY(
        commands::CreateExportString(ExportFields{}, u'\\').line.startsWith(u"exp /@ file=\\ "_s));
    QVERIFY(
        commands::CreateImportString(ImportFields{}, u'\\').line.startsWith(u"imp /@ file=\\ "_s));
}

void TestCommands::nativeSeparator() {
    ExportFields e = nightlyExport(u"/var/dumps/"_s);
    const auto built = commands::CreateExportString(e, u'/');
    QCOMPARE(built.directory, u"/var/dumps"_s);
    QVERIFY(built.line.startsWith(
        u"exp "_s + connection +
        u" file=/var/dumps/nightly.dump log=/var/dumps/nightly.dump.log full=n"_s));
    ImportFields i = nightlyImport(u"/var/dumps//"_s);
    const auto imported = commands::CreateImportString(i, u'/');
    QCOMPARE(imported.directory, u"/var/dumps/"_s);
    QVERIFY(imported.line.contains(u" log=/var/dumps//nightly.dump.log "_s));
}

QTEST_GUILESS_MAIN(TestCommands)
#include "tst_commands.moc"
