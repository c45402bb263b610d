// The "VL" buttons and the log window: which file each panel shows, how an unreadable log is
// reported, the single shared window's life, its look, and the log text box: selection and copy,
// scrolling, logs that change while shown, Find, and the line index behind it.
#include "app/FrmMain.h"
#include "platform/ReadOnlyFile.h"
#include "runs/logview/FrmLogView.h"
#include "runs/logview/LogDocument.h"
#include "runs/logview/LogTextView.h"
#include "support/MessageRecorder.h"
#include "support/WindowTest.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTemporaryDir>

using namespace Qt::Literals::StringLiterals;
using namespace runs::logview;

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

// A log of many indexing windows with CR LF line ends, as the utility writes on Windows, so
// most of it is indexed by the background thread.
QByteArray largeLog(const QByteArray& table) {
    QByteArray content;
    for (int i = 0; content.size() < 3 * LogDocument::FirstBytes; ++i)
        content += ". . exporting table " + table + QByteArray::number(i) + "   " +
                   QByteArray::number(i * 7) + " rows exported\r\n";
    return content;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Sets the panel's fields and presses its "VL" button.
void viewLog(const frmMain& window, const Panel& panel, const QString& directory,
             const QString& file) {
    control<QLineEdit>(window, panel.directory)->setText(directory);
    control<QLineEdit>(window, panel.file)->setText(file);
    control<QPushButton>(window, panel.button)->click();
}

frmLogView* openLogWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == u"frmLogView"_s && widget->isVisible())
            return qobject_cast<frmLogView*>(widget);
    }
    return nullptr;
}

LogTextView* logText(const QWidget& window) {
    return control<LogTextView>(window, "txt_logtext");
}

void press(QWidget* widget, const QString& keys) {
    for (const QString& key : keys.split(u' ', Qt::SkipEmptyParts))
        QTest::keySequence(widget, QKeySequence::fromString(key));
}

// What the operator gets by pressing the keys and copying; a null text when nothing was copied.
QString copied(LogTextView* view, const QString& keys) {
    const QString untouched = u"(nothing copied)"_s;
    QApplication::clipboard()->setText(untouched);
    press(view, keys + u" Ctrl+C"_s);
    const QString text = QApplication::clipboard()->text();
    return text == untouched ? QString() : text;
}

// The shown log as a whole, once it is indexed.
QString shownText(const QWidget& window) {
    LogTextView* view = logText(window);
    [&] { QTRY_VERIFY(!view->isIndexing()); }();
    return copied(view, u"Ctrl+A"_s);
}

QString text(const QWidget& window, const char* name) {
    if (qstrcmp(name, "txt_logtext") == 0)
        return shownText(window);
    return control<QLineEdit>(window, name)->text();
}

// A shown log of this content, in a window of its own.
struct ShownLog {
    explicit ShownLog(const QByteArray& content) {
        writeFile(path, content);
        window.showLog(u"Export Log"_s, platform::ReadOnlyFile::open(path), path);
        view = logText(window);
        QTRY_VERIFY(!view->isIndexing());
    }
    ~ShownLog() { window.close(); }
    QTemporaryDir dir;
    QString path = dir.filePath(u"x.dump.log"_s);
    frmLogView& window = *new frmLogView;
    LogTextView* view = nullptr;
};

