// SPDX-License-Identifier: GPL-3.0-or-later
// A log that changes while its window is open: grown, shrunk, truncated and written again longer,
// shorter or the same size, or replaced by another file. The window, Copy, Find and a screen
// reader give one version of it whole, never a mix of two.
#include "runs/logview/LogAccessible.h"
#include "support/LogViewTest.h"
#include "support/MessageRecorder.h"

#include <QAccessible>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>

#include <cstdio>

using namespace logtest;

namespace {

// Numbered lines of a version of a log, each of the same length.
QByteArray versionLines(const char* version, int count) {
    QByteArray lines;
    for (int i = 0; i < count; ++i)
        lines += version + QByteArray(" line ") + QByteArray::number(i).rightJustified(6, '0') +
                 " of the log\n";
    return lines;
}

// The lines on the box's rows from top to bottom, each once, as a screen reader finds them at
// the rows' places; a line feed ends each but the last of the log.
QStringList rowsShown(LogTextView* view) {
    QAccessibleTextInterface* text = QAccessible::queryAccessibleInterface(view)->textInterface();
    const int rows = (view->viewport()->height() - 8) / view->fontMetrics().lineSpacing();
    QStringList lines;
    for (int row = 0; row < rows; ++row) {
        const int offset =
            text->offsetAtPoint(view->viewport()->mapToGlobal(rowPoint(view, row, 0)));
        int start = 0;
        int end = 0;
        const QString line = text->textAtOffset(offset, QAccessible::LineBoundary, &start, &end);
        if (offset >= 0 && (lines.isEmpty() || lines.last() != line))
            lines.append(line);
    }
    return lines;
}

// Saves the bytes over the log as many editors do: to another file, renamed over it.
void saveOver(const ShownLog& log, const QByteArray& bytes) {
    const QString other = log.dir.filePath(u"saved.log"_s);
    writeFile(other, bytes);
    QVERIFY(std::rename(QFile::encodeName(other).constData(),
                        QFile::encodeName(log.path).constData()) == 0);
}

} // namespace

class TestLogChanges : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void fileChangesWhileShown_data();
    void fileChangesWhileShown();
    void rewrittenLogShowsOneVersion_data();
    void rewrittenLogShowsOneVersion();
    void truncatedLogLosesSelection_data();
    void truncatedLogLosesSelection();
    void sameTextShownAfresh_data();
    void sameTextShownAfresh();
    void keptLineYieldsToTheOperator_data();
    void keptLineYieldsToTheOperator();
};

// Rows are read as a screen reader reads them.
void TestLogChanges::initTestCase() {
    LogAccessible::install();
}

// A failed test may have left its window open; cleanup() has reported it already.
void TestLogChanges::init() {
    if (frmLogView* log = openLogWindow())
        log->close();
}

void TestLogChanges::cleanup() {
    QTRY_VERIFY(noWindowLeft());
}

void TestLogChanges::fileChangesWhileShown_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("changed");
    QTest::addColumn<bool>("appended");
    QTest::addColumn<bool>("whileIndexing");
    QTest::addColumn<QString>("shown"); // null: anything but a fault
    QTest::newRow("grows") << QByteArray("one\ntwo\n") << QByteArray("three\n") << true << false
                           << u"one\ntwo\nthree\n"_s;
    QTest::newRow("last line grows")
        << QByteArray("one\ntw") << QByteArray("o\n") << true << false << u"one\ntwo\n"_s;
    QTest::newRow("grows by more than is read at once")
        << QByteArray("one\n") << largeLog("DEPT") << true << false
        << u"one\n"_s + QString::fromLatin1(largeLog("DEPT"));
    QTest::newRow("shrinks") << QByteArray("one\ntwo\nthree\n") << QByteArray("one\n") << false
                             << false << u"one\n"_s;
    QTest::newRow("emptied") << QByteArray("one\ntwo\n") << QByteArray() << false << false
                             << QString();
    QTest::newRow("rewritten") << QByteArray("one\ntwo\n") << QByteArray("a\nb\nc\nd\n") << false
                               << false << u"a\nb\nc\nd\n"_s;
    QTest::newRow("shrinks while indexed")
        << largeLog("EMP") << QByteArray("short\n") << false << true << QString();
}

