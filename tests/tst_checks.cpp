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
    void init();
    void exportRefusals_data();
    void exportRefusals();
    void exportEnvironment_data();
    void exportEnvironment();
    void importRefusals_data();
    void importRefusals();
    void importTitleAndIcon();
    void numericText_data();
    void numericText();
    void autoFilename_data();
    void autoFilename();
    void fileExists();

private:
    EnvironmentGuard m_environment{{u"ORA_HOME"_s, u"NLS_LANG"_s}};
};

void TestChecks::init() {
    qputenv("ORA_HOME", "/opt/oracle");
    qputenv("NLS_LANG", "AMERICAN_AMERICA.WE8ISO8859P1");
}

void TestChecks::exportRefusals_data() {
    QTest::addColumn<ExportFields>("fields");
    QTest::addColumn<QStringList>("messages");

    QTest::newRow("all good") << goodExport() << QStringList();
    QTest::newRow("all empty") << ExportFields{} << QStringList{sidMsg};

    ExportFields noPassword;
    noPassword.sid = u"ORCL"_s;
    noPassword.username = u"scott"_s;
    QTest::newRow("no password") << noPassword << QStringList{passwordMsg};

    const auto missing = [](QString ExportFields::*member, const QString& message) {
        ExportFields f = goodExport();
        f.*member = QString();
        return std::pair{f, QStringList{message}};
    };
    for (const auto& [name, member, message] :
         {std::tuple{"no sid", &ExportFields::sid, sidMsg},
          std::tuple{"no username", &ExportFields::username, u"Please enter a Username"_s},
          std::tuple{"no directory", &ExportFields::directory, u"Please enter a Directory"_s},
          std::tuple{"no file", &ExportFields::exportFile, u"Please enter Filename"_s}}) {
        const auto [fields, messages] = missing(member, message);
        QTest::newRow(name) << fields << messages;
    }

    ExportFields blanks = goodExport();
    blanks.sid = blanks.username = blanks.password = blanks.directory = u" "_s;
    QTest::newRow("blank fields count as filled") << blanks << QStringList();

    ExportFields blankFile = goodExport();
    blankFile.exportFile = u" "_s;
    QTest::newRow("file of one blank") << blankFile << QStringList{fileBlankMsg};

    ExportFields query = goodExport();
    query.query = u"WHERE 1=1"_s;
    QTest::newRow("query with direct") << query << QStringList{queryMsg};
    query.direct = false;
    QTest::newRow("query without direct") << query << QStringList();

    ExportFields both = goodExport();
    both.query = u"WHERE 1=1"_s;
    both.tables = u"EMP DEPT"_s;
    both.full = true;
    both.buffer = u"abc"_s;
    both.exportFile = u"a b"_s;
    QTest::newRow("both conflicts, nothing else") << both << QStringList{queryMsg, fullMsg};

    ExportFields tablesFull = goodExport();
    tablesFull.tables = u"EMP"_s;
    tablesFull.full = true;
    tablesFull.buffer = u"abc"_s;
    QTest::newRow("tables with full only") << tablesFull << QStringList{fullMsg};

    ExportFields queryBuffer = goodExport();
    queryBuffer.query = u"WHERE 1=1"_s;
    queryBuffer.buffer = u"lots"_s;
    QTest::newRow("query beats buffer") << queryBuffer << QStringList{queryMsg};

    for (const auto& [buffer, ok] :
         {std::pair{u""_s, true}, std::pair{u"999999"_s, true}, std::pair{u" -1.5e3 "_s, true},
          std::pair{u"64k"_s, false}, std::pair{u"abc"_s, false}, std::pair{u"inf"_s, false}}) {
        ExportFields f = goodExport();
        f.buffer = buffer;
        QTest::newRow(qPrintable(u"buffer '"_s + buffer + u'\''))
            << f << (ok ? QStringList() : QStringList{bufferMsg});
    }

    ExportFields fileAndTables = goodExport();
    fileAndTables.exportFile = u"my dump"_s;
    fileAndTables.tables = u"EMP, DEPT"_s;
    QTest::newRow("file blank before tables blank") << fileAndTables << QStringList{fileBlankMsg};
    fileAndTables.exportFile = u"mydump"_s;
    QTest::newRow("tables blank") << fileAndTables << QStringList{tablesMsg};
}

void TestChecks::exportRefusals() {
    QFETCH(ExportFields, fields);
    QFETCH(QStringList, messages);
    MessageRecorder recorder;
    QCOMPARE(CheckExportFields(fields), messages.isEmpty());
    QCOMPARE(recorder.texts(), messages);
    for (const auto& box : recorder.boxes) {
        QCOMPARE(box.title, u"Export Error:"_s);
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }
}

