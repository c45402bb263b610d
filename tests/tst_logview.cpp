// SPDX-License-Identifier: GPL-3.0-or-later
// The "VL" buttons and the log window: which file each panel shows, how an unreadable log is
// reported, the single shared window's life and its look.
#include "app/FrmMain.h"
#include "support/LogViewTest.h"
#include "support/MessageRecorder.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace logtest;

namespace {

struct Panel {
    const char* directory;
    const char* file;
    const char* button;
};

const Panel exportPanel{"txt_directory_e", "txt_exportfile", "cmd_view_explog"};
const Panel importPanel{"txt_directory_i", "txt_importfile", "cmd_view_implog"};
const Panel& panelNamed(const QString& name) {
    return name == u"export"_s ? exportPanel : importPanel;
}

// Sets the panel's fields and presses its "VL" button.
void viewLog(const frmMain& window, const Panel& panel, const QString& directory,
             const QString& file) {
    control<QLineEdit>(window, panel.directory)->setText(directory);
    control<QLineEdit>(window, panel.file)->setText(file);
    control<QPushButton>(window, panel.button)->click();
}

QString text(const QWidget& window, const char* name) {
    if (qstrcmp(name, "txt_logtext") == 0)
        return shownText(window);
    return control<QLineEdit>(window, name)->text();
}

} // namespace

class TestLogView : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void showsPanelLog_data();
    void showsPanelLog();
    void unreadableLog_data();
    void unreadableLog();
    void oneWindowRefilledByBothButtons();
    void failedOpenKeepsEarlierLog();
    void invalidBytesDoNotStopDisplay();
    void reopenedAfterCloseFromDefaults();
    void largeLogArrivesWhole();
    void laterPressEndsLoadUnderWay();
    void closedWhileLoading();
    void outlivesMainWindow();
    void windowLook_data();
    void windowLook();
    void opensWithFocusInLogText();

private:
    QTemporaryDir m_dir;
};

// A failed test may have left its window open; cleanup() has reported it already.
void TestLogView::init() {
    if (frmLogView* log = openLogWindow())
        log->close();
}

void TestLogView::cleanup() {
    QTRY_VERIFY(noWindowLeft());
}

void TestLogView::showsPanelLog_data() {
    QTest::addColumn<QString>("panel");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QString>("subfolder");
    QTest::addColumn<QString>("directorySuffix");
    QTest::newRow("export") << u"export"_s << u"Export Log"_s << QString() << QString();
    QTest::newRow("import") << u"import"_s << u"Import Log"_s << QString() << QString();
    // The fields are taken as they stand: a trailing separator gives two in the path.
    QTest::newRow("export, trailing separator")
        << u"export"_s << u"Export Log"_s << QString() << u"/"_s;
    QTest::newRow("import, blank in folder")
        << u"import"_s << u"Import Log"_s << u"my dumps"_s << QString();
}

void TestLogView::showsPanelLog() {
    QFETCH(QString, panel);
    QFETCH(QString, heading);
    QFETCH(QString, subfolder);
    QFETCH(QString, directorySuffix);
    QDir(m_dir.path()).mkpath(subfolder.isEmpty() ? u"."_s : subfolder);
    const QString folder = subfolder.isEmpty() ? m_dir.path() : m_dir.filePath(subfolder);
    const QByteArray content = "Export: Release 8.1.7\r\n. . exporting table EMP 14 rows\n";
    writeFile(folder + u"/x.dump.log"_s, content);

    frmMain window;
    window.show();
    MessageRecorder recorder;
    viewLog(window, panelNamed(panel), folder + directorySuffix, u"x.dump"_s);

    QCOMPARE(recorder.boxes.size(), 0);
    frmLogView* log = openLogWindow();
    QVERIFY(log);
    QCOMPARE(text(*log, "txt_title"), heading);
    QCOMPARE(text(*log, "txt_filename"), folder + directorySuffix + u"/x.dump.log"_s);
    QCOMPARE(text(*log, "txt_logtext"), QString::fromLatin1(content));
    log->close();
}

