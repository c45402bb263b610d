// SPDX-License-Identifier: GPL-3.0-or-later
// The log window's bytes: the log decoded in the character set NLS_LANG names, long lines cut
// into pieces that never split a character, the same bytes behind a place on screen for Copy and
// Find (undecodable bytes included), and a find bar that reads clearly in any theme.
#include "platform/CharacterSets.h"
#include "runs/logview/LogAccessible.h"
#include "support/LogViewTest.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QToolButton>

#include <cmath>

using namespace logtest;

namespace {

constexpr char16_t Replacement = 0xFFFD;

QByteArray encoded(const QString& text, const char* encoding) {
    QStringEncoder encoder(encoding);
    return encoder.encode(text);
}

double luminance(QRgb pixel) {
    const auto channel = [](int value) {
        const double v = value / 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(pixel)) + 0.7152 * channel(qGreen(pixel)) +
           0.0722 * channel(qBlue(pixel));
}

double contrast(QRgb a, QRgb b) {
    const double one = luminance(a);
    const double two = luminance(b);
    return (qMax(one, two) + 0.05) / (qMin(one, two) + 0.05);
}

// The contrast of a control's text in a grab: its most common colour is the background, and the
// pixel furthest from it is the text at its fullest.
double textContrast(const QImage& shot, const QRect& area, QRgb* backgroundFound) {
    QHash<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[shot.pixel(x, y)];
    }
    QRgb background = 0;
    int most = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > most) {
            most = it.value();
            background = it.key();
        }
    }
    *backgroundFound = background;
    double best = 1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        best = qMax(best, contrast(it.key(), background));
    return best;
}

} // namespace

class TestLogBytes : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void longLinesStayWhole_data();
    void longLinesStayWhole();
    void undecodableBytesKeepTheirPlace_data();
    void undecodableBytesKeepTheirPlace();
    void everySetReadsEachByteAlone_data();
    void everySetReadsEachByteAlone();
    void findsWholeCharacters_data();
    void findsWholeCharacters();
    void findBarReadsClearly_data();
    void findBarReadsClearly();
};

void TestLogBytes::initTestCase() {
    LogAccessible::install();
}

void TestLogBytes::cleanup() {
    platform::setEnvironmentValue(u"NLS_LANG"_s, {});
    QVERIFY(noWindowLeft());
}

void TestLogBytes::longLinesStayWhole_data() {
    QTest::addColumn<QString>("nlsLang");
    QTest::addColumn<QByteArray>("written"); // the encoding the utility wrote in
    QTest::addColumn<QString>("unit");       // repeated after the lead to fill the line
    QTest::addColumn<int>("lead");           // ASCII bytes before the first unit
    const auto row = [](const char* name, const QString& nls, const char* written,
                        const QString& unit, int lead) {
        QTest::newRow(name) << nls << QByteArray(written) << unit << lead;
    };
    const QString utf8 = u"AMERICAN_AMERICA.AL32UTF8"_s;
    row("ASCII", utf8, "UTF-8", u"x"_s, 0);
    row("two-byte across the cut", utf8, "UTF-8", u"\u00e9"_s, 4095);
    row("two-byte, cut between characters", utf8, "UTF-8", u"\u00e9"_s, 4094);
    row("three-byte, one byte before the cut", utf8, "UTF-8", u"\u20ac"_s, 4095);
    row("three-byte, two bytes before the cut", utf8, "UTF-8", u"\u20ac"_s, 4094);
    row("four-byte, one byte before the cut", utf8, "UTF-8", u"\U0001F600"_s, 4095);
    row("four-byte, two bytes before the cut", utf8, "UTF-8", u"\U0001F600"_s, 4094);
    row("four-byte, three bytes before the cut", utf8, "UTF-8", u"\U0001F600"_s, 4093);
    row("mixed widths", utf8, "UTF-8", u"a\u00e9\u20ac\U0001F600"_s, 4090);
    row("ISO-8859-1", u"AMERICAN_AMERICA.WE8ISO8859P1"_s, "ISO-8859-1", u"M\u00fcller "_s, 4095);
    row("windows-1252", u"GERMAN_GERMANY.WE8MSWIN1252"_s, "windows-1252", u"\u20acuro "_s, 4095);
    row("Shift_JIS across the cut", u"JAPANESE_JAPAN.JA16SJIS"_s, "Shift_JIS",
        u"\u65e5\u672c\u8a9e\u30c6\u30b9\u30c8"_s, 4095);
    row("Shift_JIS, second bytes that could lead", u"JAPANESE_JAPAN.JA16SJIS"_s, "Shift_JIS",
        u"\u65e5\u672c\u8a9e"_s, 4094);
    row("Shift_JIS, letters as second bytes", u"JAPANESE_JAPAN.JA16SJIS"_s, "Shift_JIS",
        u"\u30a2\u30a4"_s, 4095);
    row("Shift_JIS, half-width kana", u"JAPANESE_JAPAN.JA16SJIS"_s, "Shift_JIS", u"\uff71\u6771"_s,
        4094);
    row("GBK across the cut", u"SIMPLIFIED CHINESE_CHINA.ZHS16GBK"_s, "GBK",
        u"\u4e2d\u6587\u65e5\u5fd7"_s, 4095);
    row("GBK, second bytes that could lead", u"SIMPLIFIED CHINESE_CHINA.ZHS16GBK"_s, "GBK",
        u"\u4e2d\u6587"_s, 4094);
    row("GBK, letters as second bytes", u"SIMPLIFIED CHINESE_CHINA.ZHS16GBK"_s, "GBK", u"\u4e04"_s,
        4095);
    row("Big5", u"TRADITIONAL CHINESE_TAIWAN.ZHT16BIG5"_s, "Big5", u"\u6771\u4eac"_s, 4095);
    row("EUC-JP", u"JAPANESE_JAPAN.JA16EUC"_s, "EUC-JP", u"\u6771\u4eac\uff71"_s, 4095);
    row("GB18030 four-byte characters", u"SIMPLIFIED CHINESE_CHINA.ZHS32GB18030"_s, "GB18030",
        u"\U0001F600\u4e2d"_s, 4094);
    row("windows-949", u"KOREAN_KOREA.KO16MSWIN949"_s, "windows-949", u"\ud55c\uad6d\uc5b4"_s,
        4095);
    row("EUC-KR", u"KOREAN_KOREA.KO16KSC5601"_s, "EUC-KR", u"\ud55c\uad6d"_s, 4095);
    row("unknown name: the locale's", u"AMERICAN_AMERICA.NOSUCHSET"_s, "UTF-8", u"\u20ac"_s, 4095);
    row("no character set: the locale's", u"AMERICAN_AMERICA"_s, "UTF-8", u"\u00e9"_s, 4095);
}

