// SPDX-License-Identifier: GPL-3.0-or-later
// An export through the real window from a seeded DEMO database and an import of its dump into
// an empty TEST database, with the stand-in utilities doing the database work.
#include "app/FrmMain.h"
#include "standin/standin_home.h"
#include "support/ConsoleOperator.h"
#include "support/EnvironmentGuard.h"
#include "support/MessageRecorder.h"
#include "support/WindowTest.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

namespace {

void setText(const frmMain& window, const char* name, const QString& text) {
    control<QLineEdit>(window, name)->setText(text);
}

} // namespace

class TestRoundTrip : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup();
    void exportThenImport_data();
    void exportThenImport();

private:
    EnvironmentGuard m_environment{{u"ORA_HOME"_s, u"NLS_LANG"_s}};
};

void TestRoundTrip::cleanup() {
    closeConsoles();
    QTRY_VERIFY(noWindowLeft());
}

void TestRoundTrip::exportThenImport_data() {
    QTest::addColumn<QString>("query");
    QTest::addColumn<bool>("rows");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("tables");  // exported; EMP and DEPT are imported
    QTest::addColumn<QString>("warning"); // a line the export's console and log show, if any
    QTest::addColumn<QString>("ended");   // the console's last line
    const auto tables = u"EMP,DEPT"_s;
    const auto clean =
        u"[exp has ended with exit status 0: terminated successfully without warnings]"_s;
    QTest::newRow("all rows") << QString() << true << u"dumps"_s << u"tiger"_s << tables
                              << QString() << clean;
    QTest::newRow("query") << u"WHERE DEPTNO = 10"_s << true << u"dumps"_s << u"tiger"_s << tables
                           << QString() << clean;
    QTest::newRow("definitions only")
        << QString() << false << u"dumps"_s << u"tiger"_s << tables << QString() << clean;
    QTest::newRow("folder with blanks")
        << QString() << true << u"my dumps"_s << u"tiger"_s << tables << QString() << clean;
    // exp asks again on its console; the operator answers there. The refused logon's two coded
    // lines are problems of the run, which then ends without warnings.
    QTest::newRow("wrong password, answered at the console")
        << QString() << true << u"dumps"_s << u"WRONG"_s << tables << QString()
        << u"[exp has ended with exit status 0: terminated successfully without warnings, "
           u"2 problems]"_s;
    // The demo's run with warnings: the tables that exist are exported all the same.
    QTest::newRow("a table that does not exist")
        << QString() << true << u"dumps"_s << u"tiger"_s << u"EMP,DEPT,BONUS"_s
        << u"EXP-00011: SCOTT.BONUS does not exist"_s
        << u"[exp has ended with exit status 1: terminated successfully with warnings, 1 problem]"_s;
}

void TestRoundTrip::exportThenImport() {
    QFETCH(QString, query);
    QFETCH(bool, rows);
    QFETCH(QString, folder);
    QFETCH(QString, password);
    QFETCH(QString, tables);
    QFETCH(QString, warning);
    QFETCH(QString, ended);
    StandinHome home;
    QVERIFY(home.isValid());
    QVERIFY(QFile::link(QStringLiteral(STANDIN_EXP).section(u'/', 0, -2), home.path(u"bin"_s)));
    QVERIFY(QDir().mkpath(home.path(folder)));
    qputenv("ORA_HOME", QFile::encodeName(home.path(QString())));
    qputenv("NLS_LANG", "AMERICAN_AMERICA.AL32UTF8");

    frmMain window;
    setText(window, "txt_sid_e", u"DEMO"_s);
    setText(window, "txt_username_e", u"scott"_s);
    setText(window, "txt_password_e", password);
    setText(window, "txt_directory_e", home.path(folder) + u'/');
    setText(window, "txt_exportfile", u"emp.dump"_s);
    setText(window, "txt_tables_e", tables);
    setText(window, "txt_query_e", query);
    control<QCheckBox>(window, "chk_direct_e")->setChecked(false);
    control<QCheckBox>(window, "chk_rows_e")->setChecked(rows);

    setText(window, "txt_sid_i", u"TEST"_s);
    setText(window, "txt_username_i", u"scott"_s);
    setText(window, "txt_password_i", u"tiger"_s);
    setText(window, "txt_directory_i", home.path(folder));
    setText(window, "txt_importfile", u"emp.dump"_s);
    setText(window, "txt_tables_i", u"EMP,DEPT"_s);

    ConsoleOperator operatorAtKeys;
    if (password != u"tiger"_s) {
        operatorAtKeys.expect(u"Username: "_s, [](ConsoleView* view) { type(view, u"scott"_s); });
        operatorAtKeys.expect(u"Password: "_s, [](ConsoleView* view) { type(view, u"tiger"_s); });
    }
    operatorAtKeys.start();
    MessageRecorder recorder;
    control<QPushButton>(window, "cmd_export")->click();
    QCOMPARE(recorder.texts(), QStringList());
    QVERIFY(operatorAtKeys.finished());
    // The console showed the work as it went, and never the password typed at it.
    QVERIFY2(consoleText().contains(u"exported SCOTT.EMP"_s), qPrintable(consoleText()));
    QVERIFY(!consoleText().contains(u"tiger"_s));
    const QString log = QString::fromUtf8(fileBytes(home.path(folder + u"/emp.dump.log"_s)));
    const QString closing = warning.isEmpty()
                                ? u"Export terminated successfully without warnings."_s
                                : u"Export terminated successfully with warnings."_s;
    QVERIFY2(log.endsWith(closing + u'\n'), qPrintable(log));
    QVERIFY2(consoleText().contains(closing), qPrintable(consoleText()));
    if (!warning.isEmpty()) {
        QVERIFY2(log.contains(u'\n' + warning + u'\n'), qPrintable(log));
        QVERIFY2(consoleText().contains(warning), qPrintable(consoleText()));
    }
    // The console's last line, its rows joined, tells the outcome from the closing line.
    QVERIFY2(consoleText().remove(u'\n').endsWith(ended), qPrintable(consoleText()));

    control<QPushButton>(window, "cmd_import")->click();
    QCOMPARE(recorder.texts(), QStringList());
    const QString importLog = QString::fromUtf8(fileBytes(home.path(folder + u"/emp.dump.log"_s)));
    QVERIFY2(importLog.contains(u"Import terminated successfully without warnings."_s),
             qPrintable(importLog));

    const QString demo = home.database(u"DEMO"_s);
    const QString test = home.database(u"TEST"_s);
    for (const QString& table : {u"SCOTT.EMP"_s, u"SCOTT.DEPT"_s}) {
        QVERIFY(tableExists(test, table));
        // The query is the WHERE clause of every exported table.
        const QString where = query.mid(6);
        const QStringList expected = rows ? tableRows(demo, table, where) : QStringList();
        QCOMPARE(tableRows(test, table), expected);
    }
    if (!query.isEmpty())
        QVERIFY(rowCount(test, u"SCOTT.EMP"_s) < rowCount(demo, u"SCOTT.EMP"_s));
}

QTEST_MAIN(TestRoundTrip)
#include "tst_roundtrip.moc"