void TestLogView::unreadableLog_data() {
    QTest::addColumn<QString>("panel");
    QTest::addColumn<QString>("messageStart");
    QTest::addColumn<bool>("folder");
    QTest::newRow("export, missing") << u"export"_s << u"The Export Logfile: "_s << false;
    QTest::newRow("import, missing") << u"import"_s << u"The Import Logfile: "_s << false;
    QTest::newRow("export, a folder") << u"export"_s << u"The Export Logfile: "_s << true;
    QTest::newRow("import, a folder") << u"import"_s << u"The Import Logfile: "_s << true;
}

void TestLogView::unreadableLog() {
    QFETCH(QString, panel);
    QFETCH(QString, messageStart);
    QFETCH(bool, folder);
    QTemporaryDir dir;
    if (folder)
        QVERIFY(QDir(dir.path()).mkdir(u"x.dump.log"_s));

    frmMain window;
    MessageRecorder recorder;
    viewLog(window, panelNamed(panel), dir.path(), u"x.dump"_s);

    QCOMPARE(recorder.boxes.size(), 1);
    QCOMPARE(recorder.boxes[0].title, u"Log View Error:"_s);
    QCOMPARE(recorder.boxes[0].text,
             messageStart + dir.path() + u"/x.dump.log could not be found"_s);
    QCOMPARE(recorder.boxes[0].icon, QMessageBox::Critical);
    QVERIFY(!openLogWindow());
}

void TestLogView::oneWindowRefilledByBothButtons() {
    writeFile(m_dir.filePath(u"e.dump.log"_s), "export log");
    writeFile(m_dir.filePath(u"i.dump.log"_s), "import log");
    frmMain window;
    viewLog(window, exportPanel, m_dir.path(), u"e.dump"_s);
    frmLogView* first = openLogWindow();
    QVERIFY(first);
    viewLog(window, importPanel, m_dir.path(), u"i.dump"_s);

    QCOMPARE(openLogWindow(), first);
    QCOMPARE(text(*first, "txt_title"), u"Import Log"_s);
    QCOMPARE(text(*first, "txt_logtext"), u"import log"_s);
    QCOMPARE(text(*first, "txt_filename"), m_dir.filePath(u"i.dump.log"_s));
    int windows = 0;
    for (const QWidget* widget : QApplication::topLevelWidgets())
        windows += widget->objectName() == u"frmLogView"_s ? 1 : 0;
    QCOMPARE(windows, 1);
    first->close();
}

void TestLogView::failedOpenKeepsEarlierLog() {
    writeFile(m_dir.filePath(u"e.dump.log"_s), "earlier");
    frmMain window;
    viewLog(window, exportPanel, m_dir.path(), u"e.dump"_s);
    frmLogView* log = openLogWindow();
    QVERIFY(log);

    MessageRecorder recorder;
    viewLog(window, importPanel, m_dir.path(), u"missing.dump"_s);

    QCOMPARE(recorder.boxes.size(), 1);
    QCOMPARE(openLogWindow(), log);
    QCOMPARE(text(*log, "txt_title"), u"Export Log"_s);
    QCOMPARE(text(*log, "txt_logtext"), u"earlier"_s);
    QCOMPARE(text(*log, "txt_filename"), m_dir.filePath(u"e.dump.log"_s));
    log->close();
}

void TestLogView::invalidBytesDoNotStopDisplay() {
    writeFile(m_dir.filePath(u"bad.dump.log"_s), "before \xff\xfe after\nnext line\n");
    frmMain window;
    MessageRecorder recorder;
    viewLog(window, exportPanel, m_dir.path(), u"bad.dump"_s);

    QCOMPARE(recorder.boxes.size(), 0);
    frmLogView* log = openLogWindow();
    QVERIFY(log);
    const QString shown = text(*log, "txt_logtext");
    QVERIFY2(shown.startsWith(u"before "_s), qPrintable(shown));
    QVERIFY2(shown.endsWith(u" after\nnext line\n"_s), qPrintable(shown));
    QVERIFY(shown.contains(QChar::ReplacementCharacter));
    log->close();
}