void TestLogBytes::longLinesStayWhole() {
    QFETCH(QString, nlsLang);
    QFETCH(QByteArray, written);
    QFETCH(QString, unit);
    QFETCH(int, lead);
    QString line(lead, u'a');
    while (encoded(line, written.constData()).size() < 3 * LineIndex::PieceBytes + 100)
        line += unit;
    const QString text = line + u"\nlast"_s;
    const QByteArray bytes = encoded(text, written.constData());
    ShownLog log(bytes, nlsLang);
    const LogDocument& document = log.view->document();

    QCOMPARE(drawnText(document), text);
    // Every byte once, in order, pieces no larger than one but for a character's tail.
    const LogLine first = document.lineOfPiece(0);
    QCOMPARE(first.pieces, LineIndex::piecesOf(first.textEnd));
    QByteArray joined;
    for (qint64 number = 0; number < first.pieces; ++number) {
        const LogPiece piece = document.piece(number);
        QVERIFY(piece.end - piece.start <= LineIndex::PieceBytes + 3);
        QVERIFY(!document.text(piece).contains(QChar(Replacement)));
        joined += document.bytes(piece.start, piece.end);
        // A place at a piece's start is that piece's first byte, both ways.
        QCOMPARE(document.offsetOf({number, 0}), piece.start);
        QCOMPARE(document.offsetOf(document.positionAt(piece.start)), piece.start);
    }
    QCOMPARE(joined, bytes.left(first.textEnd));

    QCOMPARE(copied(log.view, u"Ctrl+A"_s), text);
    QCOMPARE(copied(log.view, u"Ctrl+Home Shift+End"_s), line);
    const QString needle = unit + unit + unit;
    // From the end of the line, past every match: the search goes round the end.
    QCOMPARE(log.find(needle), u"Wrapped"_s);
    QCOMPARE(copied(log.view, {}), needle);
}

