// SPDX-License-Identifier: GPL-3.0-or-later
// F8 and Shift+F8 in the log window: where they go from every place, in logs small and large,
// with problems at the start, the middle and the end, round the ends, or none; what the find bar
// and a screen reader are told; and the summary line, read and announced.
#include "runs/lines/LineClass.h"
#include "runs/lines/ProblemColours.h"
#include "runs/logview/LogAccessible.h"
#include "runs/logview/ProblemSeek.h"
#include "support/AccessibilityBridge.h"
#include "support/ProblemLogs.h"

using namespace problemlogs;

class TestLogProblems : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void seeksAsALookAtEachLine_data();
    void seeksAsALookAtEachLine();
    void goesToProblems_data();
    void goesToProblems();
    void announcesTheMove();
    void summarises_data();
    void summarises();
    void followsTheLogAsItChanges_data();
    void followsTheLogAsItChanges();
};

void TestLogProblems::initTestCase() {
    LogAccessible::install();
}

void TestLogProblems::init() {
    if (frmLogView* log = openLogWindow())
        log->close();
}

void TestLogProblems::cleanup() {
    QTRY_VERIFY(noWindowLeft());
}

void TestLogProblems::seeksAsALookAtEachLine_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("step"); // every step-th line start is asked about
    QTest::newRow("none") << plainLines(50) << 1;
    QTest::newRow("one, first") << problemLine(0) + plainLines(20) << 1;
    QTest::newRow("one, last, no line end") << plainLines(20) + problemLine(3).chopped(1) << 1;
    QTest::newRow("a few in a small log") << everyNth(30, 7) << 1;
    // Buckets a few pieces wide, several problems in each: their lines are read.
    QTest::newRow("many, every third line") << everyNth(12'000, 3) << 7;
    QTest::newRow("many, every line") << everyNth(9'000, 1) << 13;
    QTest::newRow("far apart in a large log")
        << plainLines(30'000) + problemLine(1) + plainLines(30'000) + problemLine(2) << 97;
}

// From the start of every asked line and from a byte into it, forward and back, the marks and
// the bounded reads find the line a look at each line of the file finds.
void TestLogProblems::seeksAsALookAtEachLine() {
    QFETCH(QByteArray, content);
    QFETCH(int, step);
    QTemporaryDir dir;
    const auto indexed = indexedDocument(dir, content);
    const LogDocument& document = *indexed;

    QList<qint64> starts;
    QList<qint64> problems;
    for (qint64 at = 0; at <= content.size(); at = content.indexOf('\n', at) + 1) {
        starts.append(at);
        const QByteArray line = content.mid(at, content.indexOf('\n', at) - at);
        if (runs::lines::classify(std::string_view(line.constData(), line.size())).isProblem())
            problems.append(at);
        if (content.indexOf('\n', at) < 0)
            break;
    }
    using Result = ProblemFound::Result;
    const ProblemMarks& marks = document.problems().marks;
    for (qsizetype index = 0; index < starts.size(); index += step) {
        for (const qint64 from : {starts[index], starts[index] + 1}) {
            if (from > content.size())
                continue;
            const qint64 piece = document.positionAt(from).piece;
            const auto after = std::lower_bound(problems.cbegin(), problems.cend(), from);
            ProblemFound expected;
            if (after != problems.cend())
                expected = {Result::Found, *after};
            else if (!problems.isEmpty())
                expected = {Result::Wrapped, problems.first()};
            const ProblemFound next =
                seekProblem(*document.file(), marks, piece, from, false, true);
            QCOMPARE(std::pair(next.result, next.offset),
                     std::pair(expected.result, expected.offset));

            expected = {};
            if (after != problems.cbegin())
                expected = {Result::Found, *(after - 1)};
            else if (!problems.isEmpty())
                expected = {Result::Wrapped, problems.last()};
            const ProblemFound back = seekProblem(*document.file(), marks, piece, from, true, true);
            QCOMPARE(std::pair(back.result, back.offset),
                     std::pair(expected.result, expected.offset));
        }
    }
}

void TestLogProblems::goesToProblems_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("whileReading"); // the keys come before the log is indexed whole
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QStringList>("selections"); // the text selected after each key
    QTest::addColumn<QString>("result");         // the find bar's at the end
    const QString closed = u"(closed)"_s;
    const QString first = QString::fromLatin1(problemLine(1).chopped(1));
    const QString second = QString::fromLatin1(problemLine(2).chopped(1));
    const QByteArray two =
        plainLines(1) + problemLine(1) + plainLines(2, 2) + problemLine(2) + plainLines(2, 5);
    QTest::newRow("at the start") << problemLine(1) + plainLines(3) << false << u"F8"_s
                                  << QStringList{first} << closed;
    QTest::newRow("in the middle, then back")
        << two << false << u"F8 F8 Shift+F8"_s << QStringList{first, second, first} << closed;
    QTest::newRow("at the end, no line end") << plainLines(4) + problemLine(2).chopped(1) << false
                                             << u"F8"_s << QStringList{second} << closed;
    QTest::newRow("on past the last, wrapped")
        << two << false << u"F8 F8 F8"_s << QStringList{first, second, first} << u"Wrapped"_s;
    QTest::newRow("back past the first, wrapped")
        << two << false << u"Shift+F8"_s << QStringList{second} << u"Wrapped"_s;
    QTest::newRow("one problem, again and again")
        << two.left(two.indexOf(problemLine(2))) << false << u"F8 F8 Shift+F8"_s
        << QStringList{first, first, first} << u"Wrapped"_s;
    QTest::newRow("from inside a problem line, back to its start")
        << two << false << u"Down Right Right Shift+F8"_s << QStringList{{}, {}, {}, first}
        << closed;
    QTest::newRow("none at all: said, the caret stays")
        << plainLines(5) << false << u"Down F8 Shift+F8"_s << QStringList{{}, {}, {}}
        << u"No problems"_s;
    QTest::newRow("past the first checkpoint")
        << plainLines(600) + problemLine(1) << false << u"F8"_s << QStringList{first} << closed;
    QTest::newRow("past what is indexed at once")
        << plainLines(3000) + problemLine(1) + plainLines(10) << false << u"F8 F8"_s
        << QStringList{first, first} << u"Wrapped"_s;
    QTest::newRow("while the log is being read")
        << plainLines(100'000) + problemLine(1) + plainLines(100'000) + problemLine(2) << true
        << u"F8 F8"_s << QStringList{first, second} << closed;
    QTest::newRow("back while the log is being read, wrapped")
        << problemLine(1) + plainLines(200'000) + problemLine(2) << true << u"Shift+F8"_s
        << QStringList{second} << u"Wrapped"_s;
    QTest::newRow("a problem after a long line")
        << QByteArray(3 * LineIndex::PieceBytes, 'x') + '\n' + problemLine(1) << false
        << u"F8 Shift+F8"_s << QStringList{first, first} << u"Wrapped"_s;
    const QByteArray longProblem = "WARNING: " + QByteArray(2 * LineIndex::PieceBytes, 'w');
    QTest::newRow("a problem line of several pieces, selected whole")
        << plainLines(3) + longProblem + '\n' + plainLines(3) << false << u"F8"_s
        << QStringList{QString::fromLatin1(longProblem)} << closed;
    QStringList many;
    for (int line = 2; line < 3 * 6; line += 3)
        many.append(QString::fromLatin1(problemLine(line).chopped(1)));
    QTest::newRow("many, close together")
        << everyNth(12'000, 3) << false << u"F8 F8 F8 F8 F8 F8"_s << many << closed;
    QTest::newRow("many, back from the end")
        << everyNth(12'000, 3) << false << u"Ctrl+End Shift+F8 Shift+F8"_s
        << QStringList{{},
                       QString::fromLatin1(problemLine(11'999).chopped(1)),
                       QString::fromLatin1(problemLine(11'996).chopped(1))}
        << closed;
}

// After each key: the problem line selected whole, the caret at its start and in view. Keys
// that move no caret select nothing.
void TestLogProblems::goesToProblems() {
    QFETCH(QByteArray, content);
    QFETCH(bool, whileReading);
    QFETCH(QString, keys);
    QFETCH(QStringList, selections);
    QFETCH(QString, result);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"x.dump.log"_s);
    writeFile(path, content);
    auto* window = new frmLogView;
    window->showLog(u"Export Log"_s, platform::ReadOnlyFile::open(path), path);
    LogTextView* view = logText(*window);
    if (!whileReading)
        QTRY_VERIFY(!view->isIndexing());
    const QStringList pressed = keys.split(u' ');
    for (qsizetype i = 0; i < pressed.size(); ++i) {
        const int caret = textOf(view)->cursorPosition();
        press(view, pressed[i]);
        if (selections[i].isEmpty()) {
            QCOMPARE(selected(view), QString());
            if (pressed[i].endsWith(u"F8"_s))
                QCOMPARE(textOf(view)->cursorPosition(), caret);
            continue;
        }
        QTRY_COMPARE(selected(view), selections[i]);
        QVERIFY(caretStartsSelection(view, selections[i]));
    }
    QCOMPARE(findResult(*view), result);
    // Escape from the log closes a bar F8 opened; the focus stays in the log.
    press(view, u"Escape"_s);
    QCOMPARE(findResult(*view), u"(closed)"_s);
    QVERIFY(view->hasFocus() || !window->isActiveWindow());
    window->close();
}

// The caret move and the selection reach assistive technology as any caret move does, and a
// wrap is told by the find bar's result.
void TestLogProblems::announcesTheMove() {
    ShownLog log(plainLines(2) + problemLine(1) + plainLines(2));
    QAccessibleTextInterface* text = textOf(log.view);
    QVERIFY(text);
    accessibilitybridge::heard().clear();
    press(log.view, u"F8"_s);
    QList<QAccessible::Event> toldOfView;
    for (const accessibilitybridge::Heard& heard : accessibilitybridge::heard()) {
        if (heard.object == log.view)
            toldOfView.append(heard.type);
    }
    QCOMPARE(toldOfView, (QList<QAccessible::Event>{QAccessible::TextSelectionChanged,
                                                    QAccessible::TextCaretMoved}));
    accessibilitybridge::heard().clear();
    press(log.view, u"F8"_s);
    auto* label = control<QLabel>(*log.view, "lbl_find_status");
    QString labelTold;
    for (const accessibilitybridge::Heard& heard : accessibilitybridge::heard()) {
        if (heard.object == label && heard.type == QAccessible::NameChanged)
            labelTold = heard.name;
    }
    QCOMPARE(labelTold, u"Wrapped"_s);
}

void TestLogProblems::summarises_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reading"); // told while the log is read; null: read at once
    QTest::addColumn<QString>("summary");
    const QByteArray warned = "Connected to DEMO as SCOTT, read-only.\n"
                              "EXP-00011: SCOTT.BONUS does not exist\n"
                              "Export terminated successfully with warnings.\n";
    QTest::newRow("warned export")
        << warned << QString()
        << u"Export terminated successfully with warnings \u2014 1 problem (F8)"_s;
    QTest::newRow("clean import") << QByteArray("Import terminated successfully without warnings.")
                                  << QString()
                                  << u"Import terminated successfully without warnings \u2014 "
                                     "no problems"_s;
    QTest::newRow("failed, closing line coded")
        << QByteArray("ORA-01017: invalid username/password; logon denied\n"
                      "EXP-00056: ORACLE error 1017 encountered\n"
                      "EXP-00000: Export terminated unsuccessfully\n")
        << QString() << u"Export terminated unsuccessfully \u2014 2 problems (F8)"_s;
    QTest::newRow("cut short") << problemLine(1) + problemLine(2) << QString()
                               << u"No closing line \u2014 2 problems (F8)"_s;
    QTest::newRow("empty") << QByteArray() << QString() << u"No closing line \u2014 no problems"_s;
    QTest::newRow("large, problems past the first screen")
        << problemLine(1) + plainLines(40'000) + problemLine(2) + warned
        << u"Reading the log \u2014 1 problem so far (F8)"_s
        << u"Export terminated successfully with warnings \u2014 3 problems (F8)"_s;
}

// The summary line's text, what a screen reader reads of it, and what it is told when it
// changes: the count so far while the log is read, then the whole summary at once.
void TestLogProblems::summarises() {
    QFETCH(QByteArray, content);
    QFETCH(QString, reading);
    QFETCH(QString, summary);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"x.dump.log"_s);
    writeFile(path, content);
    auto* window = new frmLogView;
    auto* label = control<QLabel>(*window, "lbl_summary");
    QAccessibleInterface* read = QAccessible::queryAccessibleInterface(label);
    const QString before = read->text(QAccessible::Name);
    accessibilitybridge::heard().clear();
    window->showLog(u"Export Log"_s, platform::ReadOnlyFile::open(path), path);
    if (!reading.isNull())
        QCOMPARE(read->text(QAccessible::Name), reading);
    QTRY_COMPARE(read->text(QAccessible::Name), summary);
    QCOMPARE(label->text(), summary);
    // In the outcome's colour, clear on the window's background.
    QVERIFY(runs::lines::contrastRatio(label->palette().color(QPalette::WindowText),
                                       window->palette().color(QPalette::Window)) >= 4.5);
    QString told;
    for (const accessibilitybridge::Heard& heard : accessibilitybridge::heard()) {
        if (heard.object == label && heard.type == QAccessible::NameChanged)
            told = heard.name;
    }
    // A text that stays the same is not told again.
    QCOMPARE(told, summary == before ? QString() : summary);
    window->close();
}

void TestLogProblems::followsTheLogAsItChanges_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<bool>("renamed"); // saved to another file renamed over it, else written over
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QString>("selects"); // by F8 from the start
    const QByteArray warned = problemLine(1) + "Export terminated successfully with warnings.\n";
    const QString second = QString::fromLatin1(problemLine(2).chopped(1));
    QTest::newRow("grown by a problem and the closing line")
        << plainLines(3) << plainLines(3) + problemLine(2) + warned << false
        << u"Export terminated successfully with warnings \u2014 2 problems (F8)"_s << second;
    QTest::newRow("written over with other problems")
        << problemLine(1) + plainLines(3) + problemLine(3)
        << plainLines(1, 7) + problemLine(2) + plainLines(1) << false
        << u"No closing line \u2014 1 problem (F8)"_s << second;
    QTest::newRow("replaced by a clean log")
        << warned << plainLines(2) + "Import terminated successfully without warnings.\n"
        << true << u"Import terminated successfully without warnings \u2014 no problems"_s
        << QString();
}

// A log that changes under the window is summed up, marked and gone through as it is now.
void TestLogProblems::followsTheLogAsItChanges() {
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QFETCH(bool, renamed);
    QFETCH(QString, summary);
    QFETCH(QString, selects);
    ShownLog log(before);
    if (renamed) {
        const QString other = log.dir.filePath(u"saved.log"_s);
        writeFile(other, after);
        QVERIFY(QFile::remove(log.path) && QFile::rename(other, log.path));
    } else if (after.startsWith(before)) {
        QFile file(log.path);
        QVERIFY(file.open(QIODevice::Append));
        file.write(after.mid(before.size()));
    } else {
        writeFile(log.path, after);
    }
    press(log.view, u"Ctrl+Home F8"_s);
    QTRY_VERIFY(!log.view->isIndexing());
    auto* label = control<QLabel>(log.window, "lbl_summary");
    QTRY_COMPARE(QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name), summary);
    QCOMPARE(selected(log.view), selects);
    QCOMPARE(log.view->document().problems().marks.isEmpty(), selects.isEmpty());
}

QTEST_MAIN(TestLogProblems)
#include "tst_logproblems.moc"
