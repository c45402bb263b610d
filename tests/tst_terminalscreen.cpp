// SPDX-License-Identifier: GPL-3.0-or-later
// The console's model of a terminal, without a window: what a screen shows of a utility's
// output, the class of the lines it ends, and the bytes a terminal sends for a key.
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

// The kept rows that the screen wrapped rather than the program ending them.
QList<int> wrappedRows(const TerminalScreen& screen) {
    QList<int> rows;
    for (qint64 line = screen.firstKept(); line < screen.endedCount(); ++line) {
        if (screen.isWrapped(line))
            rows.append(static_cast<int>(line));
    }
    return rows;
}

// The class of each kept row's line, a letter a row: '.' plain, 'E' error, 'W' warning, and the
// closing lines 'S' (succeeded), 'w' (with warnings), 'F' (failed).
QString rowClasses(const TerminalScreen& screen) {
    using runs::lines::LineKind;
    using runs::lines::Outcome;
    QString letters;
    for (qint64 line = screen.firstKept(); line < screen.endedCount(); ++line) {
        const runs::lines::LineClass row = screen.lineClass(line);
        switch (row.kind) {
        case LineKind::Plain:
            letters += u'.';
            break;
        case LineKind::Error:
            letters += u'E';
            break;
        case LineKind::Warning:
            letters += u'W';
            break;
        case LineKind::Closing:
            letters += row.outcome == Outcome::Succeeded               ? u'S'
                       : row.outcome == Outcome::SucceededWithWarnings ? u'w'
                                                                       : u'F';
            break;
        }
    }
    return letters;
}

} // namespace

class TestTerminalScreen : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void showsTheTerminal_data();
    void showsTheTerminal();
    void keysBecomeTerminalBytes_data();
    void keysBecomeTerminalBytes();
    void rowsInCells_data();
    void rowsInCells();
    void rewrapsAtANewWidth_data();
    void rewrapsAtANewWidth();
    void keepsTheLastRows_data();
    void keepsTheLastRows();
    void classifiesLinesAsTheyEnd_data();
    void classifiesLinesAsTheyEnd();
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
    // Long enough that plain text is looked at sixteen characters at a time.
    row("long runs with other characters among them",
        {"0123456789abcdefghij\x07klmnopqrstuvwxyzABC\xc3\xa9"
         "DEFGHIJKLMNOPQRS\xe6\x9d\xb1TUVWXYZ0123456789\x1b[Kabcdefghijklmnop\r\n"},
        u"0123456789abcdefghijklmnopqrstuvwxyzABCéDEFGHIJKLMNOPQRS東TUVWXYZ0123456789abcde\n"
        u"fghijklmnop\n"_s);
    row("an unreadable character shows as one, ending a sequence",
        {"a\x1a"
         "b\x1b[3\x1a"
         "c\r\n"},
        u"a\ufffdb\ufffdc\n"_s);
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
    QStringEncoder utf8(QStringConverter::Utf8);
    QCOMPARE(terminalBytes(key.key(), key.keyboardModifiers(), text, utf8), bytes);
}

void TestTerminalScreen::rowsInCells_data() {
    QTest::addColumn<QStringList>("output");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QList<int>>("wrapped");
    const auto row = [](const char* name, const QStringList& output, const QStringList& rows,
                        const QList<int>& wrapped) {
        QTest::newRow(name) << output << rows << wrapped;
    };
    // Ten columns throughout.
    const QString smile = u"\U0001F600"_s;
    row("the width exactly, then a line feed", {u"1234567890\r\nab"_s}, {u"1234567890"_s, u"ab"_s},
        {});
    row("one more than the width", {u"1234567890a"_s}, {u"1234567890"_s, u"a"_s}, {0});
    row("a wide character in the last column", {u"123456789日x"_s}, {u"123456789"_s, u"日x"_s},
        {0});
    row("a wide character filling the row", {u"12345678日x"_s}, {u"12345678日"_s, u"x"_s}, {0});
    row("wide characters count two", {u"日本語日本語x"_s}, {u"日本語日本"_s, u"語x"_s}, {0});
    row("a combining mark stays with its letter at the wrap", {u"123456789e\u0301x"_s},
        {u"123456789e\u0301"_s, u"x"_s}, {0});
    row("a zero-width character takes no cell", {u"12345\u200b67890x"_s},
        {u"12345\u200b67890"_s, u"x"_s}, {0});
    row("characters beyond 16 bits are never cut", {u"x"_s + smile.repeated(5)},
        {u"x"_s + smile.repeated(4), smile}, {0});
    row("a pair split between pieces",
        {u"a"_s + smile.first(1), smile.sliced(1) + u"b"_s, u"\r\n"_s},
        {u"a"_s + smile + u"b"_s, QString()}, {});
    row("a half pair", {u"a"_s + smile.first(1) + u"b"_s}, {u"a\uFFFDb"_s}, {});
    row("tab after a wide character", {u"日\tx"_s}, {u"日      x"_s}, {});
    row("backspace onto a wide character's left half", {u"日本\b\bx"_s}, {u"日x "_s}, {});
    row("backspace onto a wide character's right half", {u"日\bx"_s}, {u" x"_s}, {});
    row("erase from a wide character's right half", {u"日本語\b\b\b\x1b[K"_s}, {u"日 "_s}, {});
    row("erase through a wide character's left half", {u"日本語\b\b\b\b\x1b[1K"_s}, {u"    語"_s},
        {});
    row("a wide character over a wide character's half", {u"日本\r \u6771"_s}, {u" 東 "_s}, {});
    row("a letter rewritten loses its marks", {u"e\u0301x\rY"_s}, {u"Yx"_s}, {});
    row("a row erased whole keeps its cells", {u"日本\x1b[2K"_s}, {u"    "_s}, {});
    row("line feeds after a wrap keep their rows", {u"1234567890abc\n\r\n"_s},
        {u"1234567890"_s, u"abc"_s, QString(), QString()}, {0});
}

