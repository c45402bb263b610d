// SPDX-License-Identifier: GPL-3.0-or-later
// The environment dialog: what it shows, what each Set button does to the process environment,
// and how it opens, reopens and outlives the main window.
#include "app/FrmMain.h"
#include "dialogs/FrmORAParams.h"
#include "support/EnvironmentGuard.h"
#include "support/LookTable.h"
#include "support/MessageRecorder.h"
#include "support/OracleHome.h"
#include "support/Panels.h"
#include "support/WindowTest.h"

#include <QLabel>
#include <QLineEdit>
#include <QProcessEnvironment>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

namespace {

frmORAParams* openDialog() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == u"frmORAParams"_s && widget->isVisible())
            return qobject_cast<frmORAParams*>(widget);
    }
    return nullptr;
}

frmORAParams* pressViewParams(const frmMain& window) {
    control<QPushButton>(window, "cmd_view_params")->click();
    return openDialog();
}

QLineEdit* box(const QWidget& dialog, const QString& name) {
    return control<QLineEdit>(dialog, name.toLatin1().constData());
}

QStringList environment() {
    QStringList entries = QProcessEnvironment::systemEnvironment().toStringList();
    entries.sort();
    return entries;
}

} // namespace

class TestOraParams : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void loadsFromEnvironment_data();
    void loadsFromEnvironment();
    void setButtons_data();
    void setButtons();
    void emptyValueUnsets();
    void refusedNameChangesNothing_data();
    void refusedNameChangesNothing();
    void secondPressKeepsTypedText();
    void reopenedAfterCloseReloads();
    void exportCheckSeesValueSetHere();
    void outlivesMainWindow();
    void dialogLayout();
    void lookOfEveryControl_data();
    void lookOfEveryControl();

private:
    EnvironmentGuard m_environment{{u"ORA_HOME"_s, u"NLS_LANG"_s, u"TARNHOLD_TWO"_s,
                                    u"TARNHOLD_THREE"_s, u" TARNHOLD_PADDED "_s, u"A"_s,
                                    u"TARNHOLD_RECORD"_s, u"TARNHOLD_ENVIRONMENT"_s}};
};

void TestOraParams::init() {
    // A failed test may have left its dialog open; cleanup() has reported it already.
    if (frmORAParams* dialog = openDialog())
        dialog->close();
    qputenv("ORA_HOME", "/opt/oracle/8.1.7");
    qputenv("NLS_LANG", "AMERICAN_AMERICA.WE8ISO8859P1");
    qunsetenv("TARNHOLD_TWO");
    qunsetenv("TARNHOLD_THREE");
    qunsetenv(" TARNHOLD_PADDED ");
    qunsetenv("A");
}

void TestOraParams::cleanup() {
    closeConsoles();
    QTRY_VERIFY(noWindowLeft());
}

void TestOraParams::loadsFromEnvironment_data() {
    QTest::addColumn<QByteArray>("oraHome");
    QTest::addColumn<QByteArray>("nlsLang");
    QTest::addColumn<bool>("oraHomeSet");
    QTest::newRow("both set") << QByteArray("/opt/oracle") << QByteArray("GERMAN_GERMANY.UTF8")
                              << true;
    QTest::newRow("ORA_HOME absent, NLS_LANG empty") << QByteArray() << QByteArray() << false;
    QTest::newRow("long value shown whole") << QByteArray(300, 'h') << QByteArray("x") << true;
    QTest::newRow("value longer than a line box's default limit")
        << QByteArray(40000, 'v') << QByteArray("x") << true;
    QTest::newRow("blanks kept") << QByteArray(" /opt/my oracle ") << QByteArray("x") << true;
}

void TestOraParams::loadsFromEnvironment() {
    QFETCH(QByteArray, oraHome);
    QFETCH(QByteArray, nlsLang);
    QFETCH(bool, oraHomeSet);
    if (oraHomeSet)
        qputenv("ORA_HOME", oraHome);
    else
        qunsetenv("ORA_HOME");
    qputenv("NLS_LANG", nlsLang);

    frmMain window;
    frmORAParams* dialog = pressViewParams(window);
    QVERIFY(dialog);
    QCOMPARE(box(*dialog, u"txt_ora_home"_s)->text(), u"ORA_HOME"_s);
    QCOMPARE(box(*dialog, u"txt_ora_home_val"_s)->text(), QString::fromLatin1(oraHome));
    QCOMPARE(box(*dialog, u"txt_nls_lang"_s)->text(), u"NLS_LANG"_s);
    QCOMPARE(box(*dialog, u"txt_nls_lang_val"_s)->text(), QString::fromLatin1(nlsLang));
    for (const QString& name : {u"txt_name_2"_s, u"txt_val2"_s, u"txt_name_3"_s, u"txt_val3"_s})
        QCOMPARE(box(*dialog, name)->text(), QString());
    dialog->close();
}

