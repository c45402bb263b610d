// The console each run opens: how it shows a utility's terminal, keys that reach the utility,
// closing it during a run, and its reuse from run to run. The terminal model alone is tested
// without a window elsewhere.
#include "app/FrmMain.h"
#include "platform/ConsoleProcess.h"
#include "runs/UtilityLaunch.h"
#include "runs/console/ConsoleView.h"
#include "runs/console/UtilityConsole.h"
#include "support/ConsoleOperator.h"
#include "support/EnvironmentGuard.h"
#include "support/MessageRecorder.h"
#include "support/OracleHome.h"
#include "support/Panels.h"
#include "support/WindowTest.h"

#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>

#include <csignal>
#include <functional>
#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;
using namespace runs::console;
using namespace std::chrono_literals;

namespace {

// A terminal whose output the test writes.
class FakeTerminal : public platform::ConsoleProcess {
public:
    qint64 processId() const override { return 0; }
    bool isRunning() const override { return true; }
    void write(const QByteArray& keys) override { typed += keys; }
    void resize(Size told) override { size = told; }
    void hangUp() override {}
    platform::ProcessEnd finish() override { return {}; }
    QByteArray typed;
    Size size;
};

// The text of the block at the top of the view.
QString topRow(const ConsoleView* view) {
    return view->cursorForPosition(QPoint(1, 1)).block().text();
}

QByteArray numberedLines(int from, int end) {
    QByteArray bytes;
    for (int line = from; line < end; ++line)
        bytes += "line " + QByteArray::number(line) + "\r\n";
    return bytes;
}

void exportRun(frmMain& window) {
    control<QPushButton>(window, "cmd_export")->click();
}

} // namespace

class TestConsole : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void showsTheTerminal_data();
    void showsTheTerminal();
    void keepsTheLastLines();
    void keysBecomeTerminalBytes_data();
    void keysBecomeTerminalBytes();
    void saysHowTheUtilityEnded_data();
    void saysHowTheUtilityEnded();
    void operatorAnswersTheUtility();
    void closingEndsTheRun_data();
    void closingEndsTheRun();
    void nextRunReusesTheConsole();
    void waitForProcess_data();
    void waitForProcess();
    void gridFitsTheWindow_data();
    void gridFitsTheWindow();
    void copyJoinsWrappedRows_data();
    void copyJoinsWrappedRows();
    void followsOrStays_data();
    void followsOrStays();
    void endLineStandsApart_data();
    void endLineStandsApart();
    void showsTheLastWords_data();
    void showsTheLastWords();
    void speaksTheUtilitysCharacterSet_data();
    void speaksTheUtilitysCharacterSet();

private:
    EnvironmentGuard m_environment{{u"ORA_HOME"_s, u"NLS_LANG"_s, u"TARNHOLD_RECORD"_s,
                                    u"TARNHOLD_SLEEP_MS"_s, u"TARNHOLD_EXIT_STATUS"_s,
                                    u"TARNHOLD_SIGNAL"_s, u"TARNHOLD_IGNORE_HANGUP"_s,
                                    u"TARNHOLD_FILL_LINES"_s}};
};

void TestConsole::init() {
    for (const char* name : {"TARNHOLD_SLEEP_MS", "TARNHOLD_EXIT_STATUS", "TARNHOLD_SIGNAL",
                             "TARNHOLD_IGNORE_HANGUP", "TARNHOLD_FILL_LINES", "NLS_LANG"})
        qunsetenv(name);
    platform::ConsoleProcess::setHangUpGrace(3s);
}

void TestConsole::cleanup() {
    closeConsoles();
    QTRY_VERIFY(noWindowLeft());
}