void TestLogBytes::undecodableBytesKeepTheirPlace_data() {
    QTest::addColumn<QString>("nlsLang");
    QTest::addColumn<QByteArray>("before"); // bytes before the needle, on both lines
    QTest::addColumn<QString>("shown");     // how they are shown
    const QString utf8 = u"AMERICAN_AMERICA.AL32UTF8"_s;
    QTest::newRow("Latin-1 letter in UTF-8") << utf8
                                             << QByteArray("Stra\xdf"
                                                           "e 7 ")
                                             << u"Stra\ufffde 7 "_s;
    QTest::newRow("three-byte sequence cut short")
        << utf8 << QByteArray("x \xe2\x82 y ") << u"x \ufffd\ufffd y "_s;
    QTest::newRow("four-byte sequence cut short")
        << utf8 << QByteArray("\xf0\x9f\x98 z ") << u"\ufffd\ufffd\ufffd z "_s;
    QTest::newRow("stray continuation bytes")
        << utf8 << QByteArray("\x80\xbf\xbf ") << u"\ufffd\ufffd\ufffd "_s;
    QTest::newRow("surrogate and overlong forms")
        << utf8 << QByteArray("\xed\xa0\x80\xc0\xaf ") << u"\ufffd\ufffd\ufffd\ufffd\ufffd "_s;
    QTest::newRow("valid four-byte before")
        << utf8 << QByteArray("\xf0\x9f\x98\x80 ") << u"\U0001F600 "_s;
    QTest::newRow("the same byte in Latin-1") << u"AMERICAN_AMERICA.WE8ISO8859P1"_s
                                              << QByteArray("Stra\xdf"
                                                            "e 7 ")
                                              << u"Stra\u00dfe 7 "_s;
    QTest::newRow("Shift_JIS lead byte without its second")
        << u"JAPANESE_JAPAN.JA16SJIS"_s << QByteArray("\x83 ") << u"\ufffd "_s;
    QTest::newRow("GBK lead byte at a line's end")
        << u"SIMPLIFIED CHINESE_CHINA.ZHS16GBK"_s << QByteArray("\xd6\xd0\x81 ")
        << u"\u4e2d\ufffd "_s;
    // Bytes that start no character of the set, each one replacement character.
    const auto row = [](const char* name, const char* set, const QByteArray& bytes,
                        const QString& shown) {
        QTest::newRow(name) << u"AMERICAN_AMERICA."_s + QLatin1StringView(set) << bytes << shown;
    };
    row("Shift_JIS 0x80, 0xA0, 0xFD-0xFF", "JA16SJIS", "\x80 \xa0 \xfd\xfe\xff ",
        u"\ufffd \ufffd \ufffd\ufffd\ufffd "_s);
    row("Shift_JIS with tilde, 0xA0 between characters", "JA16SJISTILDE", "\x93\xfa\xa0\x96\x7b ",
        u"\u65e5\ufffd\u672c "_s);
    row("EUC-JP 0xA0, 0xFF and a kana byte without its second", "JA16EUC", "\xa0 \xff \x8e\xa0 ",
        u"\ufffd \ufffd \ufffd\ufffd "_s);
    row("EUC-KR 0xA0, 0x8E, 0x8F, 0xFF", "KO16KSC5601", "\xa0\x8e\x8f\xff ",
        u"\ufffd\ufffd\ufffd\ufffd "_s);
    row("Big5 lead byte before a byte that cannot follow it", "ZHT16BIG5", "\xe2\x82 ",
        u"\ufffd\ufffd "_s);
    row("GB18030 0x80 and 0xFF", "ZHS32GB18030", "\x80\xff ", u"\ufffd\ufffd "_s);
    row("windows-949 lead byte before a blank", "KO16MSWIN949", "\xb0 ", u"\ufffd "_s);
    row("US7ASCII bytes above 0x7F", "US7ASCII", "\x80\xff ", u"\ufffd\ufffd "_s);
    row("ISO-8859-7 holes", "EL8ISO8859P7", "\xae\xd2\xff ", u"\ufffd\ufffd\ufffd "_s);
    row("windows-1253 holes", "EL8MSWIN1253", "\xd2\xff ", u"\ufffd\ufffd "_s);
    row("windows-1255 holes", "IW8MSWIN1255", "\xca\xd9\xff ", u"\ufffd\ufffd\ufffd "_s);
    row("windows-1257 holes", "BLT8MSWIN1257", "\xa1\xa5 ", u"\ufffd\ufffd "_s);
}