void TestOraParams::setButtons_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("nameBox");
    QTest::addColumn<QString>("valueBox");
    QTest::addColumn<QString>("name"); // typed into a free row's name box
    QTest::addColumn<QString>("variable");
    QTest::addColumn<QString>("value");
    // <home> stands for the test's Oracle home, where the utility is found.
    QTest::newRow("ORA_HOME") << u"cmd_set_1"_s << u"txt_ora_home"_s << u"txt_ora_home_val"_s
                              << QString() << u"ORA_HOME"_s << u"<home>/"_s;
    QTest::newRow("NLS_LANG") << u"cmd_set_2"_s << u"txt_nls_lang"_s << u"txt_nls_lang_val"_s
                              << QString() << u"NLS_LANG"_s << u"GERMAN_GERMANY.UTF8"_s;
    QTest::newRow("third row") << u"cmd_set_3"_s << u"txt_name_2"_s << u"txt_val2"_s
                               << u"TARNHOLD_TWO"_s << u"TARNHOLD_TWO"_s << u"two"_s;
    QTest::newRow("fourth row") << u"cmd_set_4"_s << u"txt_name_3"_s << u"txt_val3"_s
                                << u"TARNHOLD_THREE"_s << u"TARNHOLD_THREE"_s << u"three"_s;
    QTest::newRow("value set as typed")
        << u"cmd_set_2"_s << u"txt_nls_lang"_s << u"txt_nls_lang_val"_s << QString()
        << u"NLS_LANG"_s << u" GERMAN GERMANY.UTF8 "_s;
    QTest::newRow("name set as typed")
        << u"cmd_set_4"_s << u"txt_name_3"_s << u"txt_val3"_s << u" TARNHOLD_PADDED "_s
        << u" TARNHOLD_PADDED "_s << u"padded"_s;
    QTest::newRow("long value") << u"cmd_set_3"_s << u"txt_name_2"_s << u"txt_val2"_s
                                << u"TARNHOLD_TWO"_s << u"TARNHOLD_TWO"_s << QString(40000, u'w');
}

void TestOraParams::setButtons() {
    QFETCH(QString, button);
    QFETCH(QString, nameBox);
    QFETCH(QString, valueBox);
    QFETCH(QString, name);
    QFETCH(QString, variable);
    QFETCH(QString, value);
    OracleHome home;
    value.replace(u"<home>"_s, home.path());
    frmMain window;
    frmORAParams* dialog = pressViewParams(window);
    QVERIFY(dialog);
    if (!name.isEmpty())
        box(*dialog, nameBox)->setText(name);
    box(*dialog, valueBox)->setText(value);
    QStringList shown;
    for (const QLineEdit* line : dialog->findChildren<QLineEdit*>())
        shown.append(line->text());
    // Only the variable of the row's name, exactly as typed, changes.
    QStringList expected = environment();
    expected.removeIf(
        [&variable](const QString& entry) { return entry.startsWith(variable + u'='); });
    expected.append(variable + u'=' + value);
    expected.sort();

    MessageRecorder recorder;
    control<QPushButton>(*dialog, button.toLatin1().constData())->click();

    QCOMPARE(qEnvironmentVariable(variable.toLatin1().constData()), value);
    QCOMPARE(environment(), expected);
    QStringList after;
    for (const QLineEdit* line : dialog->findChildren<QLineEdit*>())
        after.append(line->text());
    QCOMPARE(after, shown);

    // The next utility started inherits the change.
    fillExport(window, home.dumps());
    control<QPushButton>(window, "cmd_export")->click();
    QCOMPARE(recorder.boxes.size(), 0);
    QStringList inherited = home.recordedEnvironment();
    inherited.sort();
    QCOMPARE(inherited, expected);
    dialog->close();
}

void TestOraParams::emptyValueUnsets() {
    frmMain window;
    frmORAParams* dialog = pressViewParams(window);
    QVERIFY(dialog);
    box(*dialog, u"txt_nls_lang_val"_s)->clear();
    control<QPushButton>(*dialog, "cmd_set_2")->click();
    QVERIFY(!qEnvironmentVariableIsSet("NLS_LANG"));
    QCOMPARE(qEnvironmentVariable("ORA_HOME"), u"/opt/oracle/8.1.7"_s);
    dialog->close();
}

