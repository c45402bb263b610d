// SPDX-License-Identifier: GPL-3.0-or-later
// The export and import runs through the real window, against a recording stand-in utility:
// what the utility receives, what the window shows, how failed starts are reported.
#include "app/FrmMain.h"
#include "runs/ArgumentSplitter.h"
#include "support/EnvironmentGuard.h"
#include "support/MessageRecorder.h"
#include "support/OracleHome.h"
#include "support/Panels.h"
#include "support/WindowTest.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

namespace {

QString readBack(const frmMain& window, const char* name) {
    return control<QPlainTextEdit>(window, name)->toPlainText();
}

} // namespace

class TestRuns : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup();
    void splitArguments_data();
    void splitArguments();
    void exportRunPassesArgumentsAndOffersLog();
    void passwordReachesUtilityUninterpreted_data();
    void passwordReachesUtilityUninterpreted();
    void importRunSharesTheExportLog();
    void missingUtility_data();
    void missingUtility();
    void utilityThatCannotStart();
    void refusedCheckStartsNothing();
    void runWithoutLogLeavesButtonAlone();

private:
    EnvironmentGuard m_environment{{u"ORA_HOME"_s, u"NLS_LANG"_s, u"TARNHOLD_RECORD"_s}};
};

void TestRuns::cleanup() {
    closeConsoles();
    QTRY_VERIFY(noWindowLeft());
}

void TestRuns::splitArguments_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("empty") << QString() << QStringList();
    QTest::newRow("blanks only") << u"   "_s << QStringList();
    QTest::newRow("runs of blanks") << u"  a   b "_s << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("tables") << u"rows=y tables=(\"EMP,DEPT\") buffer=1"_s
                            << QStringList{u"rows=y"_s, u"tables=(\"EMP,DEPT\")"_s, u"buffer=1"_s};
    QTest::newRow("query with blanks") << u"query=\"WHERE DEPTNO = 10\" x"_s
                                       << QStringList{u"query=\"WHERE DEPTNO = 10\""_s, u"x"_s};
    QTest::newRow("unclosed quote runs to the end") << u"a=\"b c"_s << QStringList{u"a=\"b c"_s};
    QTest::newRow("tab is not a blank") << u"a\tb c"_s << QStringList{u"a\tb"_s, u"c"_s};
}

void TestRuns::splitArguments() {
    QFETCH(QString, text);
    QFETCH(QStringList, arguments);
    QCOMPARE(runs::splitArguments(text), arguments);
}

void TestRuns::exportRunPassesArgumentsAndOffersLog() {
    OracleHome home;
    frmMain window;
    window.show();
    fillExport(window, home.dumps() + u'/', u"tiger"_s);
    control<QLineEdit>(window, "txt_tables_e")->setText(u"EMP,DEPT"_s);
    control<QLineEdit>(window, "txt_query_e")->setText(u"WHERE DEPTNO = 10"_s);
    control<QWidget>(window, "chk_direct_e")->setProperty("checked", false);
    auto* viewLog = control<QPushButton>(window, "cmd_view_explog");
    viewLog->setEnabled(false);

    MessageRecorder recorder;
    control<QPushButton>(window, "cmd_export")->click();

    const QString dir = home.dumps();
    QCOMPARE(recorder.boxes.size(), 0);
    QCOMPARE(control<QLineEdit>(window, "txt_directory_e")->text(), dir);
    const QStringList expected = {u"scott/tiger@DEMO"_s,
                                  u"file="_s + dir + u"/x.dump"_s,
                                  u"log="_s + dir + u"/x.dump.log"_s,
                                  u"full=n"_s,
                                  u"direct=n"_s,
                                  u"grants=y"_s,
                                  u"indexes=n"_s,
                                  u"consistent=y"_s,
                                  u"compress=n"_s,
                                  u"statistics=estimate"_s,
                                  u"feedback=1000"_s,
                                  u"rows=y"_s,
                                  u"tables=(\"EMP,DEPT\")"_s,
                                  u"buffer=999999"_s,
                                  u"query=\"WHERE DEPTNO = 10\""_s};
    QCOMPARE(home.recordedArguments(), expected);
    QCOMPARE(readBack(window, "txt_exp_params"), u"exp "_s + expected.join(u' '));
    QVERIFY(viewLog->isEnabled());
}

