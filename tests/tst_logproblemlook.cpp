// SPDX-License-Identifier: GPL-3.0-or-later
// How the log window shows its problems, as drawn: problem and closing lines in their colours,
// clear on light and dark text boxes, selected lines as selected; the ticks along the scroll
// bar, where each problem stands, in its colour, bounded however many there are; and a click
// on a tick going to the problem.
#include "runs/lines/ProblemColours.h"
#include "runs/logview/LogAccessible.h"
#include "runs/logview/ProblemScrollBar.h"
#include "support/ProblemLogs.h"

#include <QStyleOptionSlider>

using namespace problemlogs;
using runs::lines::LineKind;

namespace {

// The most common colour of an area and the one that stands out from it most: the background
// and the text at its fullest.
std::pair<QColor, QColor> backgroundAndText(const QImage& shot, const QRect& area) {
    QHash<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[shot.pixel(x, y)];
    }
    QRgb background = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > counts.value(background))
            background = it.key();
    }
    QRgb text = background;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (runs::lines::contrastRatio(QColor(it.key()), QColor(background)) >
            runs::lines::contrastRatio(QColor(text), QColor(background)))
            text = it.key();
    }
    return {QColor(background), QColor(text)};
}

ProblemScrollBar* marksBar(LogTextView* view) {
    return qobject_cast<ProblemScrollBar*>(view->verticalScrollBar());
}

// A part of the bar as the style places it.
QRect partOf(ProblemScrollBar* bar, QStyle::SubControl part) {
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = Qt::Vertical;
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.pageStep = bar->pageStep();
    option.singleStep = bar->singleStep();
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar);
}

QRect grooveOf(ProblemScrollBar* bar) {
    return partOf(bar, QStyle::SC_ScrollBarGroove);
}

qint64 lineAt(const QByteArray& content, qint64 offset) {
    return content.left(offset).count('\n');
}

// Restores the desktop's palette when a test ends.
struct PaletteKept {
    QPalette desktop = QApplication::palette();
    ~PaletteKept() { QApplication::setPalette(desktop); }
};

} // namespace

class TestLogProblemLook : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void drawsProblemColours_data();
    void drawsProblemColours();
    void marksTheScrollBar_data();
    void marksTheScrollBar();
    void clickedTickGoesThere_data();
    void clickedTickGoesThere();
};

void TestLogProblemLook::initTestCase() {
    LogAccessible::install();
}

void TestLogProblemLook::init() {
    if (frmLogView* log = openLogWindow())
        log->close();
}

void TestLogProblemLook::cleanup() {
    QTRY_VERIFY(noWindowLeft());
}

void TestLogProblemLook::drawsProblemColours_data() {
    QTest::addColumn<QColor>("base"); // the text box's background; its text the other extreme
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<int>("kind"); // of the colour it is drawn in; -1: the text's own
    QTest::addColumn<int>("outcome");
    using runs::lines::Outcome;
    const struct {
        const char* name;
        QByteArray line;
        LineKind kind;
        Outcome outcome;
    } lines[] = {
        {"coded error", "EXP-00011: SCOTT.BONUS does not exist", LineKind::Error, {}},
        {"error", "ERROR: the dump is damaged", LineKind::Error, {}},
        {"warning after blanks", "  WARNING: table is empty", LineKind::Warning, {}},
        {"clean end", "Export terminated successfully without warnings.", LineKind::Closing,
         Outcome::Succeeded},
        {"warned end", "Import terminated successfully with warnings.", LineKind::Closing,
         Outcome::SucceededWithWarnings},
        {"failed end", "EXP-00000: Export terminated unsuccessfully", LineKind::Closing,
         Outcome::Failed},
        {"plain", ". . exporting table EMP  14 rows exported", LineKind::Plain, {}},
    };
    const struct {
        const char* name;
        QColor base;
    } themes[] = {{"light", QColor(Qt::white)}, {"dark", QColor(0x1b, 0x1e, 0x20)}};
    for (const auto& theme : themes) {
        for (const auto& line : lines) {
            const int kind = line.kind == LineKind::Plain ? -1 : int(line.kind);
            QTest::addRow("%s, %s", theme.name, line.name)
                << theme.base << line.line << false << kind << int(line.outcome);
        }
        QTest::addRow("%s, selected error", theme.name)
            << theme.base << QByteArray("ORA-01017: logon denied") << true << -1 << 0;
    }
}