void TestConsole::showsTheTerminal_data() {
    QTest::addColumn<QByteArrayList>("output");
    QTest::addColumn<QString>("shown");
    const auto row = [](const char* name, QByteArrayList output, const QString& shown) {
        QTest::newRow(name) << output << shown;
    };
    row("lines", {"one\r\ntwo\r\n"}, u"one\ntwo\n"_s);
    row("a character split across reads", {"caf\xc3", "\xa9 \xe2\x82", "\xac\r\n"}, u"café €\n"_s);
    row("bytes the locale cannot decode",
        {"a\xff"
         "b\r\n"},
        u"a\uFFFDb\n"_s);
}

void TestConsole::showsTheTerminal() {
    QFETCH(QByteArrayList, output);
    QFETCH(QString, shown);
    FakeTerminal terminal;
    auto* console = new UtilityConsole;
    console->attach(&terminal, u"/home/bin/exp"_s, u"exp"_s);
    for (const QByteArray& bytes : output)
        Q_EMIT terminal.output(bytes);
    QTRY_COMPARE(control<ConsoleView>(*console, "txt_console")->toPlainText(), shown);
    QCOMPARE(console->windowTitle(), u"/home/bin/exp"_s);
    console->close();
}

void TestConsole::keepsTheLastLines() {
    FakeTerminal terminal;
    auto* console = new UtilityConsole;
    console->attach(&terminal, u"exp"_s, u"exp"_s);
    auto* view = control<ConsoleView>(*console, "txt_console");
    const int total = 3 * ConsoleView::KeptLines;
    for (int chunk = 0; chunk < total; chunk += 1000) {
        QByteArray bytes;
        for (int line = chunk; line < chunk + 1000; ++line)
            bytes += "line " + QByteArray::number(line) + "\r\n";
        Q_EMIT terminal.output(bytes);
    }
    // A line longer than the terminal is wide goes on in the next line, as terminals wrap.
    const int columns = view->terminalSize().columns;
    Q_EMIT terminal.output(QByteArray(columns, 'x') + "yz");
    // A flood shows its latest lines at once and the rest soon after; then the kept lines, and
    // the line being written, are all there.
    QTRY_COMPARE(view->blockCount(), ConsoleView::KeptLines + 1);
    QVERIFY(view->toPlainText().endsWith(u"\nyz"_s));
    const QStringList lines = view->toPlainText().split(u'\n');
    QCOMPARE(lines.at(lines.size() - 2), QString(columns, u'x'));
    QCOMPARE(lines.at(lines.size() - 3), u"line %1"_s.arg(total - 1));
    console->close();
}

void TestConsole::keysBecomeTerminalBytes_data() {
    QTest::addColumn<QKeyCombination>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("copies");
    const auto row = [](const char* name, QKeyCombination key, const QString& text, bool selected,
                        const QByteArray& bytes, bool copies) {
        QTest::newRow(name) << key << text << selected << bytes << copies;
    };
    const auto ctrl = [](Qt::Key key) { return QKeyCombination(Qt::ControlModifier, key); };
    row("letter", Qt::Key_A, u"a"_s, false, "a", false);
    row("arrow moves in the text", Qt::Key_Up, QString(), false, "", false);
    row("copy of a selection", ctrl(Qt::Key_C), QString(), true, "", true);
    row("terminal copy", QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_C),
        QString(), true, "", true);
}

void TestConsole::keysBecomeTerminalBytes() {
    QFETCH(QKeyCombination, key);
    QFETCH(QString, text);
    QFETCH(bool, selected);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, copies);
    FakeTerminal terminal;
    auto* console = new UtilityConsole;
    console->attach(&terminal, u"exp"_s, u"exp"_s);
    Q_EMIT terminal.output("some output");
    auto* view = control<ConsoleView>(*console, "txt_console");
    QTRY_COMPARE(view->toPlainText(), u"some output"_s);
    if (selected)
        view->selectAll();
    QApplication::clipboard()->clear();

    QKeyEvent press(QEvent::KeyPress, key.key(), key.keyboardModifiers(), text);
    QApplication::sendEvent(view, &press);
    QCOMPARE(terminal.typed, bytes);
    QCOMPARE(QApplication::clipboard()->text(), copies ? u"some output"_s : QString());

    // Once the utility has ended, keys go nowhere.
    console->showEnd({});
    terminal.typed.clear();
    QApplication::sendEvent(view, &press);
    QCOMPARE(terminal.typed, QByteArray());
    console->close();
}

