// SPDX-License-Identifier: GPL-3.0-or-later
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
#include "support/FakeTerminal.h"
#include "support/MessageRecorder.h"
#include "support/OracleHome.h"
#include "support/Panels.h"
#include "support/WindowTest.h"

#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>

#include <csignal>
#include <functional>
#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;
using namespace runs::console;
using namespace std::chrono_literals;

namespace {

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
    void showsTheLastWords_data();
    void showsTheLastWords();
    void lineEditingInTheCharacterSet_data();
    void lineEditingInTheCharacterSet();

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

void TestConsole::lineEditingInTheCharacterSet_data() {
    QTest::addColumn<QByteArray>("nlsLang");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("name");
    // Backspace after each: the last character is erased whole, and nothing before it.
    QTest::newRow("ISO-8859-1") << QByteArray("AMERICAN_AMERICA.WE8ISO8859P1") << u"ab°"_s
                                << u"ab"_s;
    QTest::newRow("UTF-8") << QByteArray("AMERICAN_AMERICA.AL32UTF8") << u"ab°"_s << u"ab"_s;
    QTest::newRow("windows-1252") << QByteArray("AMERICAN_AMERICA.WE8MSWIN1252") << u"aé€"_s
                                  << u"aé"_s;
}

void TestConsole::lineEditingInTheCharacterSet() {
    QFETCH(QByteArray, nlsLang);
    QFETCH(QString, typed);
    QFETCH(QString, name);
    OracleHome home;
    home.install(u"exp"_s, QStringLiteral(CONSOLE_UTILITY));
    qputenv("NLS_LANG", nlsLang);
    frmMain window;
    fillExport(window, home.dumps());
    ConsoleOperator operatorAtKeys;
    operatorAtKeys.expect(u"Name: "_s, [typed](ConsoleView* view) {
        for (const QChar c : typed) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(view, &press);
        }
        QTest::keyClick(view, Qt::Key_Backspace);
        QTest::keyClick(view, Qt::Key_Return);
    });
    operatorAtKeys.expect(u"Password: "_s, [](ConsoleView* view) { type(view, u"x"_s); });
    operatorAtKeys.start();
    MessageRecorder recorder;
    exportRun(window);
    QVERIFY(operatorAtKeys.finished());
    QVERIFY2(consoleText().contains(u"Hello %1, your password has 1 characters"_s.arg(name)),
             qPrintable(consoleText()));
}

QTEST_MAIN(TestConsole)
#include "tst_console.moc"
