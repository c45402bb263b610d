// SPDX-License-Identifier: GPL-3.0-or-later
// The console fed by a terminal that the test writes: the grid its text area draws, copy, and
// where the view stands as output comes.
#include "runs/console/ConsoleView.h"
#include "runs/console/UtilityConsole.h"
#include "support/ConsoleGrid.h"
#include "support/EnvironmentGuard.h"
#include "support/FakeTerminal.h"
#include "support/WindowTest.h"

#include <QClipboard>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

using namespace Qt::Literals::StringLiterals;
using namespace runs::console;

namespace {

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

// One thing that happens to the console while a utility runs.
struct Step {
    enum Kind {
        Write,    // the utility writes bytes; the row being written then reads shows
        FullRows, // the utility draws number rows as wide as the terminal over each other with CR
        Columns,  // the operator makes the window number columns wide
        Height,   // the operator makes the window number eighths of a row taller than whole rows
        Zoom,     // the operator zooms the font number steps
    };
    Kind kind = Write;
    QByteArray bytes; // FullRows: the character a row is drawn with
    int number = 0;
    QString shows;
};

Step write(const QByteArray& bytes, const QString& shows) {
    return {Step::Write, bytes, 0, shows};
}

Step operatorDoes(Step::Kind kind, int number, const QByteArray& bytes = {}) {
    return {kind, bytes, number, {}};
}

QSize cells(platform::ConsoleProcess::Size size) {
    return {size.columns, size.rows};
}

} // namespace

Q_DECLARE_METATYPE(QList<Step>)

class TestConsoleView : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { qunsetenv("NLS_LANG"); }
    void cleanup();
    void gridFitsTheWindow_data();
    void gridFitsTheWindow();
    void keepsTheGrid_data();
    void keepsTheGrid();
    void copyJoinsWrappedRows_data();
    void copyJoinsWrappedRows();
    void followsOrStays_data();
    void followsOrStays();
    void keepsTheReadingPlace_data();
    void keepsTheReadingPlace();

private:
    EnvironmentGuard m_environment{{u"NLS_LANG"_s}};
};

void TestConsoleView::cleanup() {
    closeConsoles();
    QTRY_VERIFY(noWindowLeft());
}

void TestConsoleView::gridFitsTheWindow_data() {
    QTest::addColumn<QSize>("window");
    QTest::addColumn<qreal>("points");
    QTest::newRow("the usual window") << QSize(574, 400) << 0.0;
    QTest::newRow("a fractional advance") << QSize(574, 400) << 10.5;
    QTest::newRow("a large font") << QSize(800, 300) << 17.25;
    QTest::newRow("a narrow window") << QSize(150, 200) << 9.0;
}

void TestConsoleView::gridFitsTheWindow() {
    QFETCH(QSize, window);
    QFETCH(qreal, points);
    FakeTerminal terminal;
    auto* console = new UtilityConsole;
    auto* view = control<ConsoleView>(*console, "txt_console");
    console->attach(&terminal, u"exp"_s, u"exp"_s);
    console->resize(window);
    // A font chosen while the utility runs changes the terminal's size too.
    if (points > 0) {
        QFont font = view->font();
        font.setPointSizeF(points);
        view->setFont(font);
    }
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
    // The rows told are the rows a full screen shows.
    Q_EMIT terminal.output(numberedLines(0, terminal.size.rows + 2));
    QTRY_COMPARE(rowsShown(view), terminal.size.rows);
    console->close();
}