void TestOraParams::refusedNameChangesNothing_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("nameBox");
    QTest::addColumn<QString>("valueBox");
    QTest::addColumn<QString>("name");
    QTest::newRow("empty name") << u"cmd_set_3"_s << u"txt_name_2"_s << u"txt_val2"_s << QString();
    QTest::newRow("name with =") << u"cmd_set_4"_s << u"txt_name_3"_s << u"txt_val3"_s << u"A=B"_s;
    QTest::newRow("name is =") << u"cmd_set_3"_s << u"txt_name_2"_s << u"txt_val2"_s << u"="_s;
}

void TestOraParams::refusedNameChangesNothing() {
    QFETCH(QString, button);
    QFETCH(QString, nameBox);
    QFETCH(QString, valueBox);
    QFETCH(QString, name);
    qputenv("A", "kept");
    frmMain window;
    frmORAParams* dialog = pressViewParams(window);
    QVERIFY(dialog);
    box(*dialog, nameBox)->setText(name);
    box(*dialog, valueBox)->setText(u"C"_s);
    const QStringList before = environment();

    MessageRecorder recorder;
    control<QPushButton>(*dialog, button.toLatin1().constData())->click();

    QCOMPARE(environment(), before);
    QCOMPARE(recorder.boxes.size(), 0);
    QCOMPARE(box(*dialog, nameBox)->text(), name);
    QCOMPARE(box(*dialog, valueBox)->text(), u"C"_s);
    dialog->close();
}

void TestOraParams::secondPressKeepsTypedText() {
    frmMain window;
    frmORAParams* dialog = pressViewParams(window);
    QVERIFY(dialog);
    box(*dialog, u"txt_ora_home_val"_s)->setText(u"typed, not set"_s);
    box(*dialog, u"txt_name_2"_s)->setText(u"TARNHOLD_TWO"_s);
    qputenv("NLS_LANG", "changed meanwhile");

    QCOMPARE(pressViewParams(window), dialog);
    QCOMPARE(box(*dialog, u"txt_ora_home_val"_s)->text(), u"typed, not set"_s);
    QCOMPARE(box(*dialog, u"txt_name_2"_s)->text(), u"TARNHOLD_TWO"_s);
    QCOMPARE(box(*dialog, u"txt_nls_lang_val"_s)->text(), u"AMERICAN_AMERICA.WE8ISO8859P1"_s);
    dialog->close();
}

void TestOraParams::reopenedAfterCloseReloads() {
    frmMain window;
    QPointer<frmORAParams> first = pressViewParams(window);
    QVERIFY(first);
    box(*first, u"txt_name_2"_s)->setText(u"TARNHOLD_TWO"_s);
    box(*first, u"txt_val3"_s)->setText(u"three"_s);
    box(*first, u"txt_ora_home_val"_s)->setText(u"typed, not set"_s);
    first->close();
    qputenv("NLS_LANG", "changed meanwhile");

    // Pressed again before the closed dialog's deferred deletion has run.
    frmORAParams* second = pressViewParams(window);
    QVERIFY(second);
    QVERIFY(second != first);
    QCOMPARE(box(*second, u"txt_ora_home_val"_s)->text(), u"/opt/oracle/8.1.7"_s);
    QCOMPARE(box(*second, u"txt_nls_lang_val"_s)->text(), u"changed meanwhile"_s);
    QCOMPARE(box(*second, u"txt_name_2"_s)->text(), QString());
    QCOMPARE(box(*second, u"txt_val3"_s)->text(), QString());
    QTRY_VERIFY(!first);
    second->close();
}

void TestOraParams::exportCheckSeesValueSetHere() {
    qunsetenv("ORA_HOME");
    frmMain window;
    control<QLineEdit>(window, "txt_sid_e")->setText(u"DEMO"_s);
    control<QLineEdit>(window, "txt_username_e")->setText(u"scott"_s);
    control<QLineEdit>(window, "txt_password_e")->setText(u"tiger"_s);
    control<QLineEdit>(window, "txt_directory_e")->setText(u"/tmp"_s);
    control<QLineEdit>(window, "txt_exportfile")->setText(u"x.dump"_s);
    MessageRecorder recorder;
    QVERIFY(!window.CheckExportFields());
    QCOMPARE(recorder.boxes.size(), 1);
    QVERIFY(recorder.boxes[0].text.startsWith(u"Your ORA_HOME environment variable is not set"_s));

    frmORAParams* dialog = pressViewParams(window);
    QVERIFY(dialog);
    QCOMPARE(box(*dialog, u"txt_ora_home_val"_s)->text(), QString());
    box(*dialog, u"txt_ora_home_val"_s)->setText(u"/opt/oracle"_s);
    control<QPushButton>(*dialog, "cmd_set_1")->click();

    QVERIFY(window.CheckExportFields());
    QCOMPARE(recorder.boxes.size(), 1);
    dialog->close();
}