void TestLogBytes::undecodableBytesKeepTheirPlace() {
    QFETCH(QString, nlsLang);
    QFETCH(QByteArray, before);
    QFETCH(QString, shown);
    const QByteArray content = "head\n" + before + "NEEDLE_Z tail\n" + before + "NEEDLE_Z again";
    ShownLog log(content, nlsLang);
    const QString text = u"head\n"_s + shown + u"NEEDLE_Z tail\n"_s + shown + u"NEEDLE_Z again"_s;

    QCOMPARE(drawnText(log.view->document()), text);
    QCOMPARE(copied(log.view, u"Ctrl+A"_s), text);
    QCOMPARE(copied(log.view, u"Ctrl+Home Down Shift+End"_s), shown + u"NEEDLE_Z tail"_s);
    press(log.view, u"Ctrl+Home"_s);
    QCOMPARE(log.find(u"needle_z"_s), QString());
    QCOMPARE(copied(log.view, {}), u"NEEDLE_Z"_s);
    QCOMPARE(copied(log.view, u"Shift+End"_s), u"NEEDLE_Z tail"_s);
    // The next search goes on from the end of this match.
    QCOMPARE(log.find(u"needle_z"_s), QString());
    QCOMPARE(copied(log.view, u"Shift+End"_s), u"NEEDLE_Z again"_s);
    QCOMPARE(log.find(u"needle_z"_s, u"Shift+Return"_s), QString());
    QCOMPARE(copied(log.view, u"Shift+End"_s), u"NEEDLE_Z tail"_s);
}

void TestLogBytes::everySetReadsEachByteAlone_data() {
    QTest::addColumn<QByteArray>("set");
    for (const platform::CharacterSet& set : platform::CharacterSets)
        QTest::newRow(set.database.data()) << QByteArray(set.database.data());
}

// Every byte from 0x80 up, each alone between blanks, is one character: the set's own, or one
// replacement character where the set has none; never SUB, never two, never nothing.
void TestLogBytes::everySetReadsEachByteAlone() {
    QFETCH(QByteArray, set);
    QByteArray content;
    for (int byte = 0x80; byte <= 0xff; ++byte)
        content += char(byte) + QByteArray(" ");
    content += "\nNEEDLE_Z end";
    ShownLog log(content, u"AMERICAN_AMERICA."_s + QString::fromLatin1(set));
    const QString drawn = drawnText(log.view->document());
    const QStringList alone = drawn.section(u'\n', 0, 0).split(u' ', Qt::SkipEmptyParts);
    QCOMPARE(alone.size(), 0x80);
    const QByteArray name = log.view->document().encoding().name();
    for (int byte = 0x80; byte <= 0xff; ++byte) {
        QStringDecoder decoder(name.constData(), QStringDecoder::Flag::Stateless);
        const QString own = decoder.decode(QByteArray(1, char(byte)));
        const bool unreadable = own.size() != 1 || own == u"\x1a"_s;
        QCOMPARE(std::pair(byte, alone[byte - 0x80]),
                 std::pair(byte, unreadable ? QString(QChar(Replacement)) : own));
    }
    QCOMPARE(copied(log.view, u"Ctrl+A"_s), drawn);
    QAccessibleTextInterface* read =
        QAccessible::queryAccessibleInterface(log.view)->textInterface();
    QCOMPARE(read->text(0, read->characterCount()), drawn);
    press(log.view, u"Ctrl+Home"_s);
    QCOMPARE(log.find(u"needle_z"_s), QString());
    QCOMPARE(copied(log.view, u"Shift+End"_s), u"NEEDLE_Z end"_s);
}

void TestLogBytes::findsWholeCharacters_data() {
    QTest::addColumn<QString>("nlsLang");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<QString>("found"); // the selection; null: not found
    const QString sjis = u"JAPANESE_JAPAN.JA16SJIS"_s;
    const QString gbk = u"SIMPLIFIED CHINESE_CHINA.ZHS16GBK"_s;
    const QString latin1 = u"AMERICAN_AMERICA.WE8ISO8859P1"_s;
    const QString utf8 = u"AMERICAN_AMERICA.AL32UTF8"_s;
    QTest::newRow("Shift_JIS: a letter only inside characters")
        << sjis << QByteArray("\x83\x41\x83\x43 ok\n") << u"a"_s << QString();
    QTest::newRow("Shift_JIS: the letter itself after them")
        << sjis << QByteArray("\x83\x41\x83\x43 find A\n") << u"a"_s << u"A"_s;
    QTest::newRow("Shift_JIS: characters")
        << sjis << encoded(u"\u30ed\u30b0 \u65e5\u672c\u8a9e"_s, "Shift_JIS") << u"\u65e5\u672c"_s
        << u"\u65e5\u672c"_s;
    QTest::newRow("Shift_JIS: its bytes across two characters")
        << sjis << QByteArray("\x83\x83\x41\n") << u"\u30a2"_s << QString();
    QTest::newRow("GBK: a letter only inside a character")
        << gbk << QByteArray("\x81\x41 x\n") << u"a"_s << QString();
    QTest::newRow("GBK: a character and the letter")
        << gbk << QByteArray("\x81\x41\x41\n") << u"\u4e04a"_s << u"\u4e04A"_s;
    QTest::newRow("ISO-8859-1: accented name")
        << latin1 << QByteArray("table M\xfcller\n") << u"m\u00fcller"_s << u"M\u00fcller"_s;
    QTest::newRow("ISO-8859-1: a character the set cannot hold")
        << latin1 << QByteArray("table ?\n") << u"\u6771"_s << QString();
    QTest::newRow("windows-1252: euro")
        << u"AMERICAN_AMERICA.WE8MSWIN1252"_s << QByteArray("cost 5\x80\n") << u"5\u20ac"_s
        << u"5\u20ac"_s;
    QTest::newRow("UTF-8: accented letters match as they are")
        << utf8 << QByteArray("CAF\xc3\x89 caf\xc3\xa9\n") << u"f\u00e9"_s << u"f\u00e9"_s;
    QTest::newRow("UTF-8: needle after undecodable bytes")
        << utf8 << QByteArray("\xe2\x82\xe2\x82\xac\n") << u"\u20ac"_s << u"\u20ac"_s;
    QTest::newRow("unknown name: the locale's")
        << u"X.NOSUCHSET"_s << QByteArray("caf\xc3\xa9\n") << u"\u00e9"_s << u"\u00e9"_s;
}