void TestConsoleView::keepsTheGrid_data() {
    // The terminal starts 80 columns wide and 24 rows high.
    QTest::addColumn<QList<Step>>("steps");
    const QByteArray wide = "\xe6\x9d\xb1"; // 東, from a fallback font
    const QByteArray mark = "\xcc\x81";     // a combining acute accent
    const QString x79 = QString(79, u'x');
    QTest::newRow("full-width rows rewritten with CR")
        << QList<Step>{operatorDoes(Step::FullRows, 30, "#"),
                       operatorDoes(Step::FullRows, 30, "\xe2\x96\x88"), // a full block
                       operatorDoes(Step::FullRows, 10, wide), write("\r\n", {})};
    QTest::newRow("the cursor left after the last column")
        << QList<Step>{write(QByteArray(80, 'x'), QString(80, u'x')),
                       write("\r\n" + QByteArray(160, 'y'), QString(80, u'y'))};
    QTest::newRow("wide characters in the last column")
        << QList<Step>{write(QByteArray(79, 'x') + wide, u"東"_s),
                       write("\r\n" + QByteArray(78, 'y') + wide, QString(78, u'y') + u"東"_s),
                       write("\r\n" + wide.repeated(41), u"東"_s),
                       // A row of a fallback font alone, whose lines are not as tall.
                       write("\r\n\xef\xbd\xb1\xef\xbd\xb2\r\n", {})};
    QTest::newRow("a row ending in a combining mark")
        << QList<Step>{write(QByteArray(79, 'x') + "e" + mark, x79 + u"e\u0301"_s),
                       write("\r\n" + QByteArray(78, 'x') + wide + mark + "\r\n", {})};
    QTest::newRow("tab to the last column")
        << QList<Step>{write(QByteArray(12, '\t') + "z", QString(79, u' ') + u"z"_s),
                       write("\r\nab" + QByteArray(12, '\t') + "yz", u"z"_s)};
    QTest::newRow("window heights that are not whole rows")
        << QList<Step>{operatorDoes(Step::Height, 1), operatorDoes(Step::Height, 4),
                       operatorDoes(Step::Height, 7), operatorDoes(Step::Height, 0)};
    QTest::newRow("narrow, wide, narrow") << QList<Step>{
        write(QByteArray(200, 'a') + "\r\n" + QByteArray(90, 'b'), QString(10, u'b')),
        operatorDoes(Step::Columns, 60),
        operatorDoes(Step::FullRows, 5, "#"),
        operatorDoes(Step::Columns, 100),
        operatorDoes(Step::FullRows, 5, "="),
        operatorDoes(Step::Columns, 60),
        operatorDoes(Step::FullRows, 5, "-"),
        write("\r\n" + wide.repeated(40), u"東"_s.repeated(10))};
    QTest::newRow("a font zoom during output")
        << QList<Step>{write(QByteArray(200, 'a') + "\r\n", {}), operatorDoes(Step::Zoom, 3),
                       operatorDoes(Step::FullRows, 5, "#"), operatorDoes(Step::Zoom, -5),
                       operatorDoes(Step::FullRows, 5, wide)};
}

void TestConsoleView::keepsTheGrid() {
    QFETCH(QList<Step>, steps);
    FakeTerminal terminal;
    auto* console = new UtilityConsole;
    auto* view = control<ConsoleView>(*console, "txt_console");
    console->attach(&terminal, u"exp"_s, u"exp"_s);
    console->resize(view->sizeForTerminal({24, 80}));
    QTRY_COMPARE(cells(terminal.size), QSize(80, 24));
    QSize area = view->viewport()->size();
    const auto rowHeight = [view] {
        return view->cursorRect(QTextCursor(view->document())).height();
    };
    for (const Step& step : steps) {
        const QSize told = cells(terminal.size);
        switch (step.kind) {
        case Step::Write:
            Q_EMIT terminal.output(step.bytes);
            QTRY_COMPARE(view->document()->lastBlock().text(), step.shows);
            break;
        case Step::FullRows:
            for (int drawn = 0; drawn < step.number; ++drawn) {
                // Each row different, so that the console is seen to show it.
                const QString unit = QString::fromUtf8(step.bytes);
                const int unitCells = cellWidth(unit.toUcs4().front());
                const QString row = unit.repeated((told.width() - 3) / unitCells) +
                                    QString((told.width() - 3) % unitCells, u'-') +
                                    QString::number(drawn % 10).repeated(3);
                Q_EMIT terminal.output("\r" + row.toUtf8());
                QTRY_COMPARE(view->document()->lastBlock().text(), row);
            }
            break;
        case Step::Columns:
            console->resize(view->sizeForTerminal({told.height(), step.number}).width(),
                            console->height());
            break;
        case Step::Height:
            console->resize(console->width(), view->sizeForTerminal({20, told.width()}).height() +
                                                  step.number * rowHeight() / 8);
            break;
        case Step::Zoom:
            view->zoomIn(step.number);
            break;
        }
        if (step.kind == Step::Write || step.kind == Step::FullRows) {
            // Nothing the utility writes changes the text area or the terminal's size.
            QCOMPARE(view->viewport()->size(), area);
            QCOMPARE(cells(terminal.size), told);
        } else {
            QTRY_COMPARE(cells(terminal.size), cells(view->terminalSize()));
            area = view->viewport()->size();
            // The rows told are the rows a full screen shows.
            const int lines = terminal.size.rows + 2;
            Q_EMIT terminal.output(numberedLines(0, lines));
            QTRY_COMPARE(view->document()->lastBlock().previous().text(),
                         u"line %1"_s.arg(lines - 1));
            QCOMPARE(rowsShown(view), terminal.size.rows);
        }
        if (step.kind == Step::Columns)
            QCOMPARE(terminal.size.columns, step.number);
        QVERIFY(!view->horizontalScrollBar()->isVisible());
        QCOMPARE(view->horizontalScrollBar()->maximum(), 0);
        const QString fault = gridFault(view);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    }
    console->close();
}

