// SPDX-License-Identifier: GPL-3.0-or-later
// The console's lines as the operator sees them: the line that ends a run, problem lines and
// closing lines drawn in their colours on a light and a dark background, and the utility's
// character set, every one read byte for byte as the log window reads it.
#include "platform/CharacterSets.h"
#include "platform/NlsEncoding.h"
#include "runs/lines/ProblemColours.h"
#include "support/EnvironmentGuard.h"
#include "support/FakeConsole.h"
#include "support/LogViewTest.h"

#include <QClipboard>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTextBlock>

using runs::console::ConsoleView;
using runs::console::UtilityConsole;

namespace {

const QByteArray Blocks = QByteArray("\xe2\x96\x88").repeated(12); // full blocks, solid text

// The colour a row of the text area is drawn in: of the pixels that differ from the background,
// the one furthest from it, where a glyph covers its pixel whole.
QColor drawnColour(ConsoleView* view, int row, QColor* background) {
    const QImage shot = view->viewport()->grab().toImage();
    const QTextBlock block = view->document()->findBlockByNumber(row);
    const QRect rowArea = view->cursorRect(QTextCursor(block));
    *background = shot.pixelColor(shot.width() - 2, rowArea.center().y());
    QColor furthest = *background;
    int distance = 0;
    for (int y = rowArea.top(); y <= rowArea.bottom(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const QColor pixel = shot.pixelColor(x, y);
            const int from = std::abs(pixel.red() - background->red()) +
                             std::abs(pixel.green() - background->green()) +
                             std::abs(pixel.blue() - background->blue());
            if (from > distance) {
                distance = from;
                furthest = pixel;
            }
        }
    }
    return furthest;
}

QPalette darkPalette() {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x2d, 0x2d, 0x2d));
    dark.setColor(QPalette::WindowText, QColor(0xe0, 0xe0, 0xe0));
    dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    dark.setColor(QPalette::Text, QColor(0xe0, 0xe0, 0xe0));
    return dark;
}

} // namespace

class TestConsoleLines : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { qunsetenv("NLS_LANG"); }
    void cleanup();
    void endLineStandsApart_data();
    void endLineStandsApart();
    void rowsDrawnInTheirColours_data();
    void rowsDrawnInTheirColours();
    void readsBytesAsTheLogWindow_data();
    void readsBytesAsTheLogWindow();
    void speaksTheUtilitysCharacterSet_data();
    void speaksTheUtilitysCharacterSet();

private:
    EnvironmentGuard m_environment{{u"NLS_LANG"_s}};
};

void TestConsoleLines::cleanup() {
    closeConsoles();
    QTRY_VERIFY(noWindowLeft());
}

void TestConsoleLines::endLineStandsApart_data() {
    // The utility writes its output and ends with exit status 4, or by the signal given.
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<int>("signal");
    QTest::addColumn<QString>("shown");
    const QString end = u"[exp has ended with exit status 4]"_s;
    const auto row = [](const char* name, const QByteArray& output, const QString& shown,
                        int signal = 0) { QTest::newRow(name) << output << signal << shown; };
    row("after an ended line", "done\r\n", u"done\n"_s + end);
    row("after a prompt", "Password: ", u"Password: \n"_s + end);
    row("after a lone escape", "out\x1b", u"out\n"_s + end);
    row("after an unfinished control sequence", "out\x1b[1;3", u"out\n"_s + end);
    row("after a title that never ends", "out\x1b]0;" + QByteArray(1 << 20, 't'), u"out\n"_s + end);
    row("after an escape inside a title", "out\x1b]0;title\x1b", u"out\n"_s + end);
    row("after a half-written character", "caf\xc3", u"caf\uFFFD\n"_s + end);
    row("after a carriage return", "10%\r", u"10%\n"_s + end);
    row("nothing written", {}, end);
    // What the closing line and the problem lines said, after the exit status or the signal.
    row("a closing line and problems",
        "EXP-00011: a\r\nEXP-00011: b\r\nWARNING: c\r\n"
        "Export terminated successfully with warnings.\r\n",
        u"EXP-00011: a\nEXP-00011: b\nWARNING: c\nExport terminated successfully with warnings.\n"
        u"[exp has ended with exit status 4: terminated successfully with warnings, 3 problems]"_s);
    row("a closing line without a line feed", "Import terminated successfully without warnings.",
        u"Import terminated successfully without warnings.\n[exp has ended with exit status 4: "
        u"terminated successfully without warnings]"_s);
    row("problems without a closing line", "ORA-01017: invalid username\r\n",
        u"ORA-01017: invalid username\n[exp has ended with exit status 4: 1 problem]"_s);
    row("killed after a problem", "ORA-01017: invalid username\r\n",
        u"ORA-01017: invalid username\n[exp was ended by signal 9: Killed, 1 problem]"_s, 9);
}