// The point of a character column on a row of the box, counted from its top.
QPoint rowPoint(const LogTextView* view, int row, int column) {
    const QFontMetrics metrics = view->fontMetrics();
    return {4 + column * metrics.horizontalAdvance(u'x'), 4 + row * metrics.lineSpacing() + 2};
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
    void copiesSelection_data();
    void copiesSelection();
    void mouseSelection();
    void hugeSelectionIsNotCopied();
    void scrolls_data();
    void scrolls();
    void fileChangesWhileShown_data();
    void fileChangesWhileShown();
    void finds_data();
    void finds();
    void indexMatchesSplit_data();
    void indexMatchesSplit();

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
        return widget->palette().color(QPalette::Text);
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

void TestLogView::copiesSelection_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("expected");
    const QByteArray digits = "1234\n5678\n9012\n";
    QByteArray longLine;
    for (int i = 0; longLine.size() < 3 * LineIndex::PieceBytes + 100; ++i)
        longLine += "word" + QByteArray::number(i) + ' ';
    const QByteArray accented = QString(5000, u'\u00e9').toUtf8(); // two bytes each

    QTest::newRow("whole log") << digits << u"Ctrl+A"_s << QString::fromLatin1(digits);
    QTest::newRow("CR LF kept") << QByteArray("one\r\ntwo\r\n") << u"Ctrl+A"_s
                                << u"one\r\ntwo\r\n"_s;
    QTest::newRow("no final line break") << QByteArray("one\ntwo") << u"Ctrl+A"_s << u"one\ntwo"_s;
    QTest::newRow("empty log") << QByteArray() << u"Ctrl+A"_s << QString();
    QTest::newRow("down across lines")
        << digits << u"Right Right Shift+Down Shift+Down"_s << u"34\n5678\n90"_s;
    QTest::newRow("up from the end")
        << QByteArray("1234\n5678") << u"Ctrl+End Shift+Up"_s << u"\n5678"_s;
    QTest::newRow("a CR LF line end alone")
        << QByteArray("ab\r\ncd") << u"End Shift+Right"_s << u"\r\n"_s;
    QTest::newRow("back over a line end")
        << digits << u"Ctrl+A Shift+Left Shift+Left"_s << u"1234\n5678\n901"_s;
    QTest::newRow("long line whole") << longLine + "\nnext\n"
                                     << u"Shift+End"_s << QString::fromLatin1(longLine);
    QTest::newRow("long line end")
        << longLine + "\nnext\n"
        << u"End Shift+Left Shift+Left"_s << QString::fromLatin1(longLine.right(2));
    QTest::newRow("long line to the next")
        << longLine + "\nnext\n"
        << u"End Shift+Left Shift+Down Shift+End"_s << u"\nnext"_s;
    QTest::newRow("multi-byte text over piece cuts")
        << accented + "\r\n"
        << u"Shift+End"_s << QString::fromUtf8(accented);
    QTest::newRow("page down selects on")
        << QByteArray(3000, '\n') << u"Shift+PgDown Shift+PgUp"_s << QString();
}

void TestLogView::copiesSelection() {
    QFETCH(QByteArray, content);
    QFETCH(QString, keys);
    QFETCH(QString, expected);
    ShownLog log(content);
    QCOMPARE(copied(log.view, keys), expected);
}

void TestLogView::mouseSelection() {
    ShownLog log("1234\n5678\n9012\n");
    QWidget* area = log.view->viewport();
    const int right = area->width() - 5;
    QTest::mousePress(area, Qt::LeftButton, {}, rowPoint(log.view, 0, 0));
    QTest::mouseMove(area, rowPoint(log.view, 1, 0) + QPoint(right, 0));
    QTest::mouseRelease(area, Qt::LeftButton, {}, rowPoint(log.view, 1, 0) + QPoint(right, 0));
    QCOMPARE(copied(log.view, {}), u"1234\n5678"_s);

    QTest::mouseClick(area, Qt::LeftButton, Qt::ShiftModifier, rowPoint(log.view, 2, 0));
    QCOMPARE(copied(log.view, {}), u"1234\n5678\n"_s);
    // Below the last row is the end of the log.
    QTest::mouseClick(area, Qt::LeftButton, Qt::ShiftModifier, QPoint(5, area->height() - 2));
    QCOMPARE(copied(log.view, {}), u"1234\n5678\n9012\n"_s);
}

void TestLogView::hugeSelectionIsNotCopied() {
    QByteArray line(79, '.');
    line += '\n';
    ShownLog log(line.repeated(LogTextView::CopyLimitBytes / line.size() + 1));
    MessageRecorder recorder;
    QCOMPARE(copied(log.view, u"Ctrl+A"_s), QString());
    QCOMPARE(recorder.boxes.size(), 1);
    QCOMPARE(recorder.boxes[0].title, u"Log View"_s);
    QVERIFY(recorder.boxes[0].text.contains(u"too large to copy"_s));
    // A selection within the limit is copied.
    QCOMPARE(copied(log.view, u"Ctrl+Home Shift+Down"_s), QString::fromLatin1(line));
}

void TestLogView::scrolls_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("wheelNotches");
    QTest::addColumn<int>("pages"); // the top line after, in pages
    QTest::addColumn<int>("lines"); // and lines; -1: the last page
    QByteArray numbered;
    for (int i = 0; i < 1000; ++i)
        numbered += "line " + QByteArray::number(i) + '\n';
    QTest::newRow("end") << numbered << u"Ctrl+End"_s << 0 << 0 << -1;
    QTest::newRow("end and back home") << numbered << u"Ctrl+End Ctrl+Home"_s << 0 << 0 << 0;
    QTest::newRow("two pages down") << numbered << u"PgDown PgDown"_s << 0 << 2 << 0;
    QTest::newRow("page down and up") << numbered << u"PgDown PgDown PgUp"_s << 0 << 1 << 0;
    QTest::newRow("caret below the last row") << numbered << QString() << 0 << 0 << 1;
    QTest::newRow("wheel down") << numbered << QString() << -2 << 0 << 6;
    QTest::newRow("wheel past the start") << numbered << u"PgDown"_s << 20 << 0 << 0;
    QTest::newRow("end of one long line")
        << QByteArray(600 * 1000, 'x') << u"Ctrl+End"_s << 0 << 0 << -1;
}