void TestRuns::passwordReachesUtilityUninterpreted_data() {
    QTest::addColumn<QString>("password");
    QTest::newRow("command separator") << u"a;touch pwned"_s;
    QTest::newRow("substitution") << u"$(touch pwned)"_s;
    QTest::newRow("backticks and pipes") << u"`touch pwned`|>pwned&"_s;
    QTest::newRow("slash and at") << u"p/w@d"_s;
}

void TestRuns::passwordReachesUtilityUninterpreted() {
    QFETCH(QString, password);
    OracleHome home;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(home.path());
    frmMain window;
    fillExport(window, home.dumps(), password);
    MessageRecorder recorder;
    control<QPushButton>(window, "cmd_export")->click();
    QDir::setCurrent(previous);

    QCOMPARE(recorder.boxes.size(), 0);
    const QStringList arguments = home.recordedArguments();
    QVERIFY(!arguments.isEmpty());
    // Blanks separate arguments; everything else arrives byte for byte.
    QCOMPARE(arguments.join(u' '), readBack(window, "txt_exp_params").mid(4));
    QVERIFY(arguments.join(u' ').startsWith(u"scott/"_s + password + u"@DEMO "_s));
    QVERIFY(!QFile::exists(home.path() + u"/pwned"_s));
}

void TestRuns::importRunSharesTheExportLog() {
    OracleHome home;
    QFile dump(home.dumps() + u"/x.dump"_s);
    QVERIFY(dump.open(QIODevice::WriteOnly));
    dump.close();
    frmMain window;
    fillExport(window, home.dumps() + u'/', u"tiger"_s);
    fillImport(window, home.dumps() + u'/');
    control<QLineEdit>(window, "txt_other_i")->setText(u"fromuser=scott  touser=hr"_s);
    auto* viewLog = control<QPushButton>(window, "cmd_view_implog");
    viewLog->setEnabled(false);

    MessageRecorder recorder;
    control<QPushButton>(window, "cmd_import")->click();
    QCOMPARE(recorder.texts(), QStringList());
    const QStringList expected = {u"scott/tiger@TEST"_s,
                                  u"file="_s + home.dumps() + u"/x.dump"_s,
                                  u"log="_s + home.dumps() + u"/x.dump.log"_s,
                                  u"full=n"_s,
                                  u"compile=y"_s,
                                  u"grants=y"_s,
                                  u"indexes=n"_s,
                                  u"ignore=n"_s,
                                  u"commit=n"_s,
                                  u"statistics=estimate"_s,
                                  u"rows=y"_s,
                                  u"fromuser=scott"_s,
                                  u"touser=hr"_s};
    QCOMPARE(home.recordedArguments(), expected);
    QVERIFY(viewLog->isEnabled());
    QCOMPARE(control<QLineEdit>(window, "txt_directory_i")->text(), home.dumps());
    QCOMPARE(control<QLineEdit>(window, "txt_directory_e")->text(), home.dumps() + u'/');

    control<QPushButton>(window, "cmd_export")->click();
    QCOMPARE(home.recordedArguments().at(2), expected.at(2));
}

void TestRuns::missingUtility_data() {
    QTest::addColumn<bool>("exportRun");
    QTest::addColumn<QString>("message");
    QTest::newRow("exp") << true << u"Error: export executeable \"exp\" not found."_s;
    QTest::newRow("imp") << false << u"Error: export executeable \"imp\" not found."_s;
}