// The line's row as grabbed from the box: the text stands in its colour on the box's background,
// with a contrast of at least 4.5 to 1; a selected line stands as any selection.
void TestLogProblemLook::drawsProblemColours() {
    QFETCH(QColor, base);
    QFETCH(QByteArray, line);
    QFETCH(bool, selected);
    QFETCH(int, kind);
    QFETCH(int, outcome);
    PaletteKept kept;
    QPalette theme = kept.desktop;
    const QColor text = base.lightness() > 128 ? QColor(Qt::black) : QColor(0xee, 0xee, 0xee);
    theme.setColor(QPalette::Base, base);
    theme.setColor(QPalette::Text, text);
    QApplication::setPalette(theme);
    ShownLog log(plainLines(1) + line + '\n' + plainLines(1, 1));
    if (selected)
        press(log.view, u"F8"_s);
    log.view->viewport()->repaint();
    const QImage shot = log.view->viewport()->grab().toImage();
    // The row's text, where a selection covers all of it.
    const int height = log.view->fontMetrics().lineSpacing();
    const QRect row(4, 4 + height,
                    log.view->fontMetrics().horizontalAdvance(QString::fromLatin1(line)) - 2,
                    height);
    const auto [background, drawn] = backgroundAndText(shot, row);

    const QPalette& palette = log.view->palette();
    QColor expected = text;
    if (selected) {
        QCOMPARE(background, palette.color(QPalette::Highlight));
        expected = palette.color(QPalette::HighlightedText);
    } else {
        QCOMPARE(background, base);
        if (kind >= 0)
            expected = runs::lines::problemColours(base).colourOf(
                {LineKind(kind), runs::lines::Outcome(outcome)});
    }
    QCOMPARE(drawn.rgb(), expected.rgb());
    // A selection wears the desktop's colours, whatever they are.
    if (!selected)
        QVERIFY2(runs::lines::contrastRatio(drawn, background) >= 4.5,
                 qPrintable(QString::number(runs::lines::contrastRatio(drawn, background))));
}

void TestLogProblemLook::marksTheScrollBar_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QList<int>>("kinds"); // each tick's, top to bottom; empty: not compared
    QTest::addColumn<int>("problems");
    const int error = int(LineKind::Error);
    const int warning = int(LineKind::Warning);
    QTest::newRow("none") << plainLines(3000) << QList<int>{} << 0;
    QTest::newRow("an error first, a warning in the middle, an error last")
        << problemLine(0) + plainLines(3000) + problemLine(1) + plainLines(3000) + problemLine(2)
        << QList<int>{error, warning, error} << 3;
    QTest::newRow("an error and a warning side by side: one tick, the error's")
        << plainLines(3000) + problemLine(1) + problemLine(2) + plainLines(3000)
        << QList<int>{error} << 2;
    QTest::newRow("ten thousand problem lines") << everyNth(30'000, 3) << QList<int>{} << 10'000;
}

