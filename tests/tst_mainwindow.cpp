// The main window as the operator meets it: controls, values at start, focus order, and the
// handlers that keep the file names, log buttons and directories tidy.
#include "app/FrmMain.h"
#include "platform/Clock.h"
#include "runs/MessageDisplay.h"
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
    void valuesAtStart_data();
    void valuesAtStart();
    void captionsAndTips_data();
    void captionsAndTips();
    void placesInPixels();
    void resizingMovesNothing();
    void focusOrder();
    void exportFileFilledOnEntry();
    void autoFilenameReplacesTypedName();
    void logButtonsFollowFileNames_data();
    void logButtonsFollowFileNames();
    void directoryLosesOneSeparatorPerFocusLoss_data();
    void directoryLosesOneSeparatorPerFocusLoss();
    void exitClosesWindow();
    void realMessageBoxIsShownAndDismissed();
};

void TestMainWindow::initTestCase() {
    platform::Clock::setFixedDate(QDate(2004, 3, 5));
}

void TestMainWindow::cleanup() {
    QTRY_VERIFY(noWindowLeft());
}

void TestMainWindow::valuesAtStart_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariant>("value");
    for (const char* empty :
         {"txt_sid_e",       "txt_username_e", "txt_password_e", "txt_cr_no",
          "txt_directory_e", "txt_exportfile", "txt_query_e",    "txt_tables_e",
          "txt_other_e",     "txt_sid_i",      "txt_username_i", "txt_password_i",
          "txt_directory_i", "txt_importfile", "txt_buffer_i",   "txt_feedback_i",
          "txt_tables_i",    "txt_other_i",    "txt_exp_params", "txt_imp_params"})
        QTest::newRow(empty) << QString::fromLatin1(empty) << QVariant(QString());
    QTest::newRow("txt_buffer_e") << u"txt_buffer_e"_s << QVariant(u"999999"_s);
    QTest::newRow("txt_feedback_e") << u"txt_feedback_e"_s << QVariant(u"1000"_s);
    QTest::newRow("cmb_statistics_e") << u"cmb_statistics_e"_s << QVariant(u"ESTIMATE"_s);
    QTest::newRow("cmb_statistics_i") << u"cmb_statistics_i"_s << QVariant(u"ESTIMATE"_s);
    const std::pair<const char*, bool> boxes[] = {
        {"chk_full_e", false},      {"chk_direct_e", true},      {"chk_grants_e", true},
        {"chk_indexes_e", false},   {"chk_rows_e", true},        {"chk_consistent_e", true},
        {"chk_compress_e", false},  {"chk_constraints_e", true}, {"chk_full_i", false},
        {"chk_compile_i", true},    {"chk_grants_i", true},      {"chk_indexes_i", false},
        {"chk_rows_i", true},       {"chk_commit_i", false},     {"chk_ignore_i", false},
        {"chk_constraints_i", true}};
    for (const auto& [name, checked] : boxes)
        QTest::newRow(name) << QString::fromLatin1(name) << QVariant(checked);
}

void TestMainWindow::valuesAtStart() {
    QFETCH(QString, name);
    QFETCH(QVariant, value);
    frmMain window;
    QWidget* widget = window.findChild<QWidget*>(name);
    QVERIFY(widget);
    if (auto* line = qobject_cast<QLineEdit*>(widget))
        QCOMPARE(QVariant(line->text()), value);
    else if (auto* area = qobject_cast<QPlainTextEdit*>(widget))
        QCOMPARE(QVariant(area->toPlainText()), value);
    else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        QCOMPARE(QVariant(combo->currentText()), value);
        QVERIFY(combo->isEditable());
        QCOMPARE(combo->count(), 3);
        QCOMPARE(combo->itemText(2), u"NONE"_s);
    } else if (auto* check = qobject_cast<QCheckBox*>(widget))
        QCOMPARE(QVariant(check->isChecked()), value);
    else
        QFAIL("unexpected kind of control");
}

void TestMainWindow::captionsAndTips_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<bool>("enabled");
    const std::tuple<const char*, QString, QString, bool> buttons[] = {
        {"Command3", u"AF"_s, u"Generate Autofilename"_s, true},
        {"cmd_view_explog", u"VL"_s, u"View Export Log"_s, false},
        {"cmd_view_implog", u"VL"_s, u"View Import Log"_s, false},
        {"cmd_copy", u">"_s, u"Copy Fields"_s, true},
        {"cmd_copyall", u">>"_s, u"Copy Fields + SID"_s, true},
        {"Command1", u"Help"_s, QString(), true},
        {"cmd_export", u"Export Now"_s, u"Start the Export"_s, true},
        {"cmd_view_params", u"View/set ORA Parameters"_s, QString(), true},
        {"cmd_exit", u"Exit"_s, QString(), true},
        {"cmd_import", u"Import Now"_s, u"Start the Import"_s, true},
        {"Command2", u"Help"_s, QString(), true}};
    for (const auto& [name, caption, tip, enabled] : buttons)
        QTest::newRow(name) << QString::fromLatin1(name) << caption << tip << enabled;
}

void TestMainWindow::captionsAndTips() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, tip);
    QFETCH(bool, enabled);
    frmMain window;
    auto* button = window.findChild<QPushButton*>(name);
    QVERIFY(button);
    QCOMPARE(button->text(), caption);
    QCOMPARE(button->toolTip(), tip);
    QCOMPARE(button->isEnabled(), enabled);
}

void TestMainWindow::placesInPixels() {
    frmMain window;
    QCOMPARE(window.windowTitle(), u"Tarnhold"_s);
    QCOMPARE(window.size(), QSize(886, 655));
    QCOMPARE(control<QWidget>(window, "txt_sid_e")->geometry(), QRect(104, 88, 193, 19));
    QCOMPARE(control<QWidget>(window, "txt_other_i")->geometry(), QRect(528, 456, 321, 73));
    QCOMPARE(control<QWidget>(window, "cmd_import")->geometry(), QRect(544, 536, 89, 33));
    QCOMPARE(control<QWidget>(window, "Shape2")->geometry(), QRect(440, 72, 425, 569));
    QCOMPARE(control<QLabel>(window, "Label1")->text(), u" Export"_s);
    QCOMPARE(control<QLabel>(window, "Label7")->text(), u" Import"_s);
    QCOMPARE(control<QLabel>(window, "Label18")->text(), u"CR Number"_s);
    QCOMPARE(control<QLabel>(window, "Label24")->geometry().topLeft(), QPoint(672, 328));
    const QPixmap logo = control<QLabel>(window, "Picture1")->pixmap();
    QCOMPARE(logo.size(), QSize(82, 56));
    // A missing or unreadable logo would leave the picture white: the mountains are dark blue.
    QCOMPARE(logo.toImage().pixelColor(41, 35), QColor(0x00, 0x00, 0x40));
}

void TestMainWindow::resizingMovesNothing() {
    frmMain window;
    window.show();
    const QRect before = control<QWidget>(window, "cmd_exit")->geometry();
    window.resize(400, 300);
    QCoreApplication::processEvents();
    QCOMPARE(control<QWidget>(window, "cmd_exit")->geometry(), before);
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