void TestLogChanges::fileChangesWhileShown() {
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
    QVERIFY(!log->grab().isNull()); // the window paints, and finds the change
    const QString after = shownText(*log);
    if (!shown.isNull())
        QCOMPARE(after, shown);
    press(view, u"Ctrl+End PgUp Down Up"_s);
    QVERIFY(!log->grab().isNull());

    log->showLog(u"Export Log"_s, platform::ReadOnlyFile::open(path), path);
    QCOMPARE(shownText(*log), QString::fromLatin1(appended ? content + changed : changed));
    log->close();
}

void TestLogChanges::rewrittenLogShowsOneVersion_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<bool>("renamed");   // another file renamed over the log, not written in place
    QTest::addColumn<bool>("atEnd");     // the window at the log's end, not at its start
    QTest::addColumn<QString>("needle"); // in the new version only
    const QByteArray old = versionLines("old", 40);
    const QByteArray longer = versionLines("new", 90) + "NEW END";
    const QByteArray shorter = versionLines("new", 6) + "NEW END\n";
    const QByteArray sameSize = versionLines("new", 40);
    // More than is indexed at once, so the rest is indexed while the window shows the start.
    const QByteArray large = versionLines("old", 5000);
    const QByteArray larger = versionLines("new", 9000) + "NEW END\n";
    for (const bool atEnd : {false, true}) {
        const char* where = atEnd ? "at the end" : "at the start";
        QTest::addRow("longer, %s", where) << old << longer << false << atEnd << u"NEW END"_s;
        QTest::addRow("shorter, %s", where) << old << shorter << false << atEnd << u"NEW END"_s;
        QTest::addRow("same size, other bytes, %s", where)
            << old << sameSize << false << atEnd << u"new line 000039"_s;
        QTest::addRow("large, longer, %s", where)
            << large << larger << false << atEnd << u"NEW END"_s;
        QTest::addRow("large, shorter, %s", where)
            << large << shorter << false << atEnd << u"NEW END"_s;
        QTest::addRow("another file renamed over it, %s", where)
            << old << longer << true << atEnd << u"NEW END"_s;
    }
}

// The log truncated and written again (or replaced) while its window is open: the window, Copy,
// Find and a screen reader give the new version whole, the caret on the line it was on.
void TestLogChanges::rewrittenLogShowsOneVersion() {
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QFETCH(bool, renamed);
    QFETCH(bool, atEnd);
    QFETCH(QString, needle);
    ShownLog log(before);
    if (atEnd)
        press(log.view, u"Ctrl+End"_s);
    const qsizetype caretLine = atEnd ? before.count('\n') : 0;
    if (renamed)
        saveOver(log, after);
    else
        writeFile(log.path, after);
    QVERIFY(!log.window.grab().isNull()); // the window paints
    QTRY_VERIFY(!log.view->isIndexing());

    // Shown: lines of the new version, one after the other, the caret on its line.
    const QStringList lines = QString::fromLatin1(after).split(u'\n');
    const auto shownAt = [&lines](const QStringList& rows) {
        const qsizetype first = lines.indexOf(rows.value(0).chopped(rows.value(0).endsWith(u'\n')));
        for (qsizetype i = 0; i < rows.size(); ++i) {
            if (first < 0 || rows[i] != lines.value(first + i) +
                                            (first + i + 1 < lines.size() ? u"\n"_s : QString()))
                return qsizetype{-1};
        }
        return first;
    };
    QVERIFY2(shownAt(rowsShown(log.view)) >= 0, qPrintable(rowsShown(log.view).join(u'|')));
    QAccessibleTextInterface* text =
        QAccessible::queryAccessibleInterface(log.view)->textInterface();
    int start = 0;
    int end = 0;
    const QString atCaret =
        text->textAtOffset(text->cursorPosition(), QAccessible::LineBoundary, &start, &end);
    const qsizetype keptLine = qMin(caretLine, lines.size() - 1);
    QCOMPARE(atCaret.chopped(atCaret.endsWith(u'\n')), lines[keptLine]);
    // Its end, all of it.
    press(log.view, u"Ctrl+End"_s);
    const QStringList last = rowsShown(log.view);
    QCOMPARE(shownAt(last) + last.size(), lines.size());

    // Copied and found: the new version.
    QCOMPARE(copied(log.view, u"Ctrl+A"_s), QString::fromLatin1(after));
    press(log.view, u"Ctrl+Home Ctrl+F"_s);
    auto* field = control<QLineEdit>(*log.view, "txt_find");
    auto* result = control<QLabel>(*log.view, "lbl_find_status");
    field->setText(needle);
    press(field, u"Return"_s);
    QTRY_VERIFY(result->text() != u"Searching\u2026"_s);
    QCOMPARE(copied(log.view, {}), needle);
    field->setText(u"old line"_s);
    press(field, u"Return"_s);
    QTRY_COMPARE(result->text(), u"Not found"_s);
}

