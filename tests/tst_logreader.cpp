// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader asks of the log window and is told: every part of the text (character,
// word, sentence, paragraph, line or the whole) before, at and after every place that matters,
// in logs from empty to a gigabyte, each question answered within a bound a watchdog keeps; and
// the find bar's result, read and announced.
#include "runs/logview/LogAccessible.h"
#include "support/AccessibilityBridge.h"
#include "support/LogViewTest.h"
#include "support/Watchdog.h"

#include <QLabel>
#include <QLineEdit>

#include <memory>

using namespace std::chrono_literals;
using namespace logtest;

namespace {

// The places a screen reader asks about.
enum class Place { Start, End, MinusOne, PastEnd, FarBeyond };

// A log that several rows ask about, shown once for all of them.
struct AskedLog {
    QString name;
    QTemporaryDir dir;
    std::unique_ptr<frmLogView> window;
    LogTextView* view = nullptr;
};

} // namespace

class TestLogReader : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void answersEveryQuestion_data();
    void answersEveryQuestion();
    void tellsFindResults_data();
    void tellsFindResults();

private:
    LogTextView* askedLog(const QString& name);

    std::unique_ptr<AskedLog> m_asked;
};

void TestLogReader::initTestCase() {
    LogAccessible::install();
}

void TestLogReader::cleanupTestCase() {
    m_asked.reset();
}

// The log of that name in a window, the same one for consecutive rows. A gigabyte is a sparse
// file whose first 1.3 MB are lines, asked as its window first opens: most of it not yet
// indexed, a part of it offered. The others are shown once indexed whole; the one of 200,000
// lines, more than is offered whole, at its end.
LogTextView* TestLogReader::askedLog(const QString& name) {
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

void TestLogReader::answersEveryQuestion_data() {
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
void TestLogReader::answersEveryQuestion() {
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
        const Ask ask = questions[i].second;
        answer.text =
            answeredWithin(5s, questions[i].first, [&answer, text, ask, offset, boundary] {
                return (text->*ask)(offset, boundary, &answer.start, &answer.end);
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

void TestLogReader::tellsFindResults_data() {
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
void TestLogReader::tellsFindResults() {
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

QTEST_MAIN(TestLogReader)
#include "tst_logreader.moc"