void TestConsoleView::copyJoinsWrappedRows_data() {
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

void TestConsoleView::copyJoinsWrappedRows() {
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

void TestConsoleView::followsOrStays_data() {
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

void TestConsoleView::followsOrStays() {
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

void TestConsoleView::keepsTheReadingPlace_data() {
    // Lines of 68 characters, written 80 columns wide and 24 rows high, read from line 100 or
    // followed; then the window takes another size.
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("following");
    QTest::newRow("narrower, reading back") << 40 << 24 << false;
    QTest::newRow("narrower than a line is long, many times") << 12 << 24 << false;
    QTest::newRow("wider, reading back") << 120 << 24 << false;
    QTest::newRow("narrower, following") << 40 << 24 << true;
    QTest::newRow("lower, following") << 80 << 10 << true;
    QTest::newRow("narrower and lower, following") << 40 << 10 << true;
    QTest::newRow("higher, following") << 80 << 40 << true;
}

void TestConsoleView::keepsTheReadingPlace() {
    QFETCH(int, columns);
    QFETCH(int, rows);
    QFETCH(bool, following);
    FakeTerminal terminal;
    auto* console = new UtilityConsole;
    auto* view = control<ConsoleView>(*console, "txt_console");
    console->attach(&terminal, u"exp"_s, u"exp"_s);
    console->resize(view->sizeForTerminal({24, 80}));
    QByteArray lines;
    for (int line = 0; line < 300; ++line)
        lines += QByteArray("line ") + QByteArray::number(line).leftJustified(63, '.') + "\r\n";
    Q_EMIT terminal.output(lines);
    QTRY_COMPARE(view->blockCount(), 301);
    QScrollBar* bar = view->verticalScrollBar();
    if (!following)
        bar->setValue(100);
    console->resize(view->sizeForTerminal({rows, columns}));
    QTRY_COMPARE(terminal.size.columns, columns);
    QTRY_COMPARE(terminal.size.rows, rows);
    QCOMPARE(gridFault(view), QString());
    if (following) {
        QCOMPARE(bar->value(), bar->maximum());
        // and goes on following what comes next.
        Q_EMIT terminal.output("the next line\r\n");
        QTRY_COMPARE(view->document()->lastBlock().previous().text(), u"the next line"_s);
        QCOMPARE(bar->value(), bar->maximum());
    } else {
        QCOMPARE(topRow(view), u"line 100%1"_s.arg(QString(60, u'.')).left(columns));
    }
    console->close();
}

QTEST_MAIN(TestConsoleView)
#include "tst_consoleview.moc"
