// SPDX-License-Identifier: GPL-3.0-or-later
// What the main window shows at start: values, captions and tips, the title, size and logo, and
// the place, colours and font of every control, which a resize does not move.
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

class TestMainWindowLook : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void valuesAtStart_data();
    void valuesAtStart();
    void captionsAndTips_data();
    void captionsAndTips();
    void windowTitleSizeAndLogo();
    void lookOfEveryControl_data();
    void lookOfEveryControl();
    void resizingMovesNothing();
};

void TestMainWindowLook::initTestCase() {
    platform::Clock::setFixedDate(QDate(2004, 3, 5));
}

void TestMainWindowLook::cleanup() {
    QTRY_VERIFY(noWindowLeft());
}

void TestMainWindowLook::valuesAtStart_data() {
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

void TestMainWindowLook::valuesAtStart() {
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

void TestMainWindowLook::captionsAndTips_data() {
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

void TestMainWindowLook::captionsAndTips() {
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

void TestMainWindowLook::windowTitleSizeAndLogo() {
    frmMain window;
    QCOMPARE(window.windowTitle(), u"Tarnhold"_s);
    QCOMPARE(window.size(), QSize(886, 655));
    QCOMPARE(window.palette().color(window.backgroundRole()), QColor(Qt::white));
    QVERIFY(window.autoFillBackground());
    const QPixmap logo = control<QLabel>(window, "Picture1")->pixmap();
    QCOMPARE(logo.size(), QSize(82, 56));
    // A missing or unreadable logo would leave the picture white: the mountains are dark blue.
    QCOMPARE(logo.toImage().pixelColor(41, 35), QColor(0x00, 0x00, 0x40));
}

void TestMainWindowLook::lookOfEveryControl_data() {
    using look_table::addRow;
    look_table::addColumns();
    const QColor darkBlue(0x00, 0x00, 0x40);
    const QColor yellow(0xFF, 0xFF, 0x00);
    const QColor white(Qt::white);
    const QColor black(Qt::black);
    const QColor own; // the toolkit's colour
    const look_table::Font title{u"Verdana"_s, 20.25, true};
    const look_table::Font labelFont{u"Verdana"_s, 8.25, true};

    addRow("Shape1", {}, {240, 1080, 6375, 8535}, own, darkBlue);
    addRow("Shape2", {}, {6600, 1080, 6375, 8535}, own, yellow);
    addRow("Label1", u" Export"_s, {240, 480, 1815, 615}, yellow, darkBlue, title);
    addRow("Label7", u" Import"_s, {6600, 480, 1815, 615}, black, yellow, title);
    addRow("Picture1", {}, {11760, 120, 1335, 855}, own, white);

    struct Field {
        const char* name;
        const char* label;
        const char* caption;
        int labelLeft, left, top, width, height;
    };
    const Field fields[] = {
        {"txt_sid_e", "Label2", "SID", 360, 1560, 1320, 2895, 285},
        {"txt_username_e", "Label3", "Username", 360, 1560, 1680, 2895, 285},
        {"txt_password_e", "Label4", "Password", 360, 1560, 2040, 2895, 285},
        {"txt_cr_no", "Label18", "CR Number", 360, 1560, 2400, 2895, 285},
        {"txt_directory_e", "Label19", "Directory", 360, 1560, 2760, 4455, 285},
        {"txt_exportfile", "Label6", "Filename", 360, 1560, 3120, 4455, 285},
        {"txt_buffer_e", "Label8", "Buffer", 360, 1560, 5280, 1455, 285},
        {"cmb_statistics_e", "Label23", "Statistics", 3600, 4920, 4920, 1455, 315},
        {"txt_feedback_e", "Label21", "Feedback", 3600, 4920, 5280, 1455, 285},
        {"txt_query_e", "Label9", "Query", 360, 1560, 5640, 4815, 765},
        {"txt_tables_e", "Label10", "Tables", 360, 1560, 6480, 4815, 285},
        {"txt_other_e", "Label5", "Other", 360, 1560, 6840, 4815, 1095},
        {"txt_sid_i", "Label11", "SID", 6720, 7920, 1320, 2895, 285},
        {"txt_username_i", "Label12", "Username", 6720, 7920, 1680, 2895, 285},
        {"txt_password_i", "Label13", "Password", 6720, 7920, 2040, 2895, 285},
        {"txt_directory_i", "Label20", "Directory", 6720, 7920, 2760, 4455, 285},
        {"txt_importfile", "Label14", "Filename", 6720, 7920, 3120, 4455, 285},
        {"txt_buffer_i", "Label15", "Buffer", 6720, 7920, 5280, 1455, 285},
        {"cmb_statistics_i", "Label24", "Statistics", 10080, 11280, 4920, 1455, 315},
        {"txt_feedback_i", "Label22", "Feedback", 10080, 11280, 5280, 1455, 285},
        {"txt_tables_i", "Label16", "Tables", 6720, 7920, 6480, 4815, 285},
        {"txt_other_i", "Label17", "Other", 6720, 7920, 6840, 4815, 1095}};
    for (const Field& f : fields) {
        const bool exporting = f.labelLeft < 6600;
        addRow(f.label, QString::fromLatin1(f.caption), {f.labelLeft, f.top, 1095, 255},
               exporting ? white : black, exporting ? darkBlue : yellow, labelFont);
        addRow(f.name, {}, {f.left, f.top, f.width, f.height}, own, own);
    }

    const std::tuple<const char*, const char*, int, int> checkBoxes[] = {
        {"chk_full_e", "Full", 1560, 3480},
        {"chk_direct_e", "Direct", 1560, 3840},
        {"chk_grants_e", "Grants", 1560, 4200},
        {"chk_indexes_e", "Indexes", 1560, 4560},
        {"chk_rows_e", "Rows", 1560, 4920},
        {"chk_consistent_e", "Consistent", 3000, 3480},
        {"chk_compress_e", "Compress", 3000, 3840},
        {"chk_constraints_e", "Constraints", 3000, 4200},
        {"chk_full_i", "Full", 7920, 3480},
        {"chk_compile_i", "Compile", 7920, 3840},
        {"chk_grants_i", "Grants", 7920, 4200},
        {"chk_indexes_i", "Indexes", 7920, 4560},
        {"chk_rows_i", "Rows", 7920, 4920},
        {"chk_commit_i", "Commit", 9360, 3480},
        {"chk_ignore_i", "Ignore", 9360, 3840},
        {"chk_constraints_i", "Constraints", 9360, 4200}};
    for (const auto& [name, caption, left, top] : checkBoxes) {
        const bool exporting = left < 6600;
        addRow(name, QString::fromLatin1(caption), {left, top, 1335, 255},
               exporting ? white : black, exporting ? darkBlue : yellow);
    }

    addRow("txt_exp_params", {}, {480, 8640, 6015, 975}, white, darkBlue);
    addRow("txt_imp_params", {}, {6720, 8640, 6135, 975}, black, yellow);

    const std::tuple<const char*, const char*, int, int> smallButtons[] = {
        {"Command3", "AF", 6120, 2640},
        {"cmd_view_explog", "VL", 6120, 3120},
        {"cmd_view_implog", "VL", 12480, 3120},
        {"cmd_copy", ">", 6480, 3960},
        {"cmd_copyall", ">>", 6480, 4560}};
    for (const auto& [name, caption, left, top] : smallButtons)
        addRow(name, QString::fromLatin1(caption), {left, top, 375, 375}, own, own);
    const std::tuple<const char*, const char*, int, bool> bigButtons[] = {
        {"Command1", "Help", 2280, false},
        {"cmd_export", "Export Now", 3720, true},
        {"cmd_view_params", "View/set ORA Parameters", 5160, false},
        {"cmd_exit", "Exit", 6720, false},
        {"cmd_import", "Import Now", 8160, true},
        {"Command2", "Help", 9600, false}};
    for (const auto& [name, caption, left, bold] : bigButtons)
        addRow(name, QString::fromLatin1(caption), {left, 8040, 1335, 495}, own, own,
               {u"Verdana"_s, 8.25, bold});
}

void TestMainWindowLook::lookOfEveryControl() {
    frmMain window;
    look_table::compare(window);
}

void TestMainWindowLook::resizingMovesNothing() {
    frmMain window;
    window.show();
    const QRect before = control<QWidget>(window, "cmd_exit")->geometry();
    window.resize(400, 300);
    QCoreApplication::processEvents();
    QCOMPARE(control<QWidget>(window, "cmd_exit")->geometry(), before);
}

QTEST_MAIN(TestMainWindowLook)
#include "tst_mainwindowlook.moc"
