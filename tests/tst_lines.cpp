// SPDX-License-Identifier: GPL-3.0-or-later
// What the console and the log window share about a run's lines: which lines are problems and
// which line closes a run, read from bytes and from UTF-16 alike; the words that sum a run up;
// and problem colours that read on light, dark and odd backgrounds.
#include "runs/lines/LineClass.h"
#include "runs/lines/ProblemColours.h"
#include "runs/lines/RunSummary.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace runs::lines;

Q_DECLARE_METATYPE(runs::lines::LineClass)

namespace {

constexpr LineClass plain{};
constexpr LineClass error{LineKind::Error};
constexpr LineClass warning{LineKind::Warning};

constexpr LineClass closing(Utility utility, Outcome outcome) {
    return {LineKind::Closing, outcome, utility};
}

QString described(const LineClass& line) {
    static const char* const kinds[] = {"plain", "error", "warning", "closing"};
    static const char* const outcomes[] = {"succeeded", "with warnings", "failed"};
    QString text = QString::fromLatin1(kinds[static_cast<int>(line.kind)]);
    if (line.kind == LineKind::Closing) {
        text += line.utility == Utility::Import ? u" import "_s : u" export "_s;
        text += QString::fromLatin1(outcomes[static_cast<int>(line.outcome)]);
    }
    return text;
}

std::u16string_view utf16(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

// Hue in degrees, apart by the short way round the circle.
int hueDistance(const QColor& a, const QColor& b) {
    const int apart = std::abs(a.hslHue() - b.hslHue());
    return std::min(apart, 360 - apart);
}

} // namespace

class TestLines : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void classifiesLines_data();
    void classifiesLines();
    void sumsUpARun_data();
    void sumsUpARun();
    void coloursRead_data();
    void coloursRead();
};

void TestLines::classifiesLines_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<LineClass>("expected");
    const auto row = [](const char* name, const QString& line, const LineClass& expected) {
        QTest::newRow(name) << line << expected;
    };
    const auto exportAs = [](Outcome outcome) { return closing(Utility::Export, outcome); };
    const auto importAs = [](Outcome outcome) { return closing(Utility::Import, outcome); };

    row("export code", u"EXP-00011: SCOTT.NOPE does not exist"_s, error);
    row("import code",
        u"IMP-00015: following statement failed because the object already "
        u"exists:"_s,
        error);
    row("database code", u"ORA-01017: invalid username/password; logon denied"_s, error);
    row("parameter code", u"LRM-00101: unknown parameter name 'colour'"_s, error);
    row("two letters", u"KU-12345: two will do"_s, error);
    row("five letters", u"ABCDE-12345: five will do"_s, error);
    row("code alone", u"ORA-00942:"_s, error);
    row("spaces first", u"   EXP-00011: HR.X does not exist"_s, error);
    row("tab and space first", u"\t EXP-00011: HR.X does not exist"_s, error);
    row("ERROR:", u"ERROR: the dump ends early"_s, error);
    row("ERROR: after blanks", u"  ERROR: indented"_s, error);
    row("WARNING:", u"WARNING: standard error cannot be written"_s, warning);
    row("WARNING: after a tab", u"\tWARNING: indented"_s, warning);
    row("code, line end and more", u"ORA-00001: unique constraint violated\nnext line"_s, error);
    row("code ends in CR", u"ORA-00001:\r"_s, error);

    row("export without warnings", u"Export terminated successfully without warnings."_s,
        exportAs(Outcome::Succeeded));
    row("export with warnings", u"Export terminated successfully with warnings."_s,
        exportAs(Outcome::SucceededWithWarnings));
    row("export failed", u"Export terminated unsuccessfully"_s, exportAs(Outcome::Failed));
    row("export failed after its code", u"EXP-00000: Export terminated unsuccessfully"_s,
        exportAs(Outcome::Failed));
    row("import without warnings", u"Import terminated successfully without warnings."_s,
        importAs(Outcome::Succeeded));
    row("import with warnings", u"Import terminated successfully with warnings."_s,
        importAs(Outcome::SucceededWithWarnings));
    row("import failed after its code", u"IMP-00000: Import terminated unsuccessfully"_s,
        importAs(Outcome::Failed));
    row("closing without its period", u"Import terminated successfully with warnings"_s,
        importAs(Outcome::SucceededWithWarnings));
    row("closing with a period it lacks", u"Export terminated unsuccessfully."_s,
        exportAs(Outcome::Failed));
    row("closing in CR LF", u"Export terminated successfully without warnings.\r\n"_s,
        exportAs(Outcome::Succeeded));
    row("closing, blanks after", u"Export terminated successfully with warnings.  \t"_s,
        exportAs(Outcome::SucceededWithWarnings));
    row("closing indented", u"  Import terminated unsuccessfully"_s, importAs(Outcome::Failed));

    row("empty", QString(), plain);
    row("blanks only", u"  \t "_s, plain);
    row("table line", u". . exporting table                           EMP         14 rows"_s,
        plain);
    row("capital, then lower case", u"Connected to DEMO as SCOTT"_s, plain);
    row("capitals without a code", u"EXPORTING TABLE EMP"_s, plain);
    row("one capital alone", u"E"_s, plain);
    row("Export, not closing", u"Exported 3 tables"_s, plain);
    row("code inside a line", u"  the log said EXP-00011: SCOTT.X does not exist"_s, plain);
    row("four digits", u"EXP-0011: four digits"_s, plain);
    row("six digits", u"EXP-000110: six digits"_s, plain);
    row("one letter", u"E-00011: one letter"_s, plain);
    row("six letters", u"EXPORT-00011: six letters"_s, plain);
    row("lower case code", u"exp-00011: lower case"_s, plain);
    row("mixed case code", u"Exp-00011: mixed case"_s, plain);
    row("missing colon", u"EXP-00011 SCOTT.X does not exist"_s, plain);
    row("blank before the colon", u"EXP-00011 : spaced"_s, plain);
    row("lower case error", u"error: lower case"_s, plain);
    row("ERROR without colon", u"ERROR in line 3"_s, plain);
    row("WARNINGS:", u"WARNINGS: plural"_s, plain);
    row("closing cut short", u"Export terminated successfully"_s, plain);
    row("closing cut shorter", u"Export terminated successfully with"_s, plain);
    row("closing with more after", u"Export terminated successfully with warnings. Really."_s,
        plain);
    row("closing in lower case", u"export terminated unsuccessfully"_s, plain);
    row("closing of another program", u"Backup terminated unsuccessfully"_s, plain);
    row("code past the significant start",
        QString(int(significantLength), u' ') + u"EXP-00011: too far in"_s, plain);
    row("code just inside the significant start",
        QString(int(significantLength) - 10, u' ') + u"ORA-00001:"_s, error);
    row("code on the next line", u"plain\nEXP-00011: next"_s, plain);
    row("code after a non-ASCII letter", u"\u00c9XP-00011: accented"_s, plain);
    row("code after a wide blank", u"\u3000EXP-00011: ideographic space"_s, plain);
}