void TestConsole::saysHowTheUtilityEnded_data() {
    QTest::addColumn<QByteArray>("variable");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QString>("lastLine");
    QTest::newRow("success") << QByteArray("TARNHOLD_EXIT_STATUS") << QByteArray("0")
                             << u"[exp has ended with exit status 0]"_s;
    QTest::newRow("failure") << QByteArray("TARNHOLD_EXIT_STATUS") << QByteArray("3")
                             << u"[exp has ended with exit status 3]"_s;
    QTest::newRow("signal") << QByteArray("TARNHOLD_SIGNAL") << QByteArray::number(SIGKILL)
                            << u"[exp was ended by signal %1: Killed]"_s.arg(SIGKILL);
}

void TestConsole::saysHowTheUtilityEnded() {
    QFETCH(QByteArray, variable);
    QFETCH(QByteArray, value);
    QFETCH(QString, lastLine);
    OracleHome home;
    qputenv(variable.constData(), value);
    frmMain window;
    fillExport(window, home.dumps());
    MessageRecorder recorder;
    exportRun(window);
    QCOMPARE(recorder.boxes.size(), 0);
    QVERIFY(openConsole());
    QCOMPARE(openConsole()->windowTitle(), home.program(u"exp"_s));
    QVERIFY(consoleText().endsWith(lastLine));
}

void TestConsole::operatorAnswersTheUtility() {
    OracleHome home;
    home.install(u"exp"_s, QStringLiteral(CONSOLE_UTILITY));
    frmMain window;
    window.show();
    fillExport(window, home.dumps());
    auto* sid = control<QLineEdit>(window, "txt_sid_e");

    ConsoleOperator operatorAtKeys;
    operatorAtKeys.expect(u"Name: "_s, [sid](ConsoleView* view) {
        // The main window takes nothing meanwhile, typed or dropped.
        QTest::keyClicks(sid, u"XYZ"_s);
        QMimeData dropped;
        dropped.setText(u"dropped"_s);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, {});
        QApplication::sendEvent(sid, &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, {});
        QApplication::sendEvent(sid, &drop);
        type(view, u"scott"_s);
    });
    operatorAtKeys.expect(u"Password: "_s, [](ConsoleView* view) { type(view, u"tiger!"_s); });
    operatorAtKeys.start();
    MessageRecorder recorder;
    exportRun(window);

    QVERIFY(operatorAtKeys.finished());
    QCOMPARE(sid->text(), u"DEMO"_s);
    // The echo shows the name; the password, read with echo off, shows nowhere.
    QCOMPARE(consoleText(), u"Name: scott\nPassword: \nHello scott, your password has 6 "
                            "characters\n[exp has ended with exit status 0]"_s);
}

void TestConsole::closingEndsTheRun_data() {
    QTest::addColumn<QString>("utility");
    QTest::addColumn<bool>("logBefore");
    QTest::addColumn<bool>("logOffered");
    QTest::newRow("hung up; the log of an earlier run is offered") << u"sleeps"_s << true << true;
    QTest::newRow("hung up before it wrote a log") << u"sleeps"_s << false << false;
    QTest::newRow("ignores the hang-up, so it is killed") << u"ignores"_s << false << false;
    QTest::newRow("waits for a reader of its log, a pipe") << u"pipe"_s << false << false;
}

