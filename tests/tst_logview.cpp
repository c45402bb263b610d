// The "VL" buttons and the log window: which file each panel shows, how an unreadable log is
// reported, and the single shared window's life.
#include "app/FrmMain.h"
#include "runs/FrmLogView.h"
#include "runs/PlainTextLoader.h"
#include "support/MessageRecorder.h"
#include "support/WindowTest.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

using namespace Qt::Literals::StringLiterals;

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

// A log of several loading pieces with CR LF line ends, as the utility writes on Windows. A
// line end straddles every multiple of the piece size, the worst place to cut.
QByteArray largeLog(const QByteArray& table) {
    constexpr qsizetype piece = PlainTextLoader::PieceSize;
    QByteArray content;
    for (int i = 0; content.size() < 3 * piece; ++i) {
        QByteArray line = ". . exporting table " + table + QByteArray::number(i) + "   " +
                          QByteArray::number(i * 7) + " rows exported";
        const qsizetype boundary = (content.size() / piece + 1) * piece;
        if (content.size() + line.size() + 2 > boundary)
            line = QByteArray(boundary - 1 - content.size(), '.');
        content += line + "\r\n";
    }
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

QString text(const QWidget& window, const char* name) {
    if (auto* area = window.findChild<QPlainTextEdit*>(QLatin1StringView(name)))
        return area->toPlainText();
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
    void windowLayout();

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
    QCOMPARE(text(*log, "txt_logtext"),
             u"Export: Release 8.1.7\n. . exporting table EMP 14 rows\n"_s);
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
    auto* box = control<QPlainTextEdit>(*log, "txt_logtext");
    QVERIFY(box->toPlainText().startsWith(u". . exporting table EMP0   0 rows exported\n"_s));

    QTRY_VERIFY(!box->isReadOnly());
    const QString expected = QString::fromLatin1(content).replace(u"\r\n"_s, u"\n"_s);
    QCOMPARE(box->toPlainText().size(), expected.size());
    QVERIFY(box->toPlainText() == expected);
    // Undo must not take the log away again.
    QVERIFY(!box->document()->isUndoAvailable());
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
    auto* box = control<QPlainTextEdit>(*log, "txt_logtext");

    // Long enough for every piece of the first log to have arrived, had its load gone on.
    QTest::qWait(300);
    QCOMPARE(box->toPlainText(), u"small\n"_s);
    QVERIFY(!box->isReadOnly());
    QVERIFY(!box->document()->isUndoAvailable());
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

void TestLogView::windowLayout() {
    QPointer<frmLogView> log = new frmLogView;
    QCOMPARE(log->windowTitle(), u"Log View"_s);
    QCOMPARE(log->size(), QSize(761, 730));
    QCOMPARE(log->palette().color(QPalette::Window), QColor(0x00, 0x00, 0x40));
    QCOMPARE(control<QLineEdit>(*log, "txt_filename")->text(), u"Text1"_s);
    auto* logText = control<QPlainTextEdit>(*log, "txt_logtext");
    QCOMPARE(logText->geometry(), QRect(16, 64, 737, 657));
    QVERIFY(!logText->isReadOnly());

    QStringList order;
    for (QWidget* widget = logText; order.size() < 3; widget = widget->nextInFocusChain()) {
        if (widget->focusPolicy() & Qt::TabFocus && !widget->focusProxy())
            order.append(widget->objectName());
    }
    QCOMPARE(order, (QStringList{u"txt_logtext"_s, u"txt_filename"_s, u"txt_title"_s}));
    delete log;
}

QTEST_MAIN(TestLogView)
#include "tst_logview.moc"