// Every line goes through both entries: the log window's bytes and the console's UTF-16.
void TestLines::classifiesLines() {
    QFETCH(QString, line);
    QFETCH(LineClass, expected);

    const QByteArray bytes = line.toUtf8();
    const LineClass fromBytes = classify(std::string_view(bytes.constData(), bytes.size()));
    const LineClass fromUtf16 = classify(utf16(line));
    QCOMPARE(described(fromBytes), described(expected));
    QCOMPARE(described(fromUtf16), described(expected));
    QVERIFY(fromBytes == expected && fromUtf16 == expected);
}

void TestLines::sumsUpARun_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QString>("endTail");
    const auto row = [](const char* name, const QStringList& lines, const QString& summary,
                        const QString& endTail) {
        QTest::newRow(name) << lines << summary << endTail;
    };
    row("clean export",
        {u"About to export"_s, u"  exported SCOTT.EMP: 300 rows"_s,
         u"Export terminated successfully without warnings."_s},
        u"Export terminated successfully without warnings \u2014 no problems"_s,
        u"terminated successfully without warnings"_s);
    row("export with three warnings",
        {u"EXP-00011: SCOTT.NOPE does not exist"_s, u"WARNING: one"_s,
         u"ORA-00942: table or view does not exist"_s,
         u"Export terminated successfully with warnings."_s},
        u"Export terminated successfully with warnings \u2014 3 problems (F8)"_s,
        u"terminated successfully with warnings, 3 problems"_s);
    row("failed import, one problem",
        {u"IMP-00010: not a valid export file, header failed verification"_s,
         u"IMP-00000: Import terminated unsuccessfully"_s},
        u"Import terminated unsuccessfully \u2014 1 problem (F8)"_s,
        u"terminated unsuccessfully, 1 problem"_s);
    row("warnings said, none coded", {u"Import terminated successfully with warnings."_s},
        u"Import terminated successfully with warnings \u2014 no problems"_s,
        u"terminated successfully with warnings"_s);
    row("no closing line yet", {u"ERROR: stopped"_s, u"ORA-01013: cancelled"_s},
        u"No closing line \u2014 2 problems (F8)"_s, u"2 problems"_s);
    row("nothing at all", {}, u"No closing line \u2014 no problems"_s, QString());
    row("the last closing line counts",
        {u"Export terminated successfully without warnings."_s, u"EXP-00011: X does not exist"_s,
         u"Export terminated successfully with warnings."_s},
        u"Export terminated successfully with warnings \u2014 1 problem (F8)"_s,
        u"terminated successfully with warnings, 1 problem"_s);
}