// The ticks as the bar paints them: one where each problem stands in the whole log, as far
// down the groove as its line is down the log, in its kind's colour, which reads on the groove;
// no more than the groove has rows, and the marks behind them bounded.
void TestLogProblemLook::marksTheScrollBar() {
    QFETCH(QByteArray, content);
    QFETCH(QList<int>, kinds);
    QFETCH(int, problems);
    ShownLog log(content);
    ProblemScrollBar* bar = marksBar(log.view);
    QVERIFY(bar);
    const QList<ProblemScrollBar::Tick> ticks = bar->ticks();
    const LogDocument& document = log.view->document();
    QCOMPARE(document.problems().tally.problems, size_t(problems));
    QVERIFY(document.problems().marks.bucketCount() <= ProblemMarks::BucketCount);
    const QRect groove = grooveOf(bar);
    QVERIFY(ticks.size() <= groove.height());
    QCOMPARE(ticks.isEmpty(), problems == 0);
    if (!kinds.isEmpty()) {
        QList<int> found;
        for (const ProblemScrollBar::Tick& tick : ticks)
            found.append(int(tick.kind));
        QCOMPARE(found, kinds);
    }
    const QImage shot = bar->grab().toImage();
    const int x = groove.center().x();
    const double lines = static_cast<double>(document.lineCount());
    for (const ProblemScrollBar::Tick& tick : ticks) {
        const double share = static_cast<double>(lineAt(content, tick.offset)) / lines;
        const int expectedTop = qMin(groove.top() + static_cast<int>(share * groove.height()),
                                     groove.bottom() + 1 - ProblemScrollBar::TickHeight);
        QVERIFY2(qAbs(tick.top - expectedTop) <= 1,
                 qPrintable(u"%1 for %2"_s.arg(tick.top).arg(expectedTop)));
        QCOMPARE(shot.pixel(x, tick.top + 1), bar->colourOf(tick.kind).rgb());
    }
    // The groove where neither a tick nor the handle is: the colours read on it.
    const QRect handle = partOf(bar, QStyle::SC_ScrollBarSlider);
    for (int y = groove.top(); y <= groove.bottom(); ++y) {
        const bool ticked = std::any_of(ticks.cbegin(), ticks.cend(), [y](const auto& tick) {
            return qAbs(y - tick.top) <= ProblemScrollBar::TickHeight;
        });
        if (ticked || (handle.top() - 2 <= y && y <= handle.bottom() + 2))
            continue;
        for (const LineKind kind : {LineKind::Error, LineKind::Warning})
            QVERIFY(runs::lines::contrastRatio(bar->colourOf(kind), shot.pixelColor(x, y)) >= 3.0);
        break;
    }
}

void TestLogProblemLook::clickedTickGoesThere_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("tick");        // clicked; -1: the groove away from any
    QTest::addColumn<QString>("selects"); // the text selected then
    const QByteArray three =
        problemLine(0) + plainLines(3000) + problemLine(1) + plainLines(3000) + problemLine(2);
    QTest::newRow("the middle one") << three << 1 << QString::fromLatin1(problemLine(1).chopped(1));
    QTest::newRow("the last one") << three << 2 << QString::fromLatin1(problemLine(2).chopped(1));
    QTest::newRow("the groove between them pages") << three << -1 << QString();
}

// A click on a tick selects the problem it marks, the caret at its start and in view, as F8
// does; elsewhere in the groove the bar pages as ever.
void TestLogProblemLook::clickedTickGoesThere() {
    QFETCH(QByteArray, content);
    QFETCH(int, tick);
    QFETCH(QString, selects);
    ShownLog log(content);
    ProblemScrollBar* bar = marksBar(log.view);
    const QList<ProblemScrollBar::Tick> ticks = bar->ticks();
    QCOMPARE(ticks.size(), 3);
    const int value = bar->value();
    const int y = tick >= 0 ? ticks[tick].top + 1 : (ticks[1].top + ticks[2].top) / 2;
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(grooveOf(bar).center().x(), y));
    QCOMPARE(selected(log.view), selects);
    if (tick >= 0)
        QVERIFY(caretStartsSelection(log.view, selects));
    else
        QVERIFY(bar->value() > value);
}

QTEST_MAIN(TestLogProblemLook)
#include "tst_logproblemlook.moc"