void TestConsole::closingEndsTheRun() {
    QFETCH(QString, utility);
    QFETCH(bool, logBefore);
    QFETCH(bool, logOffered);
    OracleHome home;
    qputenv("TARNHOLD_SLEEP_MS", utility == u"pipe"_s ? "0" : "600000");
    if (utility == u"ignores"_s) {
        qputenv("TARNHOLD_IGNORE_HANGUP", "1");
        platform::ConsoleProcess::setHangUpGrace(100ms);
    }
    const QString log = home.dumps() + u"/x.dump.log"_s;
    if (utility == u"pipe"_s)
        QCOMPARE(::mkfifo(QFile::encodeName(log).constData(), 0600), 0);
    if (logBefore) {
        QFile file(log);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    frmMain window;
    fillExport(window, home.dumps());
    auto* viewLog = control<QPushButton>(window, "cmd_view_explog");
    viewLog->setEnabled(false);

    // Once the utility has started, the operator closes its console.
    QTimer closer;
    closer.callOnTimeout(this, [&home, &closer] {
        if (openConsole() && QFile::exists(home.recordPath())) {
            openConsole()->close();
            closer.stop();
        }
    });
    closer.start(10);
    MessageRecorder recorder;
    exportRun(window);

    QVERIFY(!closer.isActive());
    QCOMPARE(openConsole(), nullptr);
    QCOMPARE(recorder.boxes.size(), 0);
    QCOMPARE(viewLog->isEnabled(), logOffered);
}

void TestConsole::nextRunReusesTheConsole() {
    OracleHome home;
    frmMain window;
    fillExport(window, home.dumps());
    fillImport(window, home.dumps());
    QFile(home.dumps() + u"/x.dump"_s).open(QIODevice::WriteOnly);
    MessageRecorder recorder;
    qputenv("TARNHOLD_EXIT_STATUS", "1");
    exportRun(window);
    QPointer<UtilityConsole> first = openConsole();
    QVERIFY(first);

    qputenv("TARNHOLD_EXIT_STATUS", "2");
    exportRun(window);
    QCOMPARE(openConsole(), first.data());
    QCOMPARE(consoleText(), u"[exp has ended with exit status 2]"_s);

    // The import has a console of its own.
    control<QPushButton>(window, "cmd_import")->click();
    int consoles = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        consoles += widget->objectName() == u"UtilityConsole"_s && widget->isVisible();
    QCOMPARE(consoles, 2);
    QVERIFY(first->isVisible());
    QCOMPARE(recorder.boxes.size(), 0);
}

void TestConsole::waitForProcess_data() {
    QTest::addColumn<int>("sleepMs");
    QTest::addColumn<int>("limitMs");
    QTest::addColumn<bool>("runningAfter");
    QTest::newRow("time limit") << 600000 << 50 << true;
    QTest::newRow("until it ends") << 50 << -1 << false;
    QTest::newRow("no such process any more") << 0 << -1 << false;
}

void TestConsole::waitForProcess() {
    QFETCH(int, sleepMs);
    QFETCH(int, limitMs);
    QFETCH(bool, runningAfter);
    OracleHome home;
    qputenv("TARNHOLD_SLEEP_MS", QByteArray::number(sleepMs));
    auto started = platform::ConsoleProcess::start(QFile::encodeName(home.program(u"exp"_s)), {},
                                                   UtilityConsole::InitialSize);
    QVERIFY(started.process);
    const qint64 pid = started.process->processId();
    if (sleepMs == 0)
        started.process->finish(); // reaped: the id names no process now
    runs::WaitForProcess(pid, limitMs);
    QCOMPARE(started.process->isRunning(), runningAfter);
}

void TestConsole::gridFitsTheWindow_data() {
    QTest::addColumn<QSize>("window");
    QTest::addColumn<qreal>("points");
    QTest::newRow("the usual window") << QSize(574, 400) << 0.0;
    QTest::newRow("a fractional advance") << QSize(574, 400) << 10.5;
    QTest::newRow("a large font") << QSize(800, 300) << 17.25;
    QTest::newRow("a narrow window") << QSize(150, 200) << 9.0;
}

void TestConsole::gridFitsTheWindow() {
    QFETCH(QSize, window);
    QFETCH(qreal, points);
    FakeTerminal terminal;
    auto* console = new UtilityConsole;
    auto* view = control<ConsoleView>(*console, "txt_console");
    if (points > 0) {
        QFont font = view->font();
        font.setPointSizeF(points);
        view->setFont(font);
    }
    console->attach(&terminal, u"exp"_s, u"exp"_s);
    console->resize(window);
    QTRY_COMPARE(terminal.size.columns, view->terminalSize().columns);
    const int columns = terminal.size.columns;
    // A row of the full width, then one a character wider.
    Q_EMIT terminal.output(QByteArray(columns, 'M') + "\r\n" + QByteArray(columns + 1, 'W'));
    QTRY_COMPARE(view->blockCount(), 3);
    QCOMPARE(view->toPlainText(),
             QString(columns, u'M') + u'\n' + QString(columns, u'W') + u"\nW"_s);
    // The rows as drawn fill the text area, and one more character would not fit.
    const qreal room = view->viewport()->width() - 2 * view->document()->documentMargin();
    const qreal advance = QFontMetricsF(view->font()).horizontalAdvance(u'M');
    for (QTextBlock block = view->document()->begin(); block.isValid(); block = block.next()) {
        QCOMPARE(block.layout()->lineCount(), 1);
        const qreal drawn = block.layout()->lineAt(0).naturalTextWidth();
        QVERIFY2(drawn <= room, qPrintable(u"%1 > %2"_s.arg(drawn).arg(room)));
        if (block.text().size() == columns)
            QVERIFY(drawn + advance > room);
    }
    QVERIFY(!view->horizontalScrollBar()->isVisible());
    QCOMPARE(terminal.size.rows, static_cast<int>((view->viewport()->height() -
                                                   2 * view->document()->documentMargin()) /
                                                  QFontMetricsF(view->font()).lineSpacing()));
    console->close();
}

void TestConsole::copyJoinsWrappedRows_data() {
    // The output is written for a terminal ten columns wide.
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<QString>("copied");
    QTest::newRow("a wrapped row")
        << QByteArray("1234567890abc\r\nnext") << u"1234567890abc\nnext"_s;
    QTest::newRow("rows the utility ended")
        << QByteArray("1234567890\r\nabc\r\n") << u"1234567890\nabc\n"_s;
    QTest::newRow("wrapped twice") << QByteArray(25, 'x') << QString(25, u'x');
    QTest::newRow("a wide character at the wrap")
        << QByteArray("123456789\xe6\x97\xa5!") << u"123456789日!"_s;
    QTest::newRow("a line feed alone after the wrap")
        << QByteArray("1234567890ab\ncd") << u"1234567890ab\n  cd"_s;
}

void TestConsole::copyJoinsWrappedRows() {
    QFETCH(QByteArray, output);
    QFETCH(QString, copied);
    FakeTerminal terminal;
    auto* console = new UtilityConsole;
    auto* view = control<ConsoleView>(*console, "txt_console");
    console->attach(&terminal, u"exp"_s, u"exp"_s);
    console->resize(view->sizeForTerminal({5, 10}));
    QTRY_COMPARE(terminal.size.columns, 10);
    Q_EMIT terminal.output(output);
    QTRY_VERIFY(view->toPlainText().endsWith(copied.right(2)));
    view->selectAll();
    QApplication::clipboard()->clear();
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), copied);
    console->close();
}