void TestLines::sumsUpARun() {
    QFETCH(QStringList, lines);
    QFETCH(QString, summary);
    QFETCH(QString, endTail);

    RunTally tally;
    for (const QString& line : lines)
        tally.add(classify(utf16(line)));
    QCOMPARE(QString::fromStdString(summaryText(tally)), summary);
    QCOMPARE(QString::fromStdString(endLineTail(tally)), endTail);
}

void TestLines::coloursRead_data() {
    QTest::addColumn<QColor>("background");
    QTest::addColumn<bool>("desktop"); // a desktop theme's text box: its hues stay as on white
    const auto row = [](const char* name, const QColor& background, bool desktop) {
        QTest::newRow(name) << background << desktop;
    };
    row("light: white", QColor(0xFF, 0xFF, 0xFF), true);
    row("light: Breeze", QColor(0xFC, 0xFC, 0xFC), true);
    row("light: warm paper", QColor(0xF6, 0xF5, 0xF4), true);
    row("dark: Breeze", QColor(0x23, 0x26, 0x29), true);
    row("dark: Adwaita", QColor(0x24, 0x24, 0x24), true);
    row("dark: Windows", QColor(0x1F, 0x1F, 0x1F), true);
    row("dark: high contrast black", QColor(0x00, 0x00, 0x00), true);
    row("odd: middle grey", QColor(0x77, 0x77, 0x77), false);
    row("odd: the grey equally far from black and white", QColor(0x76, 0x76, 0x76), false);
    row("odd: pure red", QColor(0xFF, 0x00, 0x00), false);
    row("odd: pure blue", QColor(0x00, 0x00, 0xFF), false);
    row("odd: light yellow", QColor(0xFF, 0xFF, 0x80), false);
    row("odd: dark blue", QColor(0x00, 0x00, 0x40), false);
    row("odd: green", QColor(0x00, 0x80, 0x00), false);
}

void TestLines::coloursRead() {
    QFETCH(QColor, background);
    QFETCH(bool, desktop);

    QPalette palette;
    palette.setColor(QPalette::Base, background);
    const ProblemColours colours = problemColours(palette);
    const struct {
        const char* name;
        LineClass line;
        QColor colour;
    } drawn[] = {
        {"error", error, colours.error},
        {"warning", warning, colours.warning},
        {"succeeded", closing(Utility::Export, Outcome::Succeeded), colours.succeeded},
        {"with warnings", closing(Utility::Import, Outcome::SucceededWithWarnings),
         colours.warning},
        {"failed", closing(Utility::Export, Outcome::Failed), colours.error},
    };
    for (const auto& [name, line, colour] : drawn) {
        QCOMPARE(colours.colourOf(line), colour);
        QVERIFY2(contrastRatio(colour, background) >= minimumContrast,
                 qPrintable(u"%1 %2: %3"_s.arg(QString::fromLatin1(name), colour.name())
                                .arg(contrastRatio(colour, background))));
    }
    QVERIFY(!colours.colourOf(plain).isValid());
    if (!desktop)
        return;
    // On a desktop's own background the three stay told apart by their hues.
    const ProblemColours onWhite = problemColours(QColor(Qt::white));
    QVERIFY(hueDistance(colours.error, onWhite.error) <= 4);
    QVERIFY(hueDistance(colours.warning, onWhite.warning) <= 4);
    QVERIFY(hueDistance(colours.succeeded, onWhite.succeeded) <= 4);
    QVERIFY(hueDistance(colours.error, colours.warning) >= 20);
    QVERIFY(hueDistance(colours.warning, colours.succeeded) >= 40);
}

QTEST_MAIN(TestLines)
#include "tst_lines.moc"