void TestRuns::missingUtility() {
    QFETCH(bool, exportRun);
    QFETCH(QString, message);
    OracleHome home;
    QFile::remove(home.program(exportRun ? u"exp"_s : u"imp"_s));
    QFile dump(home.path() + u"/x.dump"_s);
    QVERIFY(dump.open(QIODevice::WriteOnly));
    dump.close();
    QFile log(home.path() + u"/x.dump.log"_s);
    QVERIFY(log.open(QIODevice::WriteOnly));
    log.close();
    frmMain window;
    fillExport(window, home.path(), u"tiger"_s);
    fillImport(window, home.path());
    auto* viewLog = control<QPushButton>(window, exportRun ? "cmd_view_explog" : "cmd_view_implog");
    viewLog->setEnabled(false);

    MessageRecorder recorder;
    control<QPushButton>(window, exportRun ? "cmd_export" : "cmd_import")->click();
    QCOMPARE(recorder.boxes.size(), 1);
    QCOMPARE(recorder.boxes[0].title, u"Error:"_s);
    QCOMPARE(recorder.boxes[0].text, message);
    QCOMPARE(recorder.boxes[0].icon, QMessageBox::Critical);
    QCOMPARE(recorder.boxes[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(readBack(window, exportRun ? "txt_exp_params" : "txt_imp_params")
                .startsWith(exportRun ? u"exp scott/tiger@DEMO"_s : u"imp scott/tiger@TEST"_s));
    // The log of an earlier run is there, but a failed run never offers it.
    QVERIFY(!viewLog->isEnabled());
}

void TestRuns::utilityThatCannotStart() {
    OracleHome home;
    QFile::setPermissions(home.program(u"exp"_s), QFile::ReadOwner | QFile::WriteOwner);
    frmMain window;
    fillExport(window, home.path(), u"tiger"_s);
    auto* viewLog = control<QPushButton>(window, "cmd_view_explog");
    viewLog->setEnabled(false);

    MessageRecorder recorder;
    control<QPushButton>(window, "cmd_export")->click();
    QCOMPARE(recorder.boxes.size(), 1);
    QCOMPARE(recorder.boxes[0].title, u"Error:"_s);
    QCOMPARE(recorder.boxes[0].text, u"Error: 13: Permission denied"_s);
    QCOMPARE(recorder.boxes[0].icon, QMessageBox::NoIcon);
    QVERIFY(!viewLog->isEnabled());
}

void TestRuns::refusedCheckStartsNothing() {
    OracleHome home;
    frmMain window;
    fillExport(window, home.path() + u'/', u"tiger"_s);
    control<QLineEdit>(window, "txt_buffer_e")->setText(u"64k"_s);
    control<QPlainTextEdit>(window, "txt_exp_params")->setPlainText(u"earlier line"_s);
    auto* viewLog = control<QPushButton>(window, "cmd_view_explog");
    viewLog->setEnabled(false);

    MessageRecorder recorder;
    control<QPushButton>(window, "cmd_export")->click();
    QCOMPARE(recorder.texts(), QStringList{u"Buffer must be a number"_s});
    QVERIFY(!QFile::exists(home.recordPath()));
    QCOMPARE(readBack(window, "txt_exp_params"), u"earlier line"_s);
    QCOMPARE(control<QLineEdit>(window, "txt_directory_e")->text(), home.path() + u'/');
    QVERIFY(!viewLog->isEnabled());
}

void TestRuns::runWithoutLogLeavesButtonAlone() {
    OracleHome home;
    frmMain window;
    // The log folder does not exist, so the utility cannot write its log.
    fillExport(window, home.path() + u"/missing"_s, u"tiger"_s);
    auto* viewLog = control<QPushButton>(window, "cmd_view_explog");
    MessageRecorder recorder;
    for (bool enabled : {true, false}) {
        viewLog->setEnabled(enabled);
        control<QPushButton>(window, "cmd_export")->click();
        QCOMPARE(viewLog->isEnabled(), enabled);
    }
    QCOMPARE(recorder.boxes.size(), 0);
}

QTEST_MAIN(TestRuns)
#include "tst_runs.moc"