void TestLogView::scrolls() {
    QFETCH(QByteArray, content);
    QFETCH(QString, keys);
    QFETCH(int, wheelNotches);
    QFETCH(int, pages);
    QFETCH(int, lines);
    ShownLog log(content);
    const int visible =
        (log.view->viewport()->height() - 8) / log.view->fontMetrics().lineSpacing();
    if (keys.isEmpty() && wheelNotches == 0) // the caret moved just past the last row
        keys = u"Down "_s.repeated(visible);
    press(log.view, keys);
    if (wheelNotches != 0) {
        const QPoint at(10, 10);
        QWheelEvent wheel(at, log.view->viewport()->mapToGlobal(at), {},
                          QPoint(0, wheelNotches * QWheelEvent::DefaultDeltasPerStep), Qt::NoButton,
                          {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(log.view->viewport(), &wheel);
    }
    const QScrollBar* bar = log.view->verticalScrollBar();
    if (lines < 0) {
        QVERIFY(bar->maximum() > 0);
        QCOMPARE(bar->value(), bar->maximum());
    } else {
        QCOMPARE(bar->value(), pages * visible + lines);
    }
}

void TestLogView::fileChangesWhileShown_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("changed");
    QTest::addColumn<bool>("appended");
    QTest::addColumn<bool>("whileIndexing");
    QTest::addColumn<QString>("shown"); // null: anything but a fault
    QTest::newRow("grows") << QByteArray("one\ntwo\n") << QByteArray("three\n") << true << false
                           << u"one\ntwo\n"_s;
    QTest::newRow("last line grows")
        << QByteArray("one\ntw") << QByteArray("o\n") << true << false << u"one\ntw"_s;
    QTest::newRow("shrinks") << QByteArray("one\ntwo\nthree\n") << QByteArray("one\n") << false
                             << false << u"one\n"_s;
    QTest::newRow("emptied") << QByteArray("one\ntwo\n") << QByteArray() << false << false
                             << QString();
    QTest::newRow("rewritten") << QByteArray("one\ntwo\n") << QByteArray("a\nb\nc\nd\n") << false
                               << false << u"a\nb\nc\nd\n"_s;
    QTest::newRow("shrinks while indexed")
        << largeLog("EMP") << QByteArray("short\n") << false << true << QString();
}

void TestLogView::fileChangesWhileShown() {
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, changed);
    QFETCH(bool, appended);
    QFETCH(bool, whileIndexing);
    QFETCH(QString, shown);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"x.dump.log"_s);
    writeFile(path, content);
    auto* log = new frmLogView;
    log->showLog(u"Export Log"_s, platform::ReadOnlyFile::open(path), path);
    LogTextView* view = logText(*log);
    if (!whileIndexing)
        QTRY_VERIFY(!view->isIndexing());

    QFile file(path);
    QVERIFY(file.open(appended ? QIODevice::Append : QIODevice::WriteOnly));
    file.write(changed);
    file.close();
    const QString after = shownText(*log);
    if (!shown.isNull())
        QCOMPARE(after, shown);
    press(view, u"Ctrl+End PgUp Down Up"_s);
    QVERIFY(!log->grab().isNull());

    log->showLog(u"Export Log"_s, platform::ReadOnlyFile::open(path), path);
    QCOMPARE(shownText(*log), QString::fromLatin1(appended ? content + changed : changed));
    log->close();
}

void TestLogView::finds_data() {
    QTest::addColumn<QString>("needle");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("found"); // from the match to its line's end
    QTest::addColumn<QString>("status");
    QTest::newRow("first") << u"error"_s << u"F3"_s << u"ERROR 1 early"_s << QString();
    QTest::newRow("second, past the first window")
        << u"error"_s << u"F3 F3"_s << u"Error 2 later"_s << QString();
    QTest::newRow("across a piece cut")
        << u"error"_s << u"F3 F3 F3"_s << u"error 3 in a long line"_s << QString();
    QTest::newRow("wraps round") << u"error"_s << u"F3 F3 F3 F3"_s << u"ERROR 1 early"_s
                                 << QString();
    QTest::newRow("previous wraps to the last")
        << u"error"_s << u"Shift+F3"_s << u"error 3 in a long line"_s << QString();
    QTest::newRow("enter and shift enter")
        << u"error"_s << u"Return Return Shift+Return"_s << u"ERROR 1 early"_s << QString();
    QTest::newRow("not found") << u"nowhere"_s << u"F3"_s << QString() << u"Not found"_s;
}