void TestChecks::exportEnvironment_data() {
    QTest::addColumn<QByteArray>("oraHome");
    QTest::addColumn<QByteArray>("nlsLang");
    QTest::addColumn<QStringList>("messages");

    const QByteArray unset("<unset>");
    QTest::newRow("both missing") << unset << unset << QStringList{oraHomeMsg};
    QTest::newRow("ORA_HOME empty") << QByteArray() << QByteArray("x") << QStringList{oraHomeMsg};
    QTest::newRow("NLS_LANG missing") << QByteArray("/o") << unset << QStringList{nlsLangMsg};
    QTest::newRow("long value is set") << QByteArray(4000, 'a') << QByteArray("x") << QStringList();
}

void TestChecks::exportEnvironment() {
    QFETCH(QByteArray, oraHome);
    QFETCH(QByteArray, nlsLang);
    QFETCH(QStringList, messages);
    for (const auto& [name, value] :
         {std::pair{"ORA_HOME", oraHome}, std::pair{"NLS_LANG", nlsLang}}) {
        if (value == "<unset>")
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    MessageRecorder recorder;
    QCOMPARE(CheckExportFields(goodExport()), messages.isEmpty());
    QCOMPARE(recorder.texts(), messages);

    // A refusal earlier in the order means the environment is not looked at.
    ExportFields noSid = goodExport();
    noSid.sid.clear();
    MessageRecorder second;
    CheckExportFields(noSid);
    QCOMPARE(second.texts(), QStringList{sidMsg});
}

void TestChecks::importRefusals_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("message");

    QTest::newRow("all good") << QString() << QString() << QString();
    QTest::newRow("no sid") << u"sid"_s << QString() << sidMsg;
    QTest::newRow("no password") << u"password"_s << QString() << passwordMsg;
    QTest::newRow("no file") << u"file"_s << QString() << u"Please enter a Filename"_s;
    QTest::newRow("blank in file, no such file") << u"file"_s << u"a b.dump"_s << fileBlankMsg;
    QTest::newRow("blank in existing file") << u"file"_s << u"with blank.dump"_s << fileBlankMsg;
    QTest::newRow("missing file") << u"file"_s << u"gone.dump"_s
                                  << u"The Import File does not exist"_s;
    QTest::newRow("folder in place of file")
        << u"file"_s << u"folder.dump"_s << u"The Import File does not exist"_s;
    QTest::newRow("blank in tables") << u"tables"_s << u"EMP DEPT"_s << tablesMsg;
    QTest::newRow("buffer of letters and full with tables pass")
        << u"lenient"_s << QString() << QString();
    QTest::newRow("NLS_LANG missing") << u"nls"_s << QString() << nlsLangMsg;
    QTest::newRow("ORA_HOME missing") << u"ora"_s << QString() << oraHomeMsg;
}

void TestChecks::importRefusals() {
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QString, message);

    QTemporaryDir dir(QDir::tempPath() + u"/tarnhold dir XXXXXX"_s);
    QVERIFY(dir.isValid());
    for (const QString& name : {u"exp.dump"_s, u"with blank.dump"_s}) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QVERIFY(QDir(dir.path()).mkdir(u"folder.dump"_s));

    ImportFields f;
    f.sid = u"TEST"_s;
    f.username = u"scott"_s;
    f.password = u"tiger"_s;
    f.directory = dir.path();
    f.importFile = u"exp.dump"_s;
    if (field == u"sid"_s)
        f.sid = value;
    else if (field == u"password"_s)
        f.password = value;
    else if (field == u"file"_s)
        f.importFile = value;
    else if (field == u"tables"_s)
        f.tables = value;
    else if (field == u"lenient"_s) {
        f.buffer = u"lots"_s;
        f.full = true;
        f.tables = u"EMP"_s;
    } else if (field == u"nls"_s)
        qunsetenv("NLS_LANG");
    else if (field == u"ora"_s)
        qputenv("ORA_HOME", "");

    MessageRecorder recorder;
    QCOMPARE(CheckImportFields(f, u'/'), message.isEmpty());
    QCOMPARE(recorder.texts(), message.isEmpty() ? QStringList() : QStringList{message});
}

void TestChecks::importTitleAndIcon() {
    MessageRecorder recorder;
    QVERIFY(!CheckImportFields(ImportFields{}, u'/'));
    QCOMPARE(recorder.boxes.size(), 1);
    QCOMPARE(recorder.boxes[0].title, u"Import Error:"_s);
    QCOMPARE(recorder.boxes[0].icon, QMessageBox::Critical);
}

void TestChecks::numericText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("numeric");
    for (const char* yes : {"0", "999999", "-5", "+7", "1.5", " 42 ", "1e3", "-2.5E-2", ".5"})
        QTest::newRow(yes) << QString::fromLatin1(yes) << true;
    for (const char* no : {"", " ", "64k", "abc", "inf", "nan", "1e", "12 34", "0x10", "--1"})
        QTest::newRow(no) << QString::fromLatin1(no) << false;
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