void TestLogBytes::findsWholeCharacters() {
    QFETCH(QString, nlsLang);
    QFETCH(QByteArray, content);
    QFETCH(QString, needle);
    QFETCH(QString, found);
    ShownLog log(content, nlsLang);
    QCOMPARE(log.find(needle), found.isNull() ? u"Not found"_s : QString());
    QCOMPARE(copied(log.view, {}), found);
}

void TestLogBytes::findBarReadsClearly_data() {
    QTest::addColumn<QColor>("window");
    QTest::addColumn<QColor>("text");
    QTest::addColumn<QColor>("base");
    QTest::addColumn<bool>("whileOpen"); // the theme changes with the bar open
    const QColor dark(0x23, 0x26, 0x29);
    const QColor light(0xef, 0xf0, 0xf1);
    const QColor grey(0x60, 0x60, 0x60);
    QTest::newRow("desktop's own") << QColor() << QColor() << QColor() << false;
    QTest::newRow("light theme") << light << QColor(Qt::black) << QColor(Qt::white) << false;
    QTest::newRow("dark theme") << dark << light << QColor(0x1b, 0x1e, 0x20) << false;
    QTest::newRow("theme with dim text") << grey << QColor(0x50, 0x50, 0x50) << grey << false;
    QTest::newRow("dark theme chosen while open")
        << dark << light << QColor(0x1b, 0x1e, 0x20) << true;
    QTest::newRow("dim theme chosen while open")
        << grey << QColor(0x50, 0x50, 0x50) << grey << true;
}

void TestLogBytes::findBarReadsClearly() {
    QFETCH(QColor, window);
    QFETCH(QColor, text);
    QFETCH(QColor, base);
    QFETCH(bool, whileOpen);
    struct Restore {
        QPalette desktop = QApplication::palette();
        ~Restore() { QApplication::setPalette(desktop); }
    } restore;
    const auto chooseTheme = [&] {
        if (!window.isValid())
            return;
        QPalette theme = restore.desktop;
        theme.setColor(QPalette::Window, window);
        theme.setColor(QPalette::Button, window);
        theme.setColor(QPalette::WindowText, text);
        theme.setColor(QPalette::ButtonText, text);
        theme.setColor(QPalette::Text, text);
        theme.setColor(QPalette::Base, base);
        QApplication::setPalette(theme);
    };
    if (!whileOpen)
        chooseTheme();
    ShownLog log("one line\n", u"AMERICAN_AMERICA.AL32UTF8"_s);
    QCOMPARE(log.find(u"nowhere"_s), u"Not found"_s);
    if (whileOpen)
        chooseTheme();
    const QImage shot = log.window.grab().toImage();
    for (const char* name :
         {"lbl_find_status", "cmd_find_previous", "cmd_find_next", "cmd_find_close"}) {
        const auto* part = control<QWidget>(*log.view, name);
        const QRect area(part->mapTo(&log.window, QPoint(0, 0)), part->size());
        QRgb background = 0;
        const double measured = textContrast(shot, area, &background);
        QVERIFY2(measured >= 4.5,
                 qPrintable(u"%1: %2"_s.arg(QLatin1StringView(name)).arg(measured)));
        // The bar wears the desktop's colours, whenever they are chosen.
        if (window.isValid())
            QCOMPARE(QColor(background), window);
    }
}

QTEST_MAIN(TestLogBytes)
#include "tst_logbytes.moc"
