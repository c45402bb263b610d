// SPDX-License-Identifier: GPL-3.0-or-later
// The field checks' refusals and their order, the automatic dump file name, the file test and
// the numeric test behind the buffer and feedback fields.
#include "checks/DumpFileNaming.h"
#include "checks/ExportChecks.h"
#include "checks/ImportChecks.h"
#include "platform/NumericText.h"
#include "support/EnvironmentGuard.h"
#include "support/MessageRecorder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString sidMsg = u"Please enter a SID"_s;
const QString passwordMsg = u"Please enter a Password"_s;
const QString queryMsg = u"If You are exporting via a Query, the Export cant be Direct"_s;
const QString fullMsg = u"If You are exporting tables, the Export cant be Full"_s;
const QString bufferMsg = u"Buffer must be a number"_s;
const QString fileBlankMsg =
    u"Please remove the space and other chars as !\"#\u00A4%/ from the filename"_s;
const QString tablesMsg =
    u"Please remove any spaces from the tables field, spaces are not allowed in tablenames"_s;
const QString oraHomeMsg =
    u"Your ORA_HOME environment variable is not set - please set this via the [View/Set ORA "
    u"Parameters] button on permanently in the Control Panel!!"_s;
const QString nlsLangMsg =
    u"Your NLS_LANG environment variable is not set  - please set this via the [View/Set ORA "
    u"Parameters] button on permanently in the Control Panel!!"_s;

const QString usernameMsg = u"Please enter a Username"_s;
const QString directoryMsg = u"Please enter a Directory"_s;
const QString noDumpMsg = u"The Import File does not exist"_s;

// Environment changes for one row: "NAME=value" sets, a bare "NAME" unsets.
using Environment = QByteArrayList;
const Environment neitherVariable{"ORA_HOME", "NLS_LANG"};

void apply(const Environment& environment) {
    for (const QByteArray& entry : environment) {
        const qsizetype equals = entry.indexOf('=');
        if (equals < 0)
            qunsetenv(entry.constData());
        else
            qputenv(entry.left(equals).constData(), entry.mid(equals + 1));
    }
}

// The boxes shown are exactly these texts, in this order, each a refusal of the given kind.
void compareBoxes(const MessageRecorder& recorder, const QStringList& messages,
                  const QString& title) {
    QCOMPARE(recorder.texts(), messages);
    for (const auto& box : recorder.boxes) {
        QCOMPARE(box.title, title);
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }
}

ExportFields goodExport() {
    ExportFields f;
    f.sid = u"ORCL"_s;
    f.username = u"scott"_s;
    f.password = u"tiger"_s;
    f.directory = u"/no/such folder"_s;
    f.exportFile = u"x#%.dump"_s;
    return f;
}

} // namespace

class TestChecks : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void exportRefusals_data();
    void exportRefusals();
    void importRefusals_data();
    void importRefusals();
    void numericText_data();
    void numericText();
    void autoFilename_data();
    void autoFilename();
    void fileExists();

private:
    EnvironmentGuard m_environment{{u"ORA_HOME"_s, u"NLS_LANG"_s}};
    QTemporaryDir m_dumps{QDir::tempPath() + u"/tarnhold dir XXXXXX"_s};
};