void TestConsole::followsOrStays_data() {
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("reading");
    QTest::addColumn<QString>("topAfter"); // empty: at the end
    const int kept = ConsoleView::KeptLines;
    QTest::newRow("at the end, follows") << 300 << u"end"_s << QString();
    QTest::newRow("reading back, stays") << 300 << u"line 100"_s << u"line 100"_s;
    QTest::newRow("past the kept lines, at the end, follows")
        << kept + 500 << u"end"_s << QString();
    QTest::newRow("past the kept lines, reading back, stays")
        << kept + 500 << u"line 5000"_s << u"line 5000"_s;
    QTest::newRow("past the kept lines, reading what is dropped")
        << kept + 500 << u"top"_s << u"line 520"_s;
}

void TestConsole::followsOrStays() {
    QFETCH(int, lines);
    QFETCH(QString, reading);
    QFETCH(QString, topAfter);
    FakeTerminal terminal;
    auto* console = new UtilityConsole;
    auto* view = control<ConsoleView>(*console, "txt_console");
    console->attach(&terminal, u"exp"_s, u"exp"_s);
    Q_EMIT terminal.output(numberedLines(0, lines));
    const int blocks = std::min(lines, ConsoleView::KeptLines) + 1;
    QTRY_COMPARE(view->blockCount(), blocks);
    QScrollBar* bar = view->verticalScrollBar();
    if (reading == u"top"_s)
        bar->setValue(0);
    else if (reading != u"end"_s)
        bar->setValue(reading.sliced(5).toInt() - std::max(lines - ConsoleView::KeptLines, 0));
    const QString top = topRow(view);
    QVERIFY(reading == u"end"_s || reading == u"top"_s || top == reading);

    // A trickle: each line changes the document by about a line, not by a screenful.
    qsizetype changed = 0;
    connect(view->document(), &QTextDocument::contentsChange, view,
            [&changed](int, int removed, int added) { changed += removed + added; });
    for (int line = lines; line < lines + 20; ++line) {
        changed = 0;
        Q_EMIT terminal.output(numberedLines(line, line + 1));
        QTRY_VERIFY(view->toPlainText().endsWith(u"line %1\n"_s.arg(line)));
        QVERIFY2(changed < 40, qPrintable(QString::number(changed)));
    }
    QCOMPARE(view->blockCount(), std::min(lines + 20, ConsoleView::KeptLines) + 1);
    if (topAfter.isEmpty()) {
        QCOMPARE(bar->value(), bar->maximum());
        QVERIFY(bar->maximum() > 0);
    } else {
        QCOMPARE(topRow(view), topAfter);
    }
    console->close();
}