void TestLogView::finds() {
    QFETCH(QString, needle);
    QFETCH(QString, keys);
    QFETCH(QString, found);
    QFETCH(QString, status);
    QByteArray content = "first line\n. . ERROR 1 early\n";
    for (int i = 0; content.size() < 2 * LogDocument::FirstBytes; ++i)
        content += "ok line " + QByteArray::number(i) + '\n';
    content += "Error 2 later\n";
    content += QByteArray(2 * LineIndex::PieceBytes - 3, 'x') + "error 3 in a long line\nlast\n";
    ShownLog log(content);

    press(log.view, u"Ctrl+F"_s);
    auto* field = control<QLineEdit>(*log.view, "txt_find");
    QVERIFY(field->isVisible());
    QTest::keyClicks(field, needle);
    auto* result = control<QLabel>(*log.view, "lbl_find_status");
    for (const QString& key : keys.split(u' ')) {
        press(field, key);
        QTRY_VERIFY(result->text() != u"Searching\u2026"_s);
    }
    QCOMPARE(result->text(), status);
    QCOMPARE(copied(log.view, found.isNull() ? QString() : u"Shift+End"_s), found);
    press(field, u"Escape"_s);
    QVERIFY(!field->isVisible());
}

namespace {

// Lines of random lengths up to maxLine, some ended by CR LF, the last without a line end.
QByteArray generated(quint32 seed, qsizetype size, int maxLine) {
    QRandomGenerator random(seed);
    QByteArray content;
    while (content.size() < size) {
        const int length = random.bounded(maxLine + 1);
        for (int i = 0; i < length; ++i)
            content += static_cast<char>(random.bounded(8) == 0 ? ' ' : 'a' + random.bounded(26));
        content += random.bounded(3) == 0 ? "\r\n" : "\n";
    }
    return content + "tail";
}

} // namespace

void TestLogView::indexMatchesSplit_data() {
    QTest::addColumn<QByteArray>("content");
    const QByteArray window(LineIndex::WindowBytes, 'w');
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("line feeds only") << QByteArray("\n\n\n");
    QTest::newRow("one line, no line end") << QByteArray("only");
    QTest::newRow("CR without LF stays text") << QByteArray("a\rb\r\nc\r");
    QTest::newRow("short lines over many windows") << generated(1, 300'000, 80);
    QTest::newRow("lines around the piece size")
        << generated(2, 200'000, 3 * LineIndex::PieceBytes);
    QTest::newRow("lines longer than a window")
        << generated(3, 900'000, 3 * LineIndex::WindowBytes);
    QTest::newRow("one line over many windows") << QByteArray(5 * LineIndex::WindowBytes + 7, 'x');
    QTest::newRow("CR LF across the first read")
        << QByteArray(LogDocument::FirstBytes - 1, 'x') + "\r\n" + window + "\r\nend";
    QTest::newRow("pieces exactly full") << QByteArray(LineIndex::PieceBytes, 'p') + "\r\n" +
                                                QByteArray(2 * LineIndex::PieceBytes, 'q') + "\n";
}

void TestLogView::indexMatchesSplit() {
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"x.log"_s);
    writeFile(path, content);
    LogDocument document(platform::ReadOnlyFile::open(path));
    document.startIndexing();
    QTRY_VERIFY(!document.isIndexing());

    const QList<QByteArray> lines = content.split('\n');
    QCOMPARE(document.lineCount(), lines.size());
    qint64 piece = 0;
    qint64 start = 0;
    for (qsizetype number = 0; number < lines.size(); ++number) {
        QByteArray line = lines[number];
        const qint64 next = start + line.size() + (number + 1 < lines.size() ? 1 : 0);
        if (number + 1 < lines.size() && line.endsWith('\r'))
            line.chop(1);
        const LogLine found = document.lineOfOffset(start);
        QCOMPARE(found.number, number);
        QCOMPARE(found.start, start);
        QCOMPARE(found.textEnd, start + line.size());
        QCOMPARE(found.next, next);
        QCOMPARE(found.firstPiece, piece);
        QCOMPARE(found.pieces, LineIndex::piecesOf(line.size()));
        QByteArray joined;
        for (qint64 i = 0; i < found.pieces; ++i) {
            const LogPiece part = document.piece(piece + i);
            QCOMPARE(part.firstOfLine, i == 0);
            QCOMPARE(part.lastOfLine, i == found.pieces - 1);
            QCOMPARE(document.lineOfPiece(piece + i).number, number);
            joined += document.bytes(part.start, part.end);
        }
        QCOMPARE(joined, line);
        QCOMPARE(document.offsetOf(document.positionAt(start + line.size())), start + line.size());
        piece += found.pieces;
        start = next;
    }
    QCOMPARE(document.pieceCount(), piece);
}

QTEST_MAIN(TestLogView)
#include "tst_logview.moc"