void TestConsoleLines::endLineStandsApart() {
    QFETCH(QByteArray, output);
    QFETCH(int, signal);
    QFETCH(QString, shown);
    FakeTerminal terminal;
    auto* console = new UtilityConsole;
    console->attach(&terminal, u"exp"_s, u"exp"_s);
    Q_EMIT terminal.output(output);
    console->showEnd(signal > 0 ? platform::ProcessEnd{true, signal}
                                : platform::ProcessEnd{false, 4});
    // Copied, the rows of a line the console wrapped are one line again.
    auto* view = control<ConsoleView>(*console, "txt_console");
    view->selectAll();
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(QApplication::clipboard()->text(), shown);
    console->close();
}

void TestConsoleLines::rowsDrawnInTheirColours_data() {
    // Written 20 columns wide; then the window is made narrower when narrower is set, and the
    // desktop turns dark when dark is.
    QTest::addColumn<bool>("dark");
    QTest::addColumn<QByteArrayList>("output"); // written a piece at a time, each shown
    QTest::addColumn<int>("narrower");
    QTest::addColumn<int>("row");        // the row looked at
    QTest::addColumn<QString>("colour"); // error, warning, succeeded, or the text's
    const auto rows = [](bool dark) {
        const auto row = [dark](const char* name, const QByteArrayList& output, int narrower,
                                int lookedAt, const QString& colour) {
            QTest::addRow("%s, %s", dark ? "dark" : "light", name)
                << dark << output << narrower << lookedAt << colour;
        };
        row("a coded problem", {"ORA-01017: " + Blocks + "\r\n"}, 0, 0, u"error"_s);
        row("the second row of a wrapped problem", {"ORA-01017: " + Blocks + "\r\n"}, 0, 1,
            u"error"_s);
        row("a row shown before its line ended", {"ORA-01017: " + Blocks, "\r\n"}, 0, 0,
            u"error"_s);
        row("a row wrapped anew, narrower", {"WARNING: " + Blocks + "\r\n"}, 8, 2, u"warning"_s);
        row("a warning", {"WARNING: x\r\n"}, 0, 0, u"warning"_s);
        row("closing with warnings", {"Export terminated successfully with warnings.\r\n"}, 0, 0,
            u"warning"_s);
        row("closing without warnings", {"Import terminated successfully without warnings.\r\n"}, 0,
            0, u"succeeded"_s);
        row("closing a failure", {"EXP-00000: Export terminated unsuccessfully\r\n"}, 0, 0,
            u"error"_s);
        row("a plain row", {"exported " + Blocks + "\r\n"}, 0, 0, u"text"_s);
        row("a problem still being written", {"ORA-01017: " + Blocks}, 0, 0, u"text"_s);
    };
    rows(false);
    rows(true);
}

