// SPDX-License-Identifier: GPL-3.0-or-later
// The log text box as a screen reader reads it: a read-only text of many lines, the whole log
// when small and the part around the view when large, read by character, word and line, with
// the caret and the selection announced as they move.
#include "runs/logview/LogAccessible.h"
#include "support/LogViewTest.h"

#include <QAccessible>

using namespace logtest;

namespace {

// What an assistive technology heard from the log text box.
QStringList heard;

void listen(QAccessibleEvent* event) {
    if (!qobject_cast<LogTextView*>(event->object()))
        return;
    switch (event->type()) {
    case QAccessible::TextCaretMoved:
        heard.append(
            u"caret %1"_s.arg(static_cast<QAccessibleTextCursorEvent*>(event)->cursorPosition()));
        break;
    case QAccessible::TextSelectionChanged: {
        const auto* selection = static_cast<QAccessibleTextSelectionEvent*>(event);
        heard.append(
            u"selection %1-%2"_s.arg(selection->selectionStart()).arg(selection->selectionEnd()));
        break;
    }
    case QAccessible::TextRemoved:
        heard.append(u"removed"_s);
        break;
    case QAccessible::TextInserted:
        heard.append(u"inserted"_s);
        break;
    default:
        break;
    }
}

QString textAt(QAccessibleTextInterface* text, int offset, QAccessible::TextBoundaryType unit) {
    int start = 0;
    int end = 0;
    return text->textAtOffset(offset, unit, &start, &end);
}

} // namespace

class TestLogAccess : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void isReadOnlyText();
    void offersText_data();
    void offersText();
    void readsByUnit_data();
    void readsByUnit();
    void announces_data();
    void announces();

private:
    QAccessible::UpdateHandler m_handler = nullptr;
};

// As when a screen reader runs. Where assistive technology listens, the toolkit hands the box's
// announcements to an installed update handler; the offscreen platform has none and drops them,
// so the test listens where the box announces.
void TestLogAccess::initTestCase() {
    QAccessible::setActive(true);
    LogAccessible::install();
    m_handler = QAccessible::installUpdateHandler(listen);
    LogAccessible::announce = listen;
}

void TestLogAccess::cleanupTestCase() {
    LogAccessible::announce = &QAccessible::updateAccessibility;
    QAccessible::installUpdateHandler(m_handler);
    QAccessible::setActive(false);
}

void TestLogAccess::init() {
    heard.clear();
}

void TestLogAccess::isReadOnlyText() {
    ShownLog log("one\ntwo\n");
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(log.view);
    QVERIFY(face);
    QCOMPARE(face->role(), QAccessible::EditableText);
    QVERIFY(face->state().readOnly);
    QVERIFY(face->state().multiLine);
    QCOMPARE(face->text(QAccessible::Name), u"Log text"_s);
    QVERIFY(face->textInterface());
}

void TestLogAccess::offersText_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("whole");    // the whole offered text; null: a part
    QTest::addColumn<QString>("contains"); // lines the offered text holds
    const QByteArray many = numberedLines(200'000);
    QTest::newRow("small log") << QByteArray("1234\n5678\n9012\n") << QString()
                               << u"1234\n5678\n9012\n"_s << u"1234"_s;
    QTest::newRow("caret on the second line")
        << QByteArray("1234\n5678\n9012") << u"Down Right"_s << u"1234\n5678\n9012"_s << u"5678"_s;
    QTest::newRow("CR LF read as line ends")
        << QByteArray("one\r\ntwo\r\n") << u"Down"_s << u"one\ntwo\n"_s << u"two"_s;
    QTest::newRow("multi-byte text over piece cuts")
        << QString(5000, u'\u00e9').toUtf8() + "\nnext" << u"End"_s
        << QString(5000, u'\u00e9') + u"\nnext"_s << u"next"_s;
    QTest::newRow("large log at the start")
        << many << QString() << QString() << u"line 000000 of the log\nline 000001"_s;
    QTest::newRow("large log after the end")
        << many << u"Ctrl+End"_s << QString() << u"line 199998 of the log\nline 199999"_s;
    QTest::newRow("large log, back home")
        << many << u"Ctrl+End Ctrl+Home Down"_s << QString() << u"line 000000"_s;
    QTest::newRow("large log, pages down")
        << many << u"PgDown PgDown PgDown PgDown PgDown PgDown PgDown PgDown Up"_s << QString()
        << QString();
}

void TestLogAccess::offersText() {
    QFETCH(QByteArray, content);
    QFETCH(QString, keys);
    QFETCH(QString, whole);
    QFETCH(QString, contains);
    ShownLog log(content);
    press(log.view, keys);
    QAccessibleTextInterface* text = textOf(log.view);
    QVERIFY(text);
    const QString offered = text->text(0, text->characterCount());
    if (whole.isNull()) {
        QVERIFY(offered.size() < content.size() / 10);
        // At least the screen on view: its first and last rows are there.
        const int rows =
            (log.view->viewport()->height() - 8) / log.view->fontMetrics().lineSpacing();
        QVERIFY(offered.count(u'\n') >= rows);
    } else {
        QCOMPARE(offered, whole);
    }
    QVERIFY2(offered.contains(contains), qPrintable(contains));

    // The line at the caret is the line the box selects from its start to its end.
    const int caret = text->cursorPosition();
    const QString line = textAt(text, caret, QAccessible::LineBoundary);
    QCOMPARE(line.chopped(line.endsWith(u'\n') ? 1 : 0), copied(log.view, u"Home Shift+End"_s));
    // And the screen reader finds each character where the box shows it.
    const QRect shown = text->characterRect(text->cursorPosition());
    QVERIFY(!shown.isEmpty());
    QCOMPARE(text->offsetAtPoint(shown.center()), text->cursorPosition());
}