void TestLogChanges::truncatedLogLosesSelection_data() {
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("expected"); // copied; null: nothing
    QTest::newRow("emptied, then select all") << QByteArray() << u"Ctrl+A"_s << QString();
    QTest::newRow("emptied, selection made before") << QByteArray() << QString() << QString();
    QTest::newRow("shrunk to a line, then select all")
        << QByteArray("one\n") << u"Ctrl+A"_s << u"one\n"_s;
}

void TestLogChanges::truncatedLogLosesSelection() {
    QFETCH(QByteArray, after);
    QFETCH(QString, keys);
    QFETCH(QString, expected);
    QByteArray line(79, '.');
    line += '\n';
    ShownLog log(line.repeated(2 * LogTextView::CopyLimitBytes / line.size()));
    press(log.view, u"Ctrl+A"_s);
    writeFile(log.path, after);
    MessageRecorder recorder;
    const QString got = copied(log.view, keys);
    QCOMPARE(got, expected);
    QCOMPARE(got.isNull(), expected.isNull());
    QCOMPARE(recorder.texts(), QStringList());
}

void TestLogChanges::sameTextShownAfresh_data() {
    QTest::addColumn<bool>("renamed"); // an identical copy renamed over it, else only touched
    QTest::newRow("the time it was written changed") << false;
    QTest::newRow("an identical copy renamed over it") << true;
}

// Bytes that read the same are a new version all the same when the file was written to: it is
// shown afresh, the selection gone, the caret on its line.
void TestLogChanges::sameTextShownAfresh() {
    QFETCH(bool, renamed);
    const QByteArray lines = versionLines("old", 10);
    ShownLog log(lines);
    press(log.view, u"Down Down Shift+Down"_s);
    if (renamed) {
        saveOver(log, lines);
    } else {
        QFile file(log.path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                 QFileDevice::FileModificationTime));
    }
    QCOMPARE(copied(log.view, u"Shift+Down"_s), u"old line 000003 of the log\n"_s);
}

void TestLogChanges::keptLineYieldsToTheOperator_data() {
    QTest::addColumn<QString>("keys"); // pressed before the new log is indexed as far as the caret
    QTest::addColumn<int>("line");     // the caret's line once it is
    QTest::newRow("no key: the line it was on") << QString() << 4999;
    QTest::newRow("to the start") << u"Ctrl+Home"_s << 0;
    QTest::newRow("a line down from the start it shows meanwhile") << u"Down"_s << 1;
}

// A large log at its end written over: the caret goes back to its line once the new log is
// indexed that far, unless the operator has moved it meanwhile.
void TestLogChanges::keptLineYieldsToTheOperator() {
    QFETCH(QString, keys);
    QFETCH(int, line);
    ShownLog log(versionLines("old", 5000));
    press(log.view, u"Ctrl+End Up"_s);
    writeFile(log.path, versionLines("new", 9000));
    press(log.view, keys);
    QVERIFY(!log.window.grab().isNull());
    QTRY_VERIFY(!log.view->isIndexing());
    QAccessibleTextInterface* text = textOf(log.view);
    int start = 0;
    int end = 0;
    QCOMPARE(text->textAtOffset(text->cursorPosition(), QAccessible::LineBoundary, &start, &end),
             u"new line %1 of the log\n"_s.arg(line, 6, 10, QChar(u'0')));
}

QTEST_MAIN(TestLogChanges)
#include "tst_logchanges.moc"
