// SPDX-License-Identifier: GPL-3.0-or-later
// The log text box: selection and copy, scrolling, and Find.
#include "runs/logview/LogLayout.h"
#include "support/LogViewTest.h"
#include "support/MessageRecorder.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTextLayout>

using namespace logtest;

class TestLogTextView : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void copiesSelection_data();
    void copiesSelection();
    void mouseSelection();
    void hugeSelectionIsNotCopied();
    void scrolls_data();
    void scrolls();
    void finds_data();
    void finds();
    void layoutMovesByRows_data();
    void layoutMovesByRows();
};

// A failed test may have left its window open; cleanup() has reported it already.
void TestLogTextView::init() {
    if (frmLogView* log = openLogWindow())
        log->close();
}

void TestLogTextView::cleanup() {
    QTRY_VERIFY(noWindowLeft());
}

void TestLogTextView::copiesSelection_data() {
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
    QTest::newRow("start of the line") << digits << u"Down End Shift+Home"_s << u"5678"_s;
    QTest::newRow("end of the line") << digits << u"Down Right Shift+End"_s << u"678"_s;
    QTest::newRow("to the log's start")
        << digits << u"Down Right Shift+Ctrl+Home"_s << u"1234\n5"_s;
    QTest::newRow("to the log's end") << digits << u"Down Shift+Ctrl+End"_s << u"5678\n9012\n"_s;
    QTest::newRow("a move drops the selection")
        << digits << u"Shift+Right Right Shift+Right"_s << u"3"_s;
    QTest::newRow("left at the start stays") << digits << u"Shift+Left Shift+Right"_s << u"1"_s;
    QTest::newRow("rows keep the column past a short line")
        << QByteArray("1234\n5\n6789\n") << u"End Down Down Shift+Up"_s << u"\n6789"_s;
}

void TestLogTextView::copiesSelection() {
    QFETCH(QByteArray, content);
    QFETCH(QString, keys);
    QFETCH(QString, expected);
    ShownLog log(content);
    QCOMPARE(copied(log.view, keys), expected);
}

void TestLogTextView::mouseSelection() {
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

void TestLogTextView::hugeSelectionIsNotCopied() {
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

void TestLogTextView::scrolls_data() {
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

void TestLogTextView::scrolls() {
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

void TestLogTextView::finds_data() {
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
                                 << u"Wrapped"_s;
    QTest::newRow("previous wraps to the last")
        << u"error"_s << u"Shift+F3"_s << u"error 3 in a long line"_s << u"Wrapped"_s;
    QTest::newRow("on from a wrapped match")
        << u"error"_s << u"Shift+F3 F3"_s << u"ERROR 1 early"_s << u"Wrapped"_s;
    QTest::newRow("back from the second")
        << u"error"_s << u"F3 F3 Shift+F3"_s << u"ERROR 1 early"_s << QString();
    QTest::newRow("enter and shift enter")
        << u"error"_s << u"Return Return Shift+Return"_s << u"ERROR 1 early"_s << QString();
    QTest::newRow("not found") << u"nowhere"_s << u"F3"_s << QString() << u"Not found"_s;
}

void TestLogTextView::finds() {
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

void TestLogTextView::layoutMovesByRows_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("fromPiece");
    QTest::addColumn<int>("fromRow");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("reached"); // the text of the row reached
    const QByteArray lines = "one\ntwo\nthree";
    const QByteArray wrapped = "xxx1 xxx2 xxx3 xxx4\nnext";
    QTest::newRow("a row down") << lines << 0 << 0 << 1 << u"two"_s;
    QTest::newRow("past the last row") << lines << 0 << 0 << 10 << u"three"_s;
    QTest::newRow("past the first row") << lines << 2 << 0 << -10 << u"one"_s;
    QTest::newRow("into a wrapped line's second row") << wrapped << 0 << 0 << 1 << u"xxx3 xxx4"_s;
    QTest::newRow("from a wrapped line to the next") << wrapped << 0 << 1 << 1 << u"next"_s;
    QTest::newRow("up into a wrapped line's last row") << wrapped << 1 << 0 << -1 << u"xxx3 xxx4"_s;
    QTest::newRow("from a row past the piece's last") << wrapped << 0 << 5 << 1 << u"next"_s;
}

// The layout of rows needs no window: a document, a font and a width.
void TestLogTextView::layoutMovesByRows() {
    QFETCH(QByteArray, content);
    QFETCH(int, fromPiece);
    QFETCH(int, fromRow);
    QFETCH(int, rows);
    QFETCH(QString, reached);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"x.log"_s);
    writeFile(path, content);
    const LogDocument document(platform::ReadOnlyFile::open(path));
    LogLayout layout(&document);
    const QFont font;
    layout.setFont(font);
    // Two words a row.
    layout.setWidth(QFontMetrics(font).horizontalAdvance(u"xxx1 xxx2 "_s) + 2 * LogLayout::Margin);

    const LogRow row = layout.moveRows({fromPiece, fromRow}, rows);
    const auto laid = layout.layoutOf(row.piece);
    const QTextLine line = laid->lineAt(row.row);
    QVERIFY(line.isValid());
    QCOMPARE(laid->text().mid(line.textStart(), line.textLength()).trimmed(), reached);
}

QTEST_MAIN(TestLogTextView)
#include "tst_logtextview.moc"