void TestLogAccess::readsByUnit_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("unit");
    QTest::addColumn<QString>("expected"); // from the caret on
    const auto character = int{QAccessible::CharBoundary};
    const auto word = int{QAccessible::WordBoundary};
    const auto line = int{QAccessible::LineBoundary};
    const QByteArray words = "alpha beta gamma\ndelta epsilon\n";
    QTest::newRow("a character") << words << u"Right"_s << character << u"l"_s;
    QTest::newRow("a two-byte character")
        << QByteArray("a\xc3\xa9z") << u"Right"_s << character << u"\u00e9"_s;
    QTest::newRow("next word") << words << u"Ctrl+Right"_s << word << u"beta"_s;
    QTest::newRow("words on") << words << u"Ctrl+Right Ctrl+Right"_s << word << u"gamma"_s;
    QTest::newRow("word back") << words << u"End Ctrl+Left"_s << word << u"gamma"_s;
    QTest::newRow("next word over a line end")
        << words << u"End Ctrl+Right"_s << word << u"delta"_s;
    QTest::newRow("the caret's line") << words << u"Down"_s << line << u"delta epsilon\n"_s;
    QTest::newRow("word by word across a piece cut")
        << QByteArray(LineIndex::PieceBytes - 2, 'x') + " yy zz\n"
        << u"Ctrl+Right Ctrl+Right"_s << word << u"zz"_s;
    QTest::newRow("word back across a piece cut")
        << QByteArray(LineIndex::PieceBytes - 2, 'x') + " yy zz\n"
        << u"End Ctrl+Left Ctrl+Left"_s << word << u"yy"_s;
    QTest::newRow("a word that starts at a piece cut")
        << QByteArray(LineIndex::PieceBytes - 1, 'x') + " yy zz\n"
        << u"Ctrl+Right"_s << word << u"yy"_s;
    QTest::newRow("back to a word that starts at a piece cut")
        << QByteArray(LineIndex::PieceBytes - 1, 'x') + " yy zz\n"
        << u"End Ctrl+Left Ctrl+Left"_s << word << u"yy"_s;
}

void TestLogAccess::readsByUnit() {
    QFETCH(QByteArray, content);
    QFETCH(QString, keys);
    QFETCH(int, unit);
    QFETCH(QString, expected);
    ShownLog log(content);
    press(log.view, keys);
    QAccessibleTextInterface* text = textOf(log.view);
    const int caret = text->cursorPosition();
    int start = -1;
    int end = -1;
    QCOMPARE(text->textAtOffset(caret, QAccessible::TextBoundaryType(unit), &start, &end),
             expected);
    QCOMPARE(start, caret); // the caret stands at the start of what it moved to
}

void TestLogAccess::announces_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QStringList>("expected");
    const QByteArray digits = "1234\n5678\n9012\n";
    QTest::newRow("caret right") << digits << u"Right Right"_s
                                 << QStringList{u"caret 1"_s, u"caret 2"_s};
    QTest::newRow("caret down") << digits << u"Down"_s << QStringList{u"caret 5"_s};
    QTest::newRow("selection grows and goes")
        << digits << u"Shift+Right Shift+Right Left"_s
        << QStringList{u"selection 0-1"_s, u"caret 1"_s,       u"selection 0-2"_s,
                       u"caret 2"_s,       u"selection 1-1"_s, u"caret 1"_s};
    QTest::newRow("select all") << digits << u"Ctrl+A"_s
                                << QStringList{u"selection 0-15"_s, u"caret 15"_s};
    QTest::newRow("nothing moves") << digits << u"Left Up"_s << QStringList{};
    QTest::newRow("a large log, a row down: the same text")
        << numberedLines(200'000) << u"Down"_s << QStringList{u"caret 23"_s};
    QTest::newRow("a large log, a page down: the same text")
        << numberedLines(200'000) << u"PgDown"_s << QStringList{u"caret"_s};
    QTest::newRow("a large log's end: new text, then the caret")
        << numberedLines(200'000) << u"Ctrl+End"_s
        << QStringList{u"removed"_s, u"inserted"_s, u"selection"_s, u"caret"_s};
}

void TestLogAccess::announces() {
    QFETCH(QByteArray, content);
    QFETCH(QString, keys);
    QFETCH(QStringList, expected);
    ShownLog log(content);
    textOf(log.view)->cursorPosition(); // a screen reader reads the text before it listens
    heard.clear();
    press(log.view, keys);
    // Offsets in a large log's text depend on the screen's size: only the kinds are compared.
    if (!expected.isEmpty() && !expected.first().contains(u' ')) {
        for (QString& event : heard)
            event = event.section(u' ', 0, 0);
    }
    QCOMPARE(heard, expected);
    if (!heard.isEmpty() && heard.last().startsWith(u"caret "_s))
        QCOMPARE(heard.last().section(u' ', 1).toInt(), textOf(log.view)->cursorPosition());
}

QTEST_MAIN(TestLogAccess)
#include "tst_logaccess.moc"