void TestConsole::endLineStandsApart_data() {
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<QString>("shown");
    const QString end = u"[exp has ended with exit status 4]"_s;
    QTest::newRow("after an ended line") << QByteArray("done\r\n") << u"done\n"_s + end;
    QTest::newRow("after a prompt") << QByteArray("Password: ") << u"Password: \n"_s + end;
    QTest::newRow("after a lone escape") << QByteArray("out\x1b") << u"out\n"_s + end;
    QTest::newRow("after an unfinished control sequence")
        << QByteArray("out\x1b[1;3") << u"out\n"_s + end;
    QTest::newRow("after a title that never ends")
        << QByteArray("out\x1b]0;") + QByteArray(1 << 20, 't') << u"out\n"_s + end;
    QTest::newRow("after an escape inside a title")
        << QByteArray("out\x1b]0;title\x1b") << u"out\n"_s + end;
    QTest::newRow("after a half-written character")
        << QByteArray("caf\xc3") << u"caf\uFFFD\n"_s + end;
    QTest::newRow("after a carriage return") << QByteArray("10%\r") << u"10%\n"_s + end;
    QTest::newRow("nothing written") << QByteArray() << end;
}

void TestConsole::endLineStandsApart() {
    QFETCH(QByteArray, output);
    QFETCH(QString, shown);
    FakeTerminal terminal;
    auto* console = new UtilityConsole;
    console->attach(&terminal, u"exp"_s, u"exp"_s);
    Q_EMIT terminal.output(output);
    console->showEnd({false, 4});
    QCOMPARE(control<ConsoleView>(*console, "txt_console")->toPlainText(), shown);
    console->close();
}

