// SPDX-License-Identifier: GPL-3.0-or-later
// The console's model of a terminal, without a window: what a screen shows of a utility's
// output, and the bytes a terminal sends for a key.
#include "runs/console/TerminalKeys.h"
#include "runs/console/TerminalScreen.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace runs::console;

namespace {

// The screen as the console shows it: its kept lines, then the line being written.
QString shownText(const TerminalScreen& screen) {
    QStringList lines = screen.endedLines(screen.firstKept(), screen.endedCount());
    lines.append(screen.currentLine());
    return lines.join(u'\n');
}

} // namespace

class TestTerminalScreen : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void showsTheTerminal_data();
    void showsTheTerminal();
    void keysBecomeTerminalBytes_data();
    void keysBecomeTerminalBytes();
};

void TestTerminalScreen::showsTheTerminal_data() {
    QTest::addColumn<QByteArrayList>("output");
    QTest::addColumn<QString>("shown");
    const auto row = [](const char* name, QByteArrayList output, const QString& shown) {
        QTest::newRow(name) << output << shown;
    };
    row("lines", {"one\r\ntwo\r\n"}, u"one\ntwo\n"_s);
    row("a line still being written", {"Password: "}, u"Password: "_s);
    row("carriage return rewrites the line", {"10%\r50%", "\r100%\r\n"}, u"100%\n"_s);
    row("a shorter rewrite keeps the rest", {"abcdef\rXY\r\n"}, u"XYcdef\n"_s);
    row("backspace steps back", {"abc\bX\r\n"}, u"abX\n"_s);
    row("erased by line editing", {"abc\b \b\b \b\r\n"}, u"a  \n"_s);
    row("tab to the next stop", {"a\tb\r\n"}, u"a       b\n"_s);
    row("line feed alone keeps the column", {"ab\ncd\r\n"}, u"ab\n  cd\n"_s);
    row("colours and titles left out", {"\x1b[1;31mred\x1b[0m \x1b]0;title\x07plain\x1b(B!\r\n"},
        u"red plain!\n"_s);
    row("escape split across reads", {"\x1b", "[3", "1mred\x1b]2;t", "\x1b\\!\r\n"}, u"red!\n"_s);
    row("erase in line", {"progress 50%\r\x1b[Kdone\r\n"}, u"done\n"_s);
    row("bell and other controls draw nothing",
        {QByteArray("a\x07"
                    "b\x00"
                    "c\x7f\r\n",
                    8)},
        u"abc\n"_s);
}

void TestTerminalScreen::showsTheTerminal() {
    QFETCH(QByteArrayList, output);
    QFETCH(QString, shown);
    TerminalScreen screen;
    for (const QByteArray& bytes : output)
        screen.feed(QString::fromUtf8(bytes));
    QCOMPARE(shownText(screen), shown);
}

void TestTerminalScreen::keysBecomeTerminalBytes_data() {
    QTest::addColumn<QKeyCombination>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    const auto row = [](const char* name, QKeyCombination key, const QString& text,
                        const QByteArray& bytes) { QTest::newRow(name) << key << text << bytes; };
    const auto ctrl = [](Qt::Key key) { return QKeyCombination(Qt::ControlModifier, key); };
    row("letter", Qt::Key_A, u"a"_s, "a");
    row("non-ASCII", Qt::Key_Eacute, u"é"_s, "\xc3\xa9");
    row("return", Qt::Key_Return, u"\r"_s, "\r");
    row("backspace", Qt::Key_Backspace, u"\b"_s, "\x7f");
    row("tab", Qt::Key_Tab, u"\t"_s, "\t");
    row("interrupt", ctrl(Qt::Key_C), QString(), "\x03");
    row("end of input", ctrl(Qt::Key_D), QString(), "\x04");
}

void TestTerminalScreen::keysBecomeTerminalBytes() {
    QFETCH(QKeyCombination, key);
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(terminalBytes(key.key(), key.keyboardModifiers(), text), bytes);
}

QTEST_GUILESS_MAIN(TestTerminalScreen)
#include "tst_terminalscreen.moc"