void TestTerminalScreen::rowsInCells() {
    QFETCH(QStringList, output);
    QFETCH(QStringList, rows);
    QFETCH(QList<int>, wrapped);
    TerminalScreen screen(10);
    for (const QString& piece : output)
        screen.feed(piece);
    QCOMPARE(shownText(screen).split(u'\n'), rows);
    QCOMPARE(wrappedRows(screen), wrapped);
}

void TestTerminalScreen::rewrapsAtANewWidth_data() {
    // Written ten columns wide; then the terminal is made columns wide, and more is written.
    QTest::addColumn<QString>("output");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QString>("then");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QList<int>>("wrapped");
    const auto row = [](const char* name, const QString& output, int columns, const QString& then,
                        const QStringList& rows, const QList<int>& wrapped) {
        QTest::newRow(name) << output << columns << then << rows << wrapped;
    };
    row("wrapped rows join when wider", u"1234567890abc\r\n"_s, 20, {},
        {u"1234567890abc"_s, QString()}, {});
    row("a line splits when narrower", u"1234567890\r\n"_s, 4, {},
        {u"1234"_s, u"5678"_s, u"90"_s, QString()}, {0, 1});
    row("lines the utility ended stay apart", u"abc\r\ndef\r\n"_s, 2, {},
        {u"ab"_s, u"c"_s, u"de"_s, u"f"_s, QString()}, {0, 2});
    row("a wide character does not straddle the edge", u"12日34\r\n"_s, 3, {},
        {u"12"_s, u"日3"_s, u"4"_s, QString()}, {0, 1});
    row("a mark stays with its letter", u"abe\u0301cd"_s, 3, {}, {u"abe\u0301"_s, u"cd"_s}, {0});
    row("the cursor keeps its cell in the line", u"1234567890abc"_s, 5, u"X"_s,
        {u"12345"_s, u"67890"_s, u"abcX"_s}, {0, 1});
    row("a full row, the cursor after it", u"1234567890"_s, 20, u"X"_s, {u"1234567890X"_s}, {});
    // The carriage return went back to the start of the row "ab", not of the line.
    row("after a carriage return, wider", u"1234567890ab\r"_s, 20, u"X"_s, {u"1234567890Xb"_s}, {});
    row("after a carriage return, narrower: the last row's start", u"12345678\r"_s, 4, u"X"_s,
        {u"1234"_s, u"X678"_s}, {0});
    row("the cursor past the text stays in the row", u"ab\t"_s, 5, u"X"_s, {u"ab"_s, u"X"_s}, {0});
}

void TestTerminalScreen::rewrapsAtANewWidth() {
    QFETCH(QString, output);
    QFETCH(int, columns);
    QFETCH(QString, then);
    QFETCH(QStringList, rows);
    QFETCH(QList<int>, wrapped);
    TerminalScreen screen(10);
    screen.feed(output);
    const quint64 rewraps = screen.rewrapCount();
    screen.setColumns(columns);
    QCOMPARE(screen.rewrapCount(), rewraps + 1);
    screen.feed(then);
    QCOMPARE(shownText(screen).split(u'\n'), rows);
    QCOMPARE(wrappedRows(screen), wrapped);
}

