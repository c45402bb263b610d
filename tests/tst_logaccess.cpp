// SPDX-License-Identifier: GPL-3.0-or-later
// The log text box as a screen reader reads it: a read-only text of many lines, the whole log
// when small and the part around the view when large, read by character, word and line, with
// the caret and the selection announced as they move.
#include "runs/logview/LogAccessible.h"
#include "support/AccessibilityBridge.h"
#include "support/LogViewTest.h"
#include "support/Watchdog.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>

#include <memory>

using namespace std::chrono_literals;

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

QAccessibleTextInterface* textOf(LogTextView* view) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(view);
    return face ? face->textInterface() : nullptr;
}

QString textAt(QAccessibleTextInterface* text, int offset, QAccessible::TextBoundaryType unit) {
    int start = 0;
    int end = 0;
    return text->textAtOffset(offset, unit, &start, &end);
}

// The questions a screen reader asks of a part of the text, and where.
enum class Place { Start, End, MinusOne, PastEnd, FarBeyond };

// A log that several rows ask about, shown once for all of them.
struct AskedLog {
    QString name;
    QTemporaryDir dir;
    std::unique_ptr<frmLogView> window;
    LogTextView* view = nullptr;
};

QByteArray numberedLines(int count) {
    QByteArray content;
    for (int i = 0; i < count; ++i)
        content += "line " + QByteArray::number(i).rightJustified(6, '0') + " of the log\n";
    content.chop(1);
    return content;
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
    void answersEveryQuestion_data();
    void answersEveryQuestion();
    void tellsFindResults_data();
    void tellsFindResults();

private:
    LogTextView* askedLog(const QString& name);

    QAccessible::UpdateHandler m_handler = nullptr;
    std::unique_ptr<AskedLog> m_asked;
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
    m_asked.reset();
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

void TestLogAccess::tellsFindResults_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("told"); // what a screen reader reads and is told
    const QByteArray lines = "needle one\nother line\nneedle two\n";
    const QString notFound = u"Not found"_s;
    QTest::newRow("not found") << lines << u"nowhere"_s << u"Return"_s << notFound << notFound;
    QTest::newRow("not found again, told again")
        << lines << u"nowhere"_s << u"Return Return"_s << notFound << notFound;
    QTest::newRow("found") << lines << u"other"_s << u"Return"_s << QString() << u"Found"_s;
    QTest::newRow("found again, told again")
        << lines << u"needle"_s << u"Return Return"_s << QString() << u"Found"_s;
    QTest::newRow("on past the end, wrapped")
        << lines << u"needle"_s << u"Return Return Return"_s << u"Wrapped"_s << u"Wrapped"_s;
    QTest::newRow("back past the start, wrapped")
        << lines << u"needle"_s << u"Shift+Return"_s << u"Wrapped"_s << u"Wrapped"_s;
}

// The find bar's result through the toolkit: the result label reads it, the text field, which
// has the focus, describes it, and both changes reach assistive technology by the toolkit's own
// road (see AccessibilityBridge.h) after each key that searches.
void TestLogAccess::tellsFindResults() {
    QFETCH(QByteArray, content);
    QFETCH(QString, needle);
    QFETCH(QString, keys);
    QFETCH(QString, shown);
    QFETCH(QString, told);
    ShownLog log(content);
    press(log.view, u"Ctrl+F"_s);
    auto* field = control<QLineEdit>(*log.view, "txt_find");
    auto* label = control<QLabel>(*log.view, "lbl_find_status");
    field->setText(needle);
    for (const QString& key : keys.split(u' ')) {
        accessibilitybridge::heard().clear();
        press(field, key);
        QTRY_VERIFY(label->text() != u"Searching\u2026"_s);
    }
    QCOMPARE(label->text(), shown);
    QCOMPARE(QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name), told);
    QCOMPARE(QAccessible::queryAccessibleInterface(field)->text(QAccessible::Description), told);

    // What the last key made the toolkit tell, the result last.
    QString labelTold;
    QString fieldTold = u"(nothing)"_s;
    for (const accessibilitybridge::Heard& heard : accessibilitybridge::heard()) {
        if (heard.object == label && heard.type == QAccessible::NameChanged)
            labelTold = heard.name;
        if (heard.object == field && heard.type == QAccessible::DescriptionChanged)
            fieldTold = heard.description;
    }
    QCOMPARE(labelTold, told);
    QCOMPARE(fieldTold, told);
}

