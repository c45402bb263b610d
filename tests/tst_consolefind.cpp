// SPDX-License-Identifier: GPL-3.0-or-later
// Find in the console's kept rows, F8 and Shift+F8 from problem line to problem line, and the
// keys the console keeps for them while the utility runs: what the operator sees selected, and
// what the find bar tells.
#include "support/FakeConsole.h"

#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

using namespace Qt::Literals::StringLiterals;
using runs::console::ConsoleView;

namespace {

// The selection as the operator copies it; null when nothing is selected.
QString selected(ConsoleView* view) {
    if (!view->textCursor().hasSelection())
        return {};
    QApplication::clipboard()->clear();
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    return QApplication::clipboard()->text();
}

// Whether the caret stands in the text area's view.
bool caretShown(const ConsoleView* view) {
    return view->viewport()->rect().contains(view->cursorRect());
}

QByteArrayList numberedLines(int count) {
    QByteArrayList lines;
    for (int line = 0; line < count; ++line)
        lines.append("line " + QByteArray::number(line).rightJustified(3, '0'));
    return lines;
}

// What the find bar tells, as a screen reader hears it; nothing while the bar is closed or tells
// no result.
QString told(const ConsoleView* view) {
    const auto* status = control<QLabel>(*view, "lbl_find_status");
    const bool result = status->isVisible() && status->accessibleName() != u"Find result"_s;
    return result ? status->accessibleName() : QString();
}

void press(QWidget* widget, const QString& key) {
    QTest::keySequence(widget, QKeySequence::fromString(key));
}

} // namespace

class TestConsoleFind : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup();
    void findsInKeptRows_data();
    void findsInKeptRows();
    void stepsBetweenProblems_data();
    void stepsBetweenProblems();
    void keepsItsKeys_data();
    void keepsItsKeys();
};

void TestConsoleFind::cleanup() {
    closeConsoles();
    QTRY_VERIFY(noWindowLeft());
}

void TestConsoleFind::findsInKeptRows_data() {
    // A terminal of 8 rows, 20 columns; the caret at the text's start, or at its end, where it
    // follows the output.
    QTest::addColumn<QByteArrayList>("lines");
    QTest::addColumn<bool>("fromEnd");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QStringList>("results"); // told after each key
    QTest::addColumn<QString>("found");       // selected at the end
    const QByteArrayList hundred = numberedLines(100);
    const auto row = [](const char* name, const QByteArrayList& lines, bool fromEnd,
                        const QString& needle, const QStringList& keys, const QStringList& results,
                        const QString& found) {
        QTest::newRow(name) << lines << fromEnd << needle << keys << results << found;
    };
    row("found below", hundred, false, u"line 042"_s, {u"Return"_s}, {u"Found"_s}, u"line 042"_s);
    row("found again round the end", hundred, false, u"line 042"_s, {u"Return"_s, u"Return"_s},
        {u"Found"_s, u"Wrapped"_s}, u"line 042"_s);
    row("back before the start goes round", hundred, false, u"line 042"_s, {u"Shift+Return"_s},
        {u"Wrapped"_s}, u"line 042"_s);
    row("back from the end, in rows scrolled out of view", hundred, true, u"line 007"_s,
        {u"Shift+Return"_s}, {u"Found"_s}, u"line 007"_s);
    row("either case", hundred, false, u"LINE 042"_s, {u"Return"_s}, {u"Found"_s}, u"line 042"_s);
    row("not found", hundred, false, u"nowhere"_s, {u"Return"_s}, {u"Not found"_s}, QString());
    row("across the rows of a wrapped line",
        {"Connected.", "EXP-00011: SCOTT.BONUS does not exist", "Export terminated"}, false,
        u"bonus does"_s, {u"Return"_s}, {u"Found"_s}, u"BONUS does"_s);
}

void TestConsoleFind::findsInKeptRows() {
    QFETCH(QByteArrayList, lines);
    QFETCH(bool, fromEnd);
    QFETCH(QString, needle);
    QFETCH(QStringList, keys);
    QFETCH(QStringList, results);
    QFETCH(QString, found);
    FakeConsole fake({8, 20});
    QVERIFY(QTest::qWaitForWindowActive(fake.console));
    fake.writeLines(lines);
    ConsoleView* view = fake.view;
    view->moveCursor(fromEnd ? QTextCursor::End : QTextCursor::Start);
    press(view, u"Ctrl+F"_s);
    auto* field = control<QLineEdit>(*view, "txt_find");
    QTRY_VERIFY(field->hasFocus());
    field->setText(needle);
    QStringList heard;
    for (const QString& key : keys) {
        press(field, key);
        heard.append(told(view));
    }
    QCOMPARE(heard, results);
    // The operator goes on typing in the bar while searching.
    QVERIFY(field->hasFocus());
    if (!found.isNull())
        QVERIFY(caretShown(view));
    // Escape closes the bar and gives the text the keys again.
    press(field, u"Escape"_s);
    QVERIFY(!field->isVisible());
    QTRY_VERIFY(view->hasFocus());
    QCOMPARE(selected(view), found);
    QCOMPARE(fake.terminal.typed, QByteArray());
}