void TestChecks::initTestCase() {
    QVERIFY(m_dumps.isValid());
    for (const QString& name : {u"exp.dump"_s, u"with blank.dump"_s}) {
        QFile file(m_dumps.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QVERIFY(QDir(m_dumps.path()).mkdir(u"folder.dump"_s));
}

void TestChecks::init() {
    qputenv("ORA_HOME", "/opt/oracle");
    qputenv("NLS_LANG", "AMERICAN_AMERICA.WE8ISO8859P1");
}

void TestChecks::exportRefusals_data() {
    QTest::addColumn<ExportFields>("fields");
    QTest::addColumn<Environment>("environment");
    QTest::addColumn<QStringList>("messages");
    const auto row = [](const char* name, const ExportFields& fields, const QStringList& messages,
                        const Environment& environment = {}) {
        QTest::newRow(name) << fields << environment << messages;
    };

    row("all good", goodExport(), {});
    row("all empty", ExportFields{}, {sidMsg});

    ExportFields everything;
    everything.query = u"WHERE 1=1"_s;
    everything.tables = u"EMP DEPT"_s;
    everything.full = true;
    everything.buffer = u"abc"_s;
    everything.exportFile = u"a b"_s;
    row("everything wrong, both variables unset", everything, {sidMsg}, neitherVariable);

    ExportFields noPassword;
    noPassword.sid = u"ORCL"_s;
    noPassword.username = u"scott"_s;
    row("no password", noPassword, {passwordMsg});
    noPassword.query = u"WHERE 1=1"_s;
    noPassword.tables = u"EMP"_s;
    noPassword.full = true;
    row("no password beats both conflicts", noPassword, {passwordMsg}, neitherVariable);

    const auto missing = [](QString ExportFields::*member) {
        ExportFields f = goodExport();
        f.*member = QString();
        return f;
    };
    row("no sid", missing(&ExportFields::sid), {sidMsg});
    row("no username", missing(&ExportFields::username), {usernameMsg});
    row("no directory", missing(&ExportFields::directory), {directoryMsg});
    row("no file", missing(&ExportFields::exportFile), {u"Please enter Filename"_s});
    // Two neighbours in the required order empty together: the earlier one is named.
    const auto missingTwo = [&missing](QString ExportFields::*first,
                                       QString ExportFields::*second) {
        ExportFields f = missing(first);
        f.*second = QString();
        return f;
    };
    row("no sid, no username", missingTwo(&ExportFields::sid, &ExportFields::username), {sidMsg});
    row("no username, no password", missingTwo(&ExportFields::username, &ExportFields::password),
        {usernameMsg});
    row("no password, no directory", missingTwo(&ExportFields::password, &ExportFields::directory),
        {passwordMsg});
    row("no directory, no file", missingTwo(&ExportFields::directory, &ExportFields::exportFile),
        {directoryMsg});
    ExportFields noFile = missing(&ExportFields::exportFile);
    noFile.tables = u"EMP DEPT"_s;
    noFile.query = u"x"_s;
    row("no file beats query, tables blank and ORA_HOME", noFile, {u"Please enter Filename"_s},
        {"ORA_HOME"});

    ExportFields blanks = goodExport();
    blanks.sid = blanks.username = blanks.password = blanks.directory = u" "_s;
    row("blank fields count as filled", blanks, {});

    ExportFields blankFile = goodExport();
    blankFile.exportFile = u" "_s;
    row("file of one blank", blankFile, {fileBlankMsg});

    ExportFields query = goodExport();
    query.query = u"WHERE 1=1"_s;
    row("query with direct", query, {queryMsg});
    query.direct = false;
    row("query without direct", query, {});

    ExportFields both = goodExport();
    both.query = u"WHERE 1=1"_s;
    both.tables = u"EMP DEPT"_s;
    both.full = true;
    both.buffer = u"abc"_s;
    both.exportFile = u"a b"_s;
    row("both conflicts, nothing else", both, {queryMsg, fullMsg}, neitherVariable);

    ExportFields tablesFull = goodExport();
    tablesFull.tables = u"EMP"_s;
    tablesFull.full = true;
    tablesFull.buffer = u"abc"_s;
    row("tables with full only", tablesFull, {fullMsg}, {"NLS_LANG"});

    ExportFields queryBuffer = goodExport();
    queryBuffer.query = u"WHERE 1=1"_s;
    queryBuffer.buffer = u"lots"_s;
    row("query beats buffer", queryBuffer, {queryMsg});

    for (const auto& [buffer, ok] :
         {std::pair{u""_s, true}, std::pair{u"999999"_s, true}, std::pair{u" -1.5e3 "_s, true},
          std::pair{u"64k"_s, false}, std::pair{u"abc"_s, false}, std::pair{u"inf"_s, false}}) {
        ExportFields f = goodExport();
        f.buffer = buffer;
        QTest::newRow(qPrintable(u"buffer '"_s + buffer + u'\''))
            << f << Environment() << (ok ? QStringList() : QStringList{bufferMsg});
    }
    ExportFields bufferFile = goodExport();
    bufferFile.buffer = u"64k"_s;
    bufferFile.exportFile = u"my dump"_s;
    bufferFile.tables = u"A B"_s;
    row("buffer beats blanks and environment", bufferFile, {bufferMsg}, neitherVariable);

    ExportFields fileAndTables = goodExport();
    fileAndTables.exportFile = u"my dump"_s;
    fileAndTables.tables = u"EMP, DEPT"_s;
    row("file blank before tables blank", fileAndTables, {fileBlankMsg}, neitherVariable);
    fileAndTables.exportFile = u"mydump"_s;
    row("tables blank", fileAndTables, {tablesMsg});
    row("tables blank before environment", fileAndTables, {tablesMsg}, neitherVariable);

    row("both variables unset", goodExport(), {oraHomeMsg}, neitherVariable);
    row("ORA_HOME empty", goodExport(), {oraHomeMsg}, {"ORA_HOME="});
    row("ORA_HOME empty, NLS_LANG unset", goodExport(), {oraHomeMsg}, {"ORA_HOME=", "NLS_LANG"});
    row("NLS_LANG missing", goodExport(), {nlsLangMsg}, {"NLS_LANG"});
    row("NLS_LANG empty", goodExport(), {nlsLangMsg}, {"NLS_LANG="});
    row("long value is set", goodExport(), {}, {"ORA_HOME=" + QByteArray(4000, 'a')});
}

void TestChecks::exportRefusals() {
    QFETCH(ExportFields, fields);
    QFETCH(Environment, environment);
    QFETCH(QStringList, messages);
    apply(environment);
    MessageRecorder recorder;
    QCOMPARE(CheckExportFields(fields), messages.isEmpty());
    compareBoxes(recorder, messages, u"Export Error:"_s);
}

void TestChecks::importRefusals_data() {
    QTest::addColumn<ImportFields>("fields");
    QTest::addColumn<Environment>("environment");
    QTest::addColumn<QStringList>("messages");
    ImportFields good;
    good.sid = u"TEST"_s;
    good.username = u"scott"_s;
    good.password = u"tiger"_s;
    good.directory = m_dumps.path();
    good.importFile = u"exp.dump"_s;
    const auto row = [](const char* name, const ImportFields& fields, const QStringList& messages,
                        const Environment& environment = {}) {
        QTest::newRow(name) << fields << environment << messages;
    };

    row("all good", good, {});
    row("all empty", ImportFields{}, {sidMsg});
    ImportFields empty;
    empty.tables = u"A B"_s;
    row("everything wrong, both variables unset", empty, {sidMsg}, neitherVariable);

    const auto missing = [&good](QString ImportFields::*member) {
        ImportFields f = good;
        f.*member = QString();
        return f;
    };
    row("no sid", missing(&ImportFields::sid), {sidMsg});
    ImportFields noUsername = missing(&ImportFields::username);
    noUsername.tables = u"A B"_s;
    row("no username, blank tables", noUsername, {usernameMsg});
    row("no password", missing(&ImportFields::password), {passwordMsg});
    row("no directory, so no such file", missing(&ImportFields::directory), {directoryMsg},
        neitherVariable);
    row("no file", missing(&ImportFields::importFile), {u"Please enter a Filename"_s});
    const auto missingTwo = [&missing](QString ImportFields::*first,
                                       QString ImportFields::*second) {
        ImportFields f = missing(first);
        f.*second = QString();
        return f;
    };
    row("no sid, no username", missingTwo(&ImportFields::sid, &ImportFields::username), {sidMsg});
    row("no username, no password", missingTwo(&ImportFields::username, &ImportFields::password),
        {usernameMsg});
    row("no password, no directory", missingTwo(&ImportFields::password, &ImportFields::directory),
        {passwordMsg});
    row("no directory, no file", missingTwo(&ImportFields::directory, &ImportFields::importFile),
        {directoryMsg});

    ImportFields file = good;
    file.importFile = u"with blank.dump"_s;
    row("blank in existing file", file, {fileBlankMsg});
    file.importFile = u"a b.dump"_s;
    file.tables = u"A B"_s;
    row("blank in file, no such file, blank tables", file, {fileBlankMsg}, neitherVariable);
    file.importFile = u"gone.dump"_s;
    row("missing file beats blank tables and environment", file, {noDumpMsg}, neitherVariable);
    file.tables.clear();
    row("missing file", file, {noDumpMsg});
    file.importFile = u"folder.dump"_s;
    row("folder in place of file", file, {noDumpMsg});

    ImportFields tables = good;
    tables.tables = u"EMP DEPT"_s;
    row("blank in tables", tables, {tablesMsg});
    row("blank in tables beats environment", tables, {tablesMsg}, neitherVariable);
    ImportFields lenient = good;
    lenient.buffer = u"lots"_s;
    lenient.full = true;
    lenient.tables = u"EMP"_s;
    row("buffer of letters and full with tables pass", lenient, {});

    row("NLS_LANG missing", good, {nlsLangMsg}, {"NLS_LANG"});
    row("ORA_HOME empty", good, {oraHomeMsg}, {"ORA_HOME="});
    row("both variables unset", good, {oraHomeMsg}, neitherVariable);
    row("ORA_HOME empty, NLS_LANG empty", good, {oraHomeMsg}, {"ORA_HOME=", "NLS_LANG="});
}

void TestChecks::importRefusals() {
    QFETCH(ImportFields, fields);
    QFETCH(Environment, environment);
    QFETCH(QStringList, messages);
    apply(environment);
    MessageRecorder recorder;
    QCOMPARE(CheckImportFields(fields, u'/'), messages.isEmpty());
    compareBoxes(recorder, messages, u"Import Error:"_s);
}

void TestChecks::numericText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("numeric");
    for (const char* yes : {"0", "999999", "-5", "+7", "1.5", " 42 ", "1e3", "-2.5E-2", ".5"})
        QTest::newRow(yes) << QString::fromLatin1(yes) << true;
    for (const char* no : {"", " ", "64k", "abc", "inf", "nan", "1e", "12 34", "0x10", "--1"})
        QTest::newRow(no) << QString::fromLatin1(no) << false;
    // Words a number parser reads, in any case, with a sign and blanks: never a number here.
    for (const char* word : {"INF", "Inf", "iNf", "+inf", "-inf", " -INF ", "NAN", "NaN", "nAn",
                             "+nan", "-NaN", "infinity", "INFINITY", "Infinity", "+infinity",
                             "-Infinity", " +INFINITY ", "1e+inf", "-nan(1)"})
        QTest::newRow(word) << QString::fromLatin1(word) << false;
    QTest::newRow("infinity sign") << u"\u221e"_s << false;
    QTest::newRow("minus infinity sign") << u"-\u221e"_s << false;
    QTest::newRow("an overflow to infinity") << u"1e999"_s << false;
}

void TestChecks::numericText() {
    QFETCH(QString, text);
    QFETCH(bool, numeric);
    QCOMPARE(platform::isNumericText(text), numeric);
}

void TestChecks::autoFilename_data() {
    QTest::addColumn<QString>("crNo");
    QTest::addColumn<QString>("username");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("name");
    QTest::newRow("cr and user") << u"4711"_s << u"scott"_s << QDate(2004, 3, 5)
                                 << u"cr4711_scott_05032004.dump"_s;
    QTest::newRow("user only") << QString() << u"scott"_s << QDate(2004, 6, 17)
                               << u"scott_17062004.dump"_s;
    QTest::newRow("date only") << QString() << QString() << QDate(2005, 1, 1) << u"01012005.dump"_s;
    QTest::newRow("short cr") << u"12"_s << u"scott"_s << QDate(2004, 10, 9)
                              << u"cr12_scott_09102004.dump"_s;
    QTest::newRow("blanks kept") << u" 1"_s << u"a b"_s << QDate(2026, 12, 31)
                                 << u"cr 1_a b_31122026.dump"_s;
}

void TestChecks::autoFilename() {
    QFETCH(QString, crNo);
    QFETCH(QString, username);
    QFETCH(QDate, date);
    QFETCH(QString, name);
    QCOMPARE(CreateAutoFilename(crNo, username, date), name);
}

void TestChecks::fileExists() {
    QTemporaryDir dir;
    QFile empty(dir.filePath(u"empty"_s));
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.close();
    QVERIFY(DoesFileExist(empty.fileName()));
    QVERIFY(!DoesFileExist(dir.path()));
    QVERIFY(!DoesFileExist(dir.filePath(u"missing"_s)));
    QVERIFY(!DoesFileExist(QString()));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    QVERIFY(DoesFileExist(u"empty"_s));
    QDir::setCurrent(previous);
}

QTEST_MAIN(TestChecks)
#include "tst_checks.moc"