void TestOraParams::outlivesMainWindow() {
    frmMain window;
    window.show();
    frmORAParams* dialog = pressViewParams(window);
    QVERIFY(dialog);
    QVERIFY(dialog->isWindow());
    QVERIFY(!dialog->parent());
    QVERIFY(!dialog->isModal());
    control<QPushButton>(window, "cmd_exit")->click();
    QVERIFY(!window.isVisible());
    QVERIFY(dialog->isVisible());
    dialog->close();
}

void TestOraParams::dialogLayout() {
    frmMain window;
    frmORAParams* dialog = pressViewParams(window);
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), u"Oracle Environment Parameters"_s);
    QCOMPARE(dialog->size(), QSize(587, 238));
    QCOMPARE(dialog->palette().color(QPalette::Window), QColor(0x00, 0x00, 0x40));
    QVERIFY(dialog->autoFillBackground());
    for (const char* name : {"txt_ora_home", "txt_nls_lang"})
        QVERIFY(!control<QLineEdit>(*dialog, name)->isEnabled());
    auto* note = control<QLabel>(*dialog, "Label3");
    QVERIFY(QFontMetrics(note->font()).horizontalAdvance(note->text()) <= note->width());

    const QStringList expected = {u"txt_ora_home_val"_s, u"txt_name_2"_s, u"txt_name_3"_s,
                                  u"txt_nls_lang_val"_s, u"txt_val2"_s,   u"txt_val3"_s,
                                  u"cmd_set_1"_s,        u"cmd_set_2"_s,  u"cmd_set_3"_s,
                                  u"cmd_set_4"_s};
    QStringList order;
    QWidget* widget = box(*dialog, expected.first());
    while (order.size() < expected.size()) {
        if (widget->isEnabled() && widget->focusPolicy() & Qt::TabFocus)
            order.append(widget->objectName());
        widget = widget->nextInFocusChain();
    }
    QCOMPARE(order, expected);
    dialog->close();
}

void TestOraParams::lookOfEveryControl_data() {
    using look_table::addRow;
    look_table::addColumns();
    const QColor darkBlue(0x00, 0x00, 0x40);
    const QColor yellow(0xFF, 0xFF, 0x00);
    const QColor own; // the toolkit's colour
    const look_table::Font heading{u"Verdana"_s, 12, true};
    const look_table::Font entry{u"Verdana"_s, 8.25, false};
    const look_table::Font fitted{{}, -1, false};

    addRow("Label1", u"Name"_s, {240, 240, 3255, 375}, yellow, darkBlue, heading);
    addRow("Label2", u"Value"_s, {4200, 240, 3255, 375}, yellow, darkBlue, heading);
    addRow("txt_ora_home", u"ORA_HOME"_s, {240, 720, 3375, 375}, Qt::white, darkBlue);
    addRow("txt_ora_home_val", {}, {4200, 720, 3375, 375}, own, own, entry);
    addRow("cmd_set_1", u"Set"_s, {7800, 720, 735, 375}, own, own);
    addRow("txt_nls_lang", u"NLS_LANG"_s, {240, 1200, 3375, 375}, Qt::white, darkBlue);
    addRow("txt_nls_lang_val", {}, {4200, 1320, 3375, 375}, own, own, entry);
    addRow("cmd_set_2", u"Set"_s, {7800, 1320, 735, 375}, own, own);
    addRow("txt_name_2", {}, {240, 1920, 3375, 375}, own, own, entry);
    addRow("txt_val2", {}, {4200, 1920, 3375, 375}, own, own, entry);
    addRow("cmd_set_3", u"Set"_s, {7800, 1920, 735, 375}, own, own);
    addRow("txt_name_3", {}, {240, 2520, 3375, 375}, own, own, entry);
    addRow("txt_val3", {}, {4200, 2520, 3375, 375}, own, own, entry);
    addRow("cmd_set_4", u"Set"_s, {7800, 2520, 735, 375}, own, own);
    addRow("Label3", u"These settings are only valid for this Session - not persistent"_s,
           {1680, 3120, 4455, 255}, yellow, darkBlue, fitted);
}

void TestOraParams::lookOfEveryControl() {
    frmMain window;
    frmORAParams* dialog = pressViewParams(window);
    QVERIFY(dialog);
    look_table::compare(*dialog);
    dialog->close();
}

QTEST_MAIN(TestOraParams)
#include "tst_oraparams.moc"
