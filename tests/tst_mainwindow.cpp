// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as the operator works in it: focus order, and the handlers that keep the file
// names, log buttons and directories tidy.
#include "app/FrmMain.h"
#include "platform/Clock.h"
#include "runs/MessageDisplay.h"
#include "support/LookTable.h"
#include "support/WindowTest.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;

class TestMainWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void focusOrder();
    void exportFileFilledOnEntry();
    void autoFilenameReplacesTypedName();
    void logButtonsFollowFileNames_data();
    void logButtonsFollowFileNames();
    void directoryLosesOneSeparatorPerFocusLoss_data();
    void directoryLosesOneSeparatorPerFocusLoss();
    void statisticsBoxKeepsTypedText_data();
    void statisticsBoxKeepsTypedText();
    void exitClosesWindow();
    void realMessageBoxIsShownAndDismissed();
};

void TestMainWindow::initTestCase() {
    platform::Clock::setFixedDate(QDate(2004, 3, 5));
}

void TestMainWindow::cleanup() {
    QTRY_VERIFY(noWindowLeft());
}

void TestMainWindow::focusOrder() {
    frmMain window;
    const QStringList expected = {
        u"txt_sid_e"_s,       u"txt_username_e"_s,    u"txt_password_e"_s,  u"txt_cr_no"_s,
        u"txt_directory_e"_s, u"txt_exportfile"_s,    u"chk_full_e"_s,      u"chk_direct_e"_s,
        u"chk_grants_e"_s,    u"chk_indexes_e"_s,     u"chk_rows_e"_s,      u"chk_consistent_e"_s,
        u"chk_compress_e"_s,  u"chk_constraints_e"_s, u"txt_buffer_e"_s,    u"cmb_statistics_e"_s,
        u"txt_feedback_e"_s,  u"txt_query_e"_s,       u"txt_tables_e"_s,    u"txt_other_e"_s,
        u"cmd_export"_s,      u"Command1"_s,          u"cmd_view_params"_s, u"txt_sid_i"_s,
        u"txt_username_i"_s,  u"txt_password_i"_s,    u"txt_directory_i"_s, u"txt_importfile"_s,
        u"chk_full_i"_s,      u"chk_compile_i"_s,     u"chk_grants_i"_s,    u"chk_indexes_i"_s,
        u"chk_rows_i"_s,      u"chk_commit_i"_s,      u"chk_ignore_i"_s,    u"chk_constraints_i"_s,
        u"txt_buffer_i"_s,    u"cmb_statistics_i"_s,  u"txt_feedback_i"_s,  u"txt_tables_i"_s,
        u"txt_other_i"_s,     u"cmd_import"_s,        u"Command2"_s,        u"cmd_exit"_s};
    QStringList actual;
    QWidget* widget = control<QWidget>(window, "txt_sid_e");
    while (actual.size() < expected.size()) {
        if (widget->focusPolicy() & Qt::TabFocus && !widget->focusProxy())
            actual.append(widget->objectName());
        widget = widget->nextInFocusChain();
    }
    QCOMPARE(actual, expected);
}

void TestMainWindow::exportFileFilledOnEntry() {
    frmMain window;
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto* file = control<QLineEdit>(window, "txt_exportfile");
    auto* viewLog = control<QPushButton>(window, "cmd_view_explog");
    control<QLineEdit>(window, "txt_cr_no")->setText(u"4711"_s);
    control<QLineEdit>(window, "txt_username_e")->setText(u"scott"_s);
    control<QLineEdit>(window, "txt_username_i")->setText(u"hr"_s);

    file->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(file->text(), u"cr4711_scott_05032004.dump"_s);
    QVERIFY(viewLog->isEnabled());

    // A field that holds a name keeps it.
    file->setText(u"mine.dump"_s);
    control<QWidget>(window, "txt_sid_e")->setFocus(Qt::TabFocusReason);
    file->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(file->hasFocus());
    QCOMPARE(file->text(), u"mine.dump"_s);
}

void TestMainWindow::autoFilenameReplacesTypedName() {
    frmMain window;
    auto* file = control<QLineEdit>(window, "txt_exportfile");
    file->setText(u"typed.dump"_s);
    control<QPushButton>(window, "Command3")->click();
    QCOMPARE(file->text(), u"05032004.dump"_s);
    QVERIFY(control<QPushButton>(window, "cmd_view_explog")->isEnabled());
    QCOMPARE(control<QLineEdit>(window, "txt_importfile")->text(), QString());
}