void TestLogView::reopenedAfterCloseFromDefaults() {
    writeFile(m_dir.filePath(u"e.dump.log"_s), "log");
    frmMain window;
    viewLog(window, exportPanel, m_dir.path(), u"e.dump"_s);
    QPointer<frmLogView> first = openLogWindow();
    QVERIFY(first);
    first->resize(300, 200);
    first->close();

    // The same press again, before the closed window's deferred deletion has run.
    viewLog(window, exportPanel, m_dir.path(), u"e.dump"_s);
    frmLogView* second = openLogWindow();
    QVERIFY(second);
    QVERIFY(second != first);
    QCOMPARE(second->size(), QSize(761, 730));
    QCOMPARE(text(*second, "txt_logtext"), u"log"_s);
    QTRY_VERIFY(!first);
    QCOMPARE(openLogWindow(), second);
    second->close();
}

void TestLogView::largeLogArrivesWhole() {
    const QByteArray content = largeLog("EMP");
    writeFile(m_dir.filePath(u"big.dump.log"_s), content);
    frmMain window;
    viewLog(window, exportPanel, m_dir.path(), u"big.dump"_s);
    frmLogView* log = openLogWindow();
    QVERIFY(log);
    QCOMPARE(copied(logText(*log), u"Shift+End"_s),
             u". . exporting table EMP0   0 rows exported"_s);
    QVERIFY(logText(*log)->isIndexing());

    QCOMPARE(text(*log, "txt_logtext"), QString::fromLatin1(content));
    log->close();
}

void TestLogView::laterPressEndsLoadUnderWay() {
    writeFile(m_dir.filePath(u"big.dump.log"_s), largeLog("EMP"));
    writeFile(m_dir.filePath(u"small.dump.log"_s), "small\n");
    frmMain window;
    viewLog(window, exportPanel, m_dir.path(), u"big.dump"_s);
    viewLog(window, importPanel, m_dir.path(), u"small.dump"_s);
    frmLogView* log = openLogWindow();
    QVERIFY(log);
    QCOMPARE(text(*log, "txt_logtext"), u"small\n"_s);
    QCOMPARE(logText(*log)->document().lineCount(), 2);
    log->close();
}

void TestLogView::closedWhileLoading() {
    writeFile(m_dir.filePath(u"big.dump.log"_s), largeLog("EMP"));
    frmMain window;
    viewLog(window, exportPanel, m_dir.path(), u"big.dump"_s);
    QPointer<frmLogView> log = openLogWindow();
    QVERIFY(log);
    log->close();
    QTRY_VERIFY(!log);
}

void TestLogView::outlivesMainWindow() {
    writeFile(m_dir.filePath(u"e.dump.log"_s), "log");
    frmMain window;
    window.show();
    viewLog(window, exportPanel, m_dir.path(), u"e.dump"_s);
    frmLogView* log = openLogWindow();
    QVERIFY(log);
    QVERIFY(log->isWindow());
    QVERIFY(!log->parent());
    QVERIFY(!log->isModal());

    control<QPushButton>(window, "cmd_exit")->click();
    QVERIFY(!window.isVisible());
    QVERIFY(log->isVisible());
    log->close();
}

namespace {

QString fontText(const QFont& font) {
    return u"%1 %2%3"_s.arg(font.family())
        .arg(font.pointSizeF())
        .arg(font.bold() ? u" bold"_s : QString());
}

// What the widget will paint for one aspect of its look.
QVariant painted(QWidget* widget, const QString& aspect) {
    auto* area = qobject_cast<QAbstractScrollArea*>(widget);
    QWidget* textArea = area ? area->viewport() : widget;
    if (aspect == u"caption")
        return widget->windowTitle();
    if (aspect == u"size")
        return widget->size();
    if (aspect == u"place")
        return widget->geometry();
    if (aspect == u"font")
        return fontText(widget->font());
    if (aspect == u"background")
        return widget->autoFillBackground() ? widget->palette().color(widget->backgroundRole())
                                            : QColor();
    if (aspect == u"text colour")
        return widget->palette().color(qobject_cast<QLabel*>(widget) ? QPalette::WindowText
                                                                     : QPalette::Text);
    if (aspect == u"text area") { // line edits fill Base; a scroll area's viewport fills its role
        if (area && !textArea->autoFillBackground())
            return QColor();
        return textArea->palette().color(area ? textArea->backgroundRole() : QPalette::Base);
    }
    if (aspect == u"vertical scroll bar")
        return area && area->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn;
    if (aspect == u"accessible name")
        return widget->accessibleName();
    return {};
}
} // namespace