void TestTerminalScreen::keepsTheLastRows_data() {
    // Ten columns; columns 0: the width stays.
    QTest::addColumn<int>("kept");
    QTest::addColumn<QString>("output");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<int>("firstKept");
    QTest::newRow("fewer than kept")
        << 3 << u"a\r\nb\r\n"_s << 0 << QStringList{u"a"_s, u"b"_s, QString()} << 0;
    QTest::newRow("the oldest go") << 3 << u"a\r\nb\r\nc\r\nd\r\ne\r\n"_s << 0
                                   << QStringList{u"c"_s, u"d"_s, u"e"_s, QString()} << 2;
    // Each new row is written in the storage of one that went: none may show through.
    QTest::newRow("many times over, longer rows first")
        << 2 << u"aaaaaaa\r\nbbbbbb\r\nccccc\r\ndddd\r\neee\r\nff\r\ng\r\nh"_s << 0
        << QStringList{u"ff"_s, u"g"_s, u"h"_s} << 5;
    QTest::newRow("wrapped anew into more rows than kept")
        << 3 << u"abcdef\r\ngh\r\n"_s << 2 << QStringList{u"cd"_s, u"ef"_s, u"gh"_s, QString()}
        << 1;
}

void TestTerminalScreen::keepsTheLastRows() {
    QFETCH(int, kept);
    QFETCH(QString, output);
    QFETCH(int, columns);
    QFETCH(QStringList, rows);
    QFETCH(int, firstKept);
    TerminalScreen screen(10, kept);
    screen.feed(output);
    if (columns > 0)
        screen.setColumns(columns);
    QCOMPARE(shownText(screen).split(u'\n'), rows);
    QCOMPARE(screen.firstKept(), firstKept);
    QCOMPARE(screen.endedCount(), firstKept + rows.size() - 1);
}

void TestTerminalScreen::classifiesLinesAsTheyEnd_data() {
    // Written 20 columns wide; then the program has done (finished), or the terminal is made
    // columns wide.
    QTest::addColumn<QString>("output");
    QTest::addColumn<bool>("finished");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QString>("classes"); // of the kept rows, see rowClasses
    QTest::addColumn<QString>("tally");   // what the end line adds
    const auto row = [](const char* name, const QString& output, bool finished, int columns,
                        const QString& classes, const QString& tally) {
        QTest::newRow(name) << output << finished << columns << classes << tally;
    };
    row("codes, a warning and plain lines", u"EXP-00011: x\r\nWARNING: y\r\nok\r\n"_s, false, 0,
        u"EW."_s, u"2 problems"_s);
    row("the closing line, every row of it",
        u"EXP-00011: x\r\nExport terminated successfully with warnings.\r\n"_s, false, 0, u"Ewww"_s,
        u"terminated successfully with warnings, 1 problem"_s);
    row("a failure closes with a code", u"EXP-00000: Export terminated unsuccessfully\r\n"_s, false,
        0, u"FFF"_s, u"terminated unsuccessfully"_s);
    row("a line still being written is none yet", u"ok\r\nIMP-00015: x"_s, false, 0, u"."_s, {});
    row("the program's last line ends with it",
        u"Import terminated successfully without warnings."_s, true, 0, u"SSS"_s,
        u"terminated successfully without warnings"_s);
    row("every row of a wrapped problem line", u"ORA-01017: invalid username\r\nok\r\n"_s, false, 0,
        u"EE."_s, u"1 problem"_s);
    row("blanks wrapped before the code", QString(22, u' ') + u"EXP-00011: x\r\n"_s, false, 0,
        u"EE"_s, u"1 problem"_s);
    row("a row rewritten with CR is what it ends as", u"EXP-00011: x\rplain text  \r\n"_s, false, 0,
        u"."_s, {});
    row("progress rewritten by a problem", u"10%\r50%\rIMP-00015: exists\r\n"_s, false, 0, u"E"_s,
        u"1 problem"_s);
    row("wider, a line keeps its class", u"ORA-01017: invalid name\r\nok\r\n"_s, false, 30, u"E."_s,
        u"1 problem"_s);
    row("narrower, a line keeps its class", u"WARNING: x\r\nok\r\n"_s, false, 4, u"WWW."_s,
        u"1 problem"_s);
}

void TestTerminalScreen::classifiesLinesAsTheyEnd() {
    QFETCH(QString, output);
    QFETCH(bool, finished);
    QFETCH(int, columns);
    QFETCH(QString, classes);
    QFETCH(QString, tally);
    TerminalScreen screen(20);
    screen.feed(output);
    if (finished)
        screen.finishLine();
    if (columns > 0)
        screen.setColumns(columns);
    QCOMPARE(rowClasses(screen), classes);
    QCOMPARE(QString::fromStdString(runs::lines::endLineTail(screen.tally())), tally);
}

QTEST_GUILESS_MAIN(TestTerminalScreen)
#include "tst_terminalscreen.moc"