void TestMainWindow::logButtonsFollowFileNames_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("button");
    QTest::newRow("export") << u"txt_exportfile"_s << u"cmd_view_explog"_s;
    QTest::newRow("import") << u"txt_importfile"_s << u"cmd_view_implog"_s;
}

void TestMainWindow::logButtonsFollowFileNames() {
    QFETCH(QString, field);
    QFETCH(QString, button);
    frmMain window;
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto* file = window.findChild<QLineEdit*>(field);
    auto* viewLog = window.findChild<QPushButton*>(button);
    file->setText(u"x.dump"_s);
    file->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(file->hasFocus());
    QVERIFY(viewLog->isEnabled());
    file->selectAll();
    QTest::keyClick(file, Qt::Key_Delete);
    QVERIFY(!viewLog->isEnabled());
    QTest::keyClick(file, Qt::Key_A);
    QVERIFY(viewLog->isEnabled());
    QTest::keyClick(file, Qt::Key_Backspace);
    QVERIFY(!viewLog->isEnabled());
}

void TestMainWindow::directoryLosesOneSeparatorPerFocusLoss_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("afterEachLoss");
    for (const char* field : {"txt_directory_e", "txt_directory_i"}) {
        const QString name = QString::fromLatin1(field);
        QTest::addRow("%s two separators", field)
            << name << u"/var/dumps//"_s
            << QStringList{u"/var/dumps/"_s, u"/var/dumps"_s, u"/var/dumps"_s};
        QTest::addRow("%s lone separator", field)
            << name << u"/"_s << QStringList{QString(), QString()};
        QTest::addRow("%s other slash kept", field)
            << name << u"D:\\dumps\\"_s << QStringList{u"D:\\dumps\\"_s};
        QTest::addRow("%s blanks kept", field)
            << name << u" my dumps /"_s << QStringList{u" my dumps "_s};
    }
}

void TestMainWindow::directoryLosesOneSeparatorPerFocusLoss() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QStringList, afterEachLoss);
    frmMain window;
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto* directory = window.findChild<QLineEdit*>(field);
    auto* elsewhere = control<QLineEdit>(window, "txt_sid_e");
    const QString otherField =
        field.endsWith(u"_e"_s) ? u"txt_directory_i"_s : u"txt_directory_e"_s;
    window.findChild<QLineEdit*>(otherField)->setText(u"/keep/"_s);
    directory->setText(typed);
    for (const QString& expected : afterEachLoss) {
        directory->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(directory->hasFocus());
        elsewhere->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(elsewhere->hasFocus());
        QCOMPARE(directory->text(), expected);
    }
    QCOMPARE(window.findChild<QLineEdit*>(otherField)->text(), u"/keep/"_s);
}

void TestMainWindow::statisticsBoxKeepsTypedText_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("piece");
    QTest::newRow("c, export") << u"cmb_statistics_e"_s << u"c"_s << u" statistics=none "_s;
    QTest::newRow("e, import") << u"cmb_statistics_i"_s << u"e"_s << u" statistics=none "_s;
    QTest::newRow("comp, import") << u"cmb_statistics_i"_s << u"comp"_s << u" statistics=none "_s;
    QTest::newRow("Compute, export")
        << u"cmb_statistics_e"_s << u"Compute"_s << u" statistics=compute "_s;
}

void TestMainWindow::statisticsBoxKeepsTypedText() {
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, piece);
    frmMain window;
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto* combo = window.findChild<QComboBox*>(box);
    combo->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(combo->hasFocus());
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo, typed);
    QTest::keyClick(combo, Qt::Key_Tab);
    QTRY_VERIFY(!combo->hasFocus());
    QCOMPARE(combo->currentText(), typed);
    const QString line =
        box.endsWith(u"_e"_s) ? window.CreateExportString() : window.CreateImportString();
    QVERIFY2(line.contains(piece), qPrintable(line));
}

void TestMainWindow::exitClosesWindow() {
    frmMain window;
    window.show();
    QVERIFY(window.isVisible());
    control<QPushButton>(window, "cmd_exit")->click();
    QVERIFY(!window.isVisible());
}

void TestMainWindow::realMessageBoxIsShownAndDismissed() {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QTimer::singleShot(0, this, [&] {
        QTRY_VERIFY(qobject_cast<QMessageBox*>(QApplication::activeModalWidget()));
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        box->button(QMessageBox::Ok)->click();
    });
    QCOMPARE(ErrorDisplay(u"Log View"_s, u"The Export Logfile: x could not be found"_s), 0);
    QCOMPARE(title, u"Log View Error:"_s);
    QCOMPARE(text, u"The Export Logfile: x could not be found"_s);
    QCOMPARE(icon, QMessageBox::Critical);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