void TestLogView::windowLook_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("aspect");
    QTest::addColumn<QVariant>("expected");
    const QColor darkBlue(0x00, 0x00, 0x40);
    const auto row = [](const char* control, const char* aspect, const QVariant& expected) {
        QTest::addRow("%s %s", *control ? control : "window", aspect)
            << QString::fromLatin1(control) << QString::fromLatin1(aspect) << expected;
    };
    row("", "caption", u"Log View"_s);
    row("", "size", QSize(761, 730));
    row("", "background", darkBlue);
    row("txt_title", "place", QRect(16, 16, 273, 41));
    row("txt_title", "font", fontText(QFont(u"Verdana"_s, 20)).replace(u" 20"_s, u" 20.25 bold"_s));
    row("txt_title", "text colour", QColor(0xFF, 0xFF, 0x80));
    row("txt_title", "text area", darkBlue);
    row("txt_title", "accessible name", u"Log heading"_s);
    row("txt_filename", "place", QRect(304, 32, 449, 25));
    row("txt_filename", "font", fontText(QApplication::font()));
    row("txt_filename", "text colour", QColor(0xFF, 0xFF, 0x00));
    row("txt_filename", "text area", darkBlue);
    row("txt_filename", "accessible name", u"Log file"_s);
    row("txt_logtext", "place", QRect(16, 64, 737, 657));
    row("txt_logtext", "font", fontText(QApplication::font()));
    row("txt_logtext", "text colour", QApplication::palette().color(QPalette::Text));
    row("txt_logtext", "text area", QApplication::palette().color(QPalette::Base));
    row("txt_logtext", "vertical scroll bar", true);
    row("txt_logtext", "accessible name", u"Log text"_s);
    // The summary stands in the free room above the file name, beside the heading.
    row("lbl_summary", "place", QRect(304, 11, 449, 19));
    row("lbl_summary", "font", fontText(QApplication::font()));
    row("lbl_summary", "text colour", QColor(0xFF, 0xFF, 0x80));
    row("lbl_summary", "accessible name", u"No closing line \u2014 no problems"_s);
}

void TestLogView::windowLook() {
    QFETCH(QString, control);
    QFETCH(QString, aspect);
    QFETCH(QVariant, expected);
    frmLogView log;
    QWidget* widget = control.isEmpty() ? &log : log.findChild<QWidget*>(control);
    QVERIFY(widget);
    QCOMPARE(painted(widget, aspect), expected);
    if (control == u"txt_filename"_s)
        QCOMPARE(log.findChild<QLineEdit*>(control)->text(), u"Text1"_s);
}

void TestLogView::opensWithFocusInLogText() {
    writeFile(m_dir.filePath(u"e.dump.log"_s), "log\n");
    frmMain window;
    window.show();
    viewLog(window, exportPanel, m_dir.path(), u"e.dump"_s);
    frmLogView* log = openLogWindow();
    QVERIFY(log);
    QVERIFY(QTest::qWaitForWindowActive(log));
    QStringList order;
    for (int i = 0; i < 4; ++i) {
        QWidget* focus = QApplication::focusWidget();
        order.append(focus ? focus->objectName() : QString());
        QTest::keyClick(focus ? focus : log, Qt::Key_Tab);
    }
    QCOMPARE(order,
             (QStringList{u"txt_logtext"_s, u"txt_filename"_s, u"txt_title"_s, u"txt_logtext"_s}));
    log->close();
}

QTEST_MAIN(TestLogView)
#include "tst_logview.moc"