void TestConsoleLines::rowsDrawnInTheirColours() {
    QFETCH(bool, dark);
    QFETCH(QByteArrayList, output);
    QFETCH(int, narrower);
    QFETCH(int, row);
    QFETCH(QString, colour);
    FakeConsole fake({8, 20});
    QString text;
    for (const QByteArray& piece : output) {
        Q_EMIT fake.terminal.output(piece);
        text += QString::fromUtf8(piece).remove(u"\r\n"_s);
        QTRY_VERIFY(fake.view->toPlainText().remove(u'\n').startsWith(text));
        QTRY_VERIFY(!piece.endsWith('\n') || fake.view->document()->lastBlock().text().isEmpty());
    }
    if (narrower > 0) {
        fake.console->resize(fake.view->sizeForTerminal({8, narrower}).width(),
                             fake.console->height());
        QTRY_COMPARE(fake.terminal.size.columns, narrower);
    }
    // The theme changes while the rows are shown.
    if (dark)
        fake.console->setPalette(darkPalette());
    // The caret is drawn in the text's colour; it waits in the last row.
    fake.view->moveCursor(QTextCursor::End);
    const QPalette palette = fake.view->palette();
    const runs::lines::ProblemColours colours = runs::lines::problemColours(palette);
    const QColor wanted = colour == u"error"_s       ? colours.error
                          : colour == u"warning"_s   ? colours.warning
                          : colour == u"succeeded"_s ? colours.succeeded
                                                     : palette.color(QPalette::Text);
    QColor background;
    const QColor drawn = drawnColour(fake.view, row, &background);
    QCOMPARE(background, palette.color(QPalette::Base));
    QCOMPARE(drawn.name(), wanted.name());
    QVERIFY2(runs::lines::contrastRatio(drawn, background) >= runs::lines::minimumContrast,
             qPrintable(drawn.name()));
}

void TestConsoleLines::readsBytesAsTheLogWindow_data() {
    QTest::addColumn<QByteArray>("set");
    QTest::addColumn<bool>("byteByByte");
    for (const platform::CharacterSet& set : platform::CharacterSets) {
        for (const bool byteByByte : {false, true})
            QTest::addRow("%s, %s", set.database.data(), byteByByte ? "a byte a read" : "whole")
                << QByteArray(set.database.data()) << byteByByte;
    }
}