// The log of that name in a window, the same one for consecutive rows. A gigabyte is a sparse
// file whose first 1.3 MB are lines, asked as its window first opens: most of it not yet
// indexed, a part of it offered. The others are shown once indexed whole; the one of 200,000
// lines, more than is offered whole, at its end.
LogTextView* TestLogAccess::askedLog(const QString& name) {
    if (m_asked && m_asked->name == name)
        return m_asked->view;
    m_asked.reset();
    auto asked = std::make_unique<AskedLog>();
    asked->name = name;
    const QString path = asked->dir.filePath(u"x.dump.log"_s);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return nullptr;
    if (name == u"a gigabyte"_s) {
        file.write(numberedLines(40'000) + '\n');
        file.resize((qint64{1} << 30) - 10);
        file.seek(file.size());
        file.write("\nlast line");
    } else {
        const QMap<QString, QByteArray> logs{
            {u"empty"_s, ""},
            {u"one line"_s, "one line"},
            {u"lines"_s, "first line\nsecond line\nlast"},
            {u"lines and a final line feed"_s, "first line\nlast line\n"},
            {u"200,000 lines, at the end"_s, numberedLines(200'000)}};
        file.write(logs.value(name));
    }
    file.close();
    asked->window = std::make_unique<frmLogView>();
    asked->window->showLog(u"Export Log"_s, platform::ReadOnlyFile::open(path), path);
    asked->view = logText(*asked->window);
    if (name != u"a gigabyte"_s) {
        [&] { QTRY_VERIFY(!asked->view->isIndexing()); }();
        press(asked->view, u"Ctrl+End"_s);
    }
    m_asked = std::move(asked);
    return m_asked->view;
}

void TestLogAccess::answersEveryQuestion_data() {
    QTest::addColumn<QString>("log");
    QTest::addColumn<int>("unit");
    QTest::addColumn<Place>("place");
    // Before, at and after the place; a null text: none. No list: any answer that holds together.
    QTest::addColumn<QStringList>("expected");
    using B = QAccessible::TextBoundaryType;
    const QString none;
    const struct {
        const char* name;
        B unit;
    } units[] = {{"character", B::CharBoundary},    {"word", B::WordBoundary},
                 {"sentence", B::SentenceBoundary}, {"paragraph", B::ParagraphBoundary},
                 {"line", B::LineBoundary},         {"no boundary", B::NoBoundary}};
    const struct {
        const char* name;
        Place place;
    } places[] = {{"0", Place::Start},
                  {"the end", Place::End},
                  {"-1", Place::MinusOne},
                  {"past the end", Place::PastEnd},
                  {"far beyond the offered text", Place::FarBeyond}};
    // What is read at the start and at the end of each small log, by unit.
    struct Reads {
        QStringList character, word, line, whole;
    };
    const QString lines = u"first line\nsecond line\nlast"_s;
    const QString fed = u"first line\nlast line\n"_s;
    const QMap<QString, std::pair<Reads, Reads>> small{
        {u"empty"_s,
         {{{none, u""_s, none}, {none, u""_s, none}, {none, u""_s, none}, {none, u""_s, none}},
          {{none, u""_s, none}, {none, u""_s, none}, {none, u""_s, none}, {none, u""_s, none}}}},
        {u"one line"_s,
         {{{none, u"o"_s, u"n"_s},
           {none, u"one"_s, u" "_s},
           {none, u"one line"_s, none},
           {none, u"one line"_s, none}},
          {{u"e"_s, u""_s, none},
           {u"line"_s, u""_s, none},
           {none, u"one line"_s, none},
           {none, u"one line"_s, none}}}},
        {u"lines"_s,
         {{{none, u"f"_s, u"i"_s},
           {none, u"first"_s, u" "_s},
           {none, u"first line\n"_s, u"second line\n"_s},
           {none, lines, none}},
          {{u"t"_s, u""_s, none},
           {u"last"_s, u""_s, none},
           {u"second line\n"_s, u"last"_s, none},
           {none, lines, none}}}},
        {u"lines and a final line feed"_s,
         {{{none, u"f"_s, u"i"_s},
           {none, u"first"_s, u" "_s},
           {none, u"first line\n"_s, u"last line\n"_s},
           {none, fed, none}},
          {{u"\n"_s, u""_s, none},
           {u"\n"_s, u""_s, none},
           {u"last line\n"_s, u""_s, none},
           {none, fed, none}}}}};
    const QStringList logs = {u"empty"_s,
                              u"one line"_s,
                              u"lines"_s,
                              u"lines and a final line feed"_s,
                              u"200,000 lines, at the end"_s,
                              u"a gigabyte"_s};
    for (const QString& log : logs) {
        for (const auto& [unitName, unit] : units) {
            for (const auto& [placeName, place] : places) {
                QStringList expected;
                if (place == Place::PastEnd || place == Place::FarBeyond) {
                    expected = {none, none, none};
                } else if (small.contains(log)) {
                    const Reads& reads =
                        place == Place::Start ? small[log].first : small[log].second;
                    expected = unit == B::CharBoundary   ? reads.character
                               : unit == B::WordBoundary ? reads.word
                               : unit == B::NoBoundary   ? reads.whole
                                                         : reads.line;
                }
                QTest::addRow("%s, %s, %s", qPrintable(log), unitName, placeName)
                    << log << int{unit} << place << expected;
            }
        }
    }
}

// Every question about a part of the text answers, within a bound the watchdog keeps; the parts
// before, at and after a place join up, and each is the text between its offsets.
void TestLogAccess::answersEveryQuestion() {
    QFETCH(QString, log);
    QFETCH(int, unit);
    QFETCH(Place, place);
    QFETCH(QStringList, expected);
    LogTextView* view = askedLog(log);
    QVERIFY(view);
    QAccessibleTextInterface* text = textOf(view);
    const int size = text->characterCount();
    if (log == u"a gigabyte"_s || log.startsWith(u"200,000"_s))
        QVERIFY(size < LogAccessibleText::WholeBytes); // only a part is offered
    const int offset = place == Place::Start      ? 0
                       : place == Place::End      ? size
                       : place == Place::MinusOne ? -1
                       : place == Place::PastEnd  ? size + 1
                                                  : size + (1 << 24);
    const auto boundary = QAccessible::TextBoundaryType(unit);
    using Ask =
        QString (QAccessibleTextInterface::*)(int, QAccessible::TextBoundaryType, int*, int*) const;
    const std::pair<const char*, Ask> questions[] = {
        {"textBeforeOffset", &QAccessibleTextInterface::textBeforeOffset},
        {"textAtOffset", &QAccessibleTextInterface::textAtOffset},
        {"textAfterOffset", &QAccessibleTextInterface::textAfterOffset}};
    struct Answer {
        QString text;
        int start = 0;
        int end = 0;
    } answers[3];
    for (int i = 0; i < 3; ++i) {
        Answer& answer = answers[i];
        answer.text = answeredWithin(5s, questions[i].first, [&] {
            return (text->*questions[i].second)(offset, boundary, &answer.start, &answer.end);
        });
        if (answer.start < 0) {
            QCOMPARE(std::pair(answer.start, answer.end), std::pair(-1, -1));
            QVERIFY(answer.text.isNull());
            continue;
        }
        QVERIFY(0 <= answer.start && answer.start <= answer.end && answer.end <= size);
        QCOMPARE(answer.text, text->text(answer.start, answer.end));
    }
    if (!expected.isEmpty()) {
        const QStringList got{answers[0].text, answers[1].text, answers[2].text};
        QCOMPARE(got, expected);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(got[i].isNull(), expected[i].isNull());
    }
    // The part at the place holds it; the parts either side meet it.
    const Answer& at = answers[1];
    if (at.start >= 0) {
        const int where = offset < 0 ? size : offset;
        QVERIFY(at.start <= where && where <= at.end);
        if (answers[0].start >= 0)
            QCOMPARE(answers[0].end, at.start);
        if (answers[2].start >= 0)
            QCOMPARE(answers[2].start, at.end);
    }
}

QTEST_MAIN(TestLogAccess)
#include "tst_logaccess.moc"