void TestConsoleFind::stepsBetweenProblems_data() {
    // A terminal of 8 rows, 20 columns: the problem lines take two rows each.
    QTest::addColumn<QByteArrayList>("lines");
    QTest::addColumn<bool>("fromEnd"); // the caret at the text's end, or its start
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QStringList>("lines_selected"); // the line selected after each key
    QTest::addColumn<QStringList>("results");        // told after each key
    const QByteArrayList run{
        "Connected.",          "EXP-00011: SCOTT.BONUS does not exist",
        "exported SCOTT.EMP",  "WARNING: grants not exported",
        "exported SCOTT.DEPT", "Export terminated successfully with warnings."};
    const QString bonus = u"EXP-00011: SCOTT.BONUS does not exist"_s;
    const QString grants = u"WARNING: grants not exported"_s;
    const auto row = [](const char* name, const QByteArrayList& lines, bool fromEnd,
                        const QStringList& keys, const QStringList& selected,
                        const QStringList& results) {
        QTest::newRow(name) << lines << fromEnd << keys << selected << results;
    };
    row("next, next and back", run, false, {u"F8"_s, u"F8"_s, u"Shift+F8"_s},
        {bonus, grants, bonus}, {{}, {}, {}});
    row("past the last goes round", run, false, {u"F8"_s, u"F8"_s, u"F8"_s}, {bonus, grants, bonus},
        {{}, {}, u"Wrapped"_s});
    row("before the first goes round", run, false, {u"Shift+F8"_s, u"Shift+F8"_s}, {grants, bonus},
        {u"Wrapped"_s, {}});
    // At the end, where the caret follows the output, back is the latest problem.
    row("back from the end", run, true, {u"Shift+F8"_s}, {grants}, {{}});
    row("on from the end goes round", run, true, {u"F8"_s}, {bonus}, {u"Wrapped"_s});
    row("one problem, from itself", {"Connected.", "ORA-01017: invalid username", "done"}, false,
        {u"F8"_s, u"F8"_s}, {u"ORA-01017: invalid username"_s, u"ORA-01017: invalid username"_s},
        {{}, u"Wrapped"_s});
    // A closing line is no problem, even one that says the run failed.
    row("none", {"Connected.", "EXP-00000: Export terminated unsuccessfully"}, false,
        {u"F8"_s, u"Shift+F8"_s}, {QString(), QString()}, {u"No problems"_s, u"No problems"_s});
}

void TestConsoleFind::stepsBetweenProblems() {
    QFETCH(QByteArrayList, lines);
    QFETCH(bool, fromEnd);
    QFETCH(QStringList, keys);
    QFETCH(QStringList, lines_selected);
    QFETCH(QStringList, results);
    FakeConsole fake({8, 20});
    fake.writeLines(lines);
    ConsoleView* view = fake.view;
    view->moveCursor(fromEnd ? QTextCursor::End : QTextCursor::Start);
    for (qsizetype step = 0; step < keys.size(); ++step) {
        press(view, keys[step]);
        const QString where = u"after key %1"_s.arg(step + 1);
        QCOMPARE(std::pair(where, selected(view)), std::pair(where, lines_selected[step]));
        QCOMPARE(std::pair(where, told(view)), std::pair(where, results[step]));
        if (lines_selected[step].isNull())
            continue;
        // The caret stands at the start of the line, in view.
        const QTextCursor caret = view->textCursor();
        QVERIFY(caret.atBlockStart());
        QVERIFY(lines_selected[step].startsWith(caret.block().text()));
        QVERIFY(caretShown(view));
    }
    QCOMPARE(fake.terminal.typed, QByteArray());
}

void TestConsoleFind::keepsItsKeys_data() {
    // While the utility runs: a key pressed in the text, or in the find bar after Ctrl+F.
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("inFindBar");
    QTest::addColumn<QByteArray>("typed"); // what reaches the utility
    QTest::addColumn<bool>("barOpen");     // after the key
    const auto row = [](const char* name, const QString& key, bool inFindBar,
                        const QByteArray& typed, bool barOpen) {
        QTest::newRow(name) << key << inFindBar << typed << barOpen;
    };
    row("Ctrl+F opens the find bar", u"Ctrl+F"_s, false, "", true);
    row("F8 is kept", u"F8"_s, false, "", true); // it says there are no problems
    row("Shift+F8 is kept", u"Shift+F8"_s, false, "", true);
    row("a letter goes to the utility", u"A"_s, false, "a", false);
    row("Escape goes to the utility", u"Escape"_s, false, "\x1b", false);
    row("Ctrl+G goes to the utility", u"Ctrl+G"_s, false, "\x07", false);
    row("Tab goes to the utility", u"Tab"_s, false, "\t", false);
    row("a letter in the bar stays there", u"A"_s, true, "", true);
    row("Return in the bar finds", u"Return"_s, true, "", true);
    row("Escape in the bar closes it", u"Escape"_s, true, "", false);
    row("Ctrl+G in the bar, which has no use for it", u"Ctrl+G"_s, true, "", true);
    row("Tab in the bar", u"Tab"_s, true, "", true);
    row("F8 in the bar", u"F8"_s, true, "", true);
}

void TestConsoleFind::keepsItsKeys() {
    QFETCH(QString, key);
    QFETCH(bool, inFindBar);
    QFETCH(QByteArray, typed);
    QFETCH(bool, barOpen);
    FakeConsole fake;
    QVERIFY(QTest::qWaitForWindowActive(fake.console));
    fake.writeLines({"Connected."});
    if (inFindBar)
        press(fake.view, u"Ctrl+F"_s);
    QTRY_VERIFY(QApplication::focusWidget());
    press(QApplication::focusWidget(), key);
    QCOMPARE(fake.terminal.typed, typed);
    QCOMPARE(control<QLineEdit>(*fake.view, "txt_find")->isVisible(), barOpen);
}

QTEST_MAIN(TestConsoleFind)
#include "tst_consolefind.moc"