// Every byte from 0x80 up alone between blanks, then pairs of which the first starts a
// character in some sets and the second cannot go on with it: the console shows each as the
// log window does, one replacement character for each byte that starts no character, also when
// a character comes in pieces. Only the C1 controls, which a terminal acts on, are not drawn.
void TestConsoleLines::readsBytesAsTheLogWindow() {
    QFETCH(QByteArray, set);
    QFETCH(bool, byteByByte);
    QByteArray line;
    for (int byte = 0x80; byte <= 0xff; ++byte)
        line += char(byte) + QByteArray(" ");
    line += "\xe2\x82 \x8e\xa0 \xed\xa0 \x81\x30\x81 ";
    // In UTF-8, a byte order mark and a replacement character of the text's own.
    line += "\xef\xbb\xbf \xef\xbf\xbd ";
    const QString nlsLang = u"AMERICAN_AMERICA."_s + QString::fromLatin1(set);
    // Characters of the set, of one byte and of several, where it has them.
    const QByteArray encoding = platform::nlsEncodingName(nlsLang.toLatin1());
    for (const QString& character : u"ü 東 京 한 국 中 文 € \U0001F600"_s.split(u' ')) {
        QStringEncoder encoder(encoding.isEmpty() ? "UTF-8" : encoding.constData());
        QStringDecoder decoder(encoding.isEmpty() ? "UTF-8" : encoding.constData());
        const QByteArray bytes = encoder.encode(character);
        if (!encoder.hasError() && QString(decoder.decode(bytes)) == character)
            line += bytes + ' ';
    }
    line += "end";
    QString logWindow;
    {
        logtest::ShownLog log(line + "\n", nlsLang);
        logWindow = logtest::drawnText(log.view->document()).section(u'\n', 0, 0);
    }
    logWindow.removeIf([](QChar c) { return c.unicode() >= 0x80 && c.unicode() < 0xa0; });

    platform::setEnvironmentValue(u"NLS_LANG"_s, nlsLang);
    FakeConsole fake;
    platform::setEnvironmentValue(u"NLS_LANG"_s, {});
    if (byteByByte) {
        for (const char byte : std::as_const(line))
            Q_EMIT fake.terminal.output(QByteArray(1, byte));
    } else {
        Q_EMIT fake.terminal.output(line);
    }
    fake.console->showEnd({});
    fake.view->selectAll();
    QTest::keyClick(fake.view, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    const QString console = QApplication::clipboard()->text().section(u'\n', 0, 0);
    // Where they part, if they do.
    qsizetype same = 0;
    while (same < console.size() && same < logWindow.size() && console[same] == logWindow[same])
        ++same;
    QCOMPARE(std::pair(same, console.sliced(same)), std::pair(same, logWindow.sliced(same)));
}

void TestConsoleLines::speaksTheUtilitysCharacterSet_data() {
    QTest::addColumn<QByteArray>("nlsLang");
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QByteArray>("typed");
    const auto row = [](const char* name, const QByteArray& nlsLang, const QByteArray& output,
                        const QString& shown, const QString& key, const QByteArray& typed) {
        QTest::newRow(name) << nlsLang << output << shown << key << typed;
    };
    row("ISO-8859-1", "AMERICAN_AMERICA.WE8ISO8859P1",
        "M\xfcller \xc6r\xf8sk\xf8"
        "bing",
        u"Müller Ærøskøbing"_s, u"ü"_s, "\xfc");
    row("windows-1252", "AMERICAN_AMERICA.we8mswin1252", "\x80 caf\xe9", u"€ café"_s, u"€"_s,
        "\x80");
    row("Shift_JIS", "JAPANESE_JAPAN.JA16SJIS", "\x93\x8c\x8b\x9e!", u"東京!"_s, u"日"_s,
        "\x93\xfa");
    row("GBK", "SIMPLIFIED CHINESE_CHINA.ZHS16GBK", "\xb6\xab\xbe\xa9!", u"东京!"_s, u"中"_s,
        "\xd6\xd0");
    row("UTF-8", "AMERICAN_AMERICA.AL32UTF8", "\xc5\x81\xc3\xb3\x64\xc5\xba \xe6\x9d\xb1",
        u"Łódź 東"_s, u"é"_s, "\xc3\xa9");
    // The locale's encoding, UTF-8 here, when the name says nothing the console knows.
    row("an unknown name", "AMERICAN_AMERICA.XX8UNKNOWN", "M\xc3\xbcller", u"Müller"_s, u"é"_s,
        "\xc3\xa9");
    row("no character set", "AMERICAN_AMERICA", "M\xc3\xbcller", u"Müller"_s, u"é"_s, "\xc3\xa9");
    // A byte that starts a character, then one that cannot go on with it: a replacement
    // character for each, as the log window shows them.
    row("Big5 E2 82", "TRADITIONAL CHINESE_TAIWAN.ZHT16BIG5", "\xe2\x82 \xa4\xa4",
        u"\ufffd\ufffd 中"_s, u"x"_s, "x");
    row("EUC-JP 8E A0", "JAPANESE_JAPAN.JA16EUC", "\x8e\xa0 \xc6\xfc", u"\ufffd\ufffd 日"_s, u"x"_s,
        "x");
    row("EUC-JP ED A0", "JAPANESE_JAPAN.JA16EUC", "\xed\xa0 \xc6\xfc", u"\ufffd\ufffd 日"_s, u"x"_s,
        "x");
    row("EUC-KR ED A0", "KOREAN_KOREA.KO16KSC5601", "\xed\xa0 \xc7\xd1", u"\ufffd\ufffd 한"_s,
        u"x"_s, "x");
}

void TestConsoleLines::speaksTheUtilitysCharacterSet() {
    QFETCH(QByteArray, nlsLang);
    QFETCH(QByteArray, output);
    QFETCH(QString, shown);
    QFETCH(QString, key);
    QFETCH(QByteArray, typed);
    qputenv("NLS_LANG", nlsLang);
    FakeTerminal terminal;
    auto* console = new UtilityConsole;
    auto* view = control<ConsoleView>(*console, "txt_console");
    // The output in two reads, split at every byte.
    for (qsizetype split = 0; split <= output.size(); ++split) {
        console->attach(&terminal, u"exp"_s, u"exp"_s);
        Q_EMIT terminal.output(output.first(split));
        Q_EMIT terminal.output(output.sliced(split));
        console->showEnd({});
        QVERIFY2(view->toPlainText().startsWith(shown + u'\n'),
                 qPrintable(u"split at %1: %2"_s.arg(split).arg(view->toPlainText())));
    }
    console->attach(&terminal, u"exp"_s, u"exp"_s);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, key);
    QApplication::sendEvent(view, &press);
    QCOMPARE(terminal.typed, typed);
    console->close();
}

QTEST_MAIN(TestConsoleLines)
#include "tst_consolelines.moc"