void TestConsole::showsTheLastWords_data() {
    QTest::addColumn<int>("lines");
    QTest::newRow("a few bytes") << 0;
    QTest::newRow("more than one read holds") << 20000;
}

void TestConsole::showsTheLastWords() {
    QFETCH(int, lines);
    OracleHome home;
    home.install(u"exp"_s, QStringLiteral(CONSOLE_UTILITY));
    qputenv("TARNHOLD_FILL_LINES", QByteArray::number(lines));
    frmMain window;
    fillExport(window, home.dumps());
    MessageRecorder recorder;
    exportRun(window);
    QVERIFY(consoleText().endsWith(u"last words\n[exp has ended with exit status 0]"_s));
}

void TestConsole::speaksTheUtilitysCharacterSet_data() {
    QTest::addColumn<QByteArray>("nlsLang");
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QByteArray>("typed");
    const auto row = [](const char* name, const QByteArray& nlsLang, const QByteArray& output,
                        const QString& shown, const QString& key, const QByteArray& typed) {
        QTest::newRow(name) << nlsLang << output << shown << key << typed;
    };
    row("ISO-8859-1", "AMERICAN_AMERICA.WE8ISO8859P1",
        "M\xfcller \xc6r\xf8sk\xf8"
        "bing",
        u"Müller Ærøskøbing"_s, u"ü"_s, "\xfc");
    row("windows-1252", "AMERICAN_AMERICA.we8mswin1252", "\x80 caf\xe9", u"€ café"_s, u"€"_s,
        "\x80");
    row("Shift_JIS", "JAPANESE_JAPAN.JA16SJIS", "\x93\x8c\x8b\x9e!", u"東京!"_s, u"日"_s,
        "\x93\xfa");
    row("GBK", "SIMPLIFIED CHINESE_CHINA.ZHS16GBK", "\xb6\xab\xbe\xa9!", u"东京!"_s, u"中"_s,
        "\xd6\xd0");
    row("UTF-8", "AMERICAN_AMERICA.AL32UTF8", "\xc5\x81\xc3\xb3\x64\xc5\xba \xe6\x9d\xb1",
        u"Łódź 東"_s, u"é"_s, "\xc3\xa9");
    // The locale's encoding, UTF-8 here, when the name says nothing the console knows.
    row("an unknown name", "AMERICAN_AMERICA.XX8UNKNOWN", "M\xc3\xbcller", u"Müller"_s, u"é"_s,
        "\xc3\xa9");
    row("no character set", "AMERICAN_AMERICA", "M\xc3\xbcller", u"Müller"_s, u"é"_s, "\xc3\xa9");
}

void TestConsole::speaksTheUtilitysCharacterSet() {
    QFETCH(QByteArray, nlsLang);
    QFETCH(QByteArray, output);
    QFETCH(QString, shown);
    QFETCH(QString, key);
    QFETCH(QByteArray, typed);
    qputenv("NLS_LANG", nlsLang);
    FakeTerminal terminal;
    auto* console = new UtilityConsole;
    auto* view = control<ConsoleView>(*console, "txt_console");
    // The output in two reads, split at every byte.
    for (qsizetype split = 0; split <= output.size(); ++split) {
        console->attach(&terminal, u"exp"_s, u"exp"_s);
        Q_EMIT terminal.output(output.first(split));
        Q_EMIT terminal.output(output.sliced(split));
        console->showEnd({});
        QVERIFY2(view->toPlainText().startsWith(shown + u'\n'),
                 qPrintable(u"split at %1: %2"_s.arg(split).arg(view->toPlainText())));
    }
    console->attach(&terminal, u"exp"_s, u"exp"_s);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, key);
    QApplication::sendEvent(view, &press);
    QCOMPARE(terminal.typed, typed);
    console->close();
}

QTEST_MAIN(TestConsole)
#include "tst_console.moc"
