// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin_home.h"

#include "standin/output_charset.h"

#include <QtTest>

using namespace Qt::StringLiterals;

// The stand-ins keep text in UTF-8 and speak, on the terminal and in the log, the character set
// that NLS_LANG names: a character the set lacks, and a byte that is not UTF-8, goes out as '?'.
// Without NLS_LANG, or with a name nobody knows, text goes out as it is.
class OutputCharsetTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void encoded_data();
    void encoded();
    void cutBetweenCharacters_data();
    void cutBetweenCharacters();
    void spoken_data();
    void spoken();

private:
    std::unique_ptr<StandinHome> home_;
};

namespace {

const QByteArray latin1 = "AMERICAN_AMERICA.WE8ISO8859P1";
const QString customersQuery = u"query=NAME = 'Müller' OR CITY IN ('Ærøskøbing', 'Łódź', '東京')"_s;

std::string_view view(const QByteArray& bytes) {
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

} // namespace

void OutputCharsetTest::initTestCase() {
    home_ = std::make_unique<StandinHome>();
    QVERIFY(home_->isValid());
    QCOMPARE(home_
                 ->exp({u"scott/tiger@DEMO"_s, u"file="_s + home_->path(u"Müller-Łódź.dump"_s),
                        u"tables=CUSTOMER"_s})
                 .exitCode,
             0);
}

void OutputCharsetTest::encoded_data() {
    QTest::addColumn<QByteArray>("nlsLang");
    QTest::addColumn<QByteArray>("text"); // UTF-8, or what passes for it
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("Latin-1 holds Müller") << latin1 << "Müller"_ba
                                          << "M\xFCller"_ba;
    QTest::newRow("Latin-1 holds Ærøskøbing") << latin1 << "Ærøskøbing"_ba
                                              << "\xC6r\xF8sk\xF8"
                                                 "bing"_ba;
    QTest::newRow("Latin-1 lacks Ł and ź") << latin1 << "Łódź"_ba
                                           << "?\xF3"
                                              "d?"_ba;
    QTest::newRow("Latin-1 lacks 東京") << latin1 << "東京"_ba
                                        << "??"_ba;
    QTest::newRow("US-ASCII") << "AMERICAN_AMERICA.US7ASCII"_ba
                              << "Müller"_ba
                              << "M?ller"_ba;
    QTest::newRow("windows-1252 euro") << "AMERICAN_AMERICA.WE8MSWIN1252"_ba
                                       << "€ 5"_ba
                                       << "\x80 5"_ba;
    QTest::newRow("Latin-2 holds Łódź") << "POLISH_POLAND.EE8ISO8859P2"_ba
                                        << "Łódź"_ba
                                        << "\xA3\xF3"
                                           "d\xBC"_ba;
    QTest::newRow("Shift_JIS holds 東京") << "JAPANESE_JAPAN.JA16SJIS"_ba
                                          << "東京"_ba
                                          << "\x93\x8C\x8B\x9E"_ba;
    QTest::newRow("Shift_JIS lacks ü") << "JAPANESE_JAPAN.JA16SJIS"_ba
                                       << "Müller"_ba
                                       << "M?ller"_ba;
    QTest::newRow("GBK holds 東京") << "SIMPLIFIED CHINESE_CHINA.ZHS16GBK"_ba
                                    << "東京"_ba
                                    << "\x96\x7C\xBE\xA9"_ba;
    QTest::newRow("GB18030 longer than its input")
        << "SIMPLIFIED CHINESE_CHINA.ZHS32GB18030"_ba
        << "Ł"_ba.repeated(1000) << "\x81\x30\x91\x39"_ba.repeated(1000);
    QTest::newRow("a stray byte") << latin1
                                  << "a\xFF"
                                     "b"_ba
                                  << "a?b"_ba;
    QTest::newRow("a character cut short at the end") << latin1 << "ab\xC3"_ba
                                                      << "ab?"_ba;
    QTest::newRow("a character cut short inside") << latin1
                                                  << "a\xE6\x9D"
                                                     "b"_ba
                                                  << "a??b"_ba;
    QTest::newRow("an overlong slash") << latin1 << "a\xC0\xAF"_ba
                                       << "a??"_ba;
    QTest::newRow("nothing") << latin1 << QByteArray() << QByteArray();

    const QByteArray mixed = "Łódź \xFF 東京"_ba;
    QTest::newRow("UTF-8 as it is") << "AMERICAN_AMERICA.AL32UTF8"_ba << mixed << mixed;
    QTest::newRow("unknown set as it is") << "AMERICAN_AMERICA.KLINGON8"_ba << mixed << mixed;
    QTest::newRow("no set named") << "AMERICAN_AMERICA"_ba << mixed << mixed;
    QTest::newRow("empty") << QByteArray() << mixed << mixed;
}

void OutputCharsetTest::encoded() {
    QFETCH(QByteArray, nlsLang);
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);

    standin::OutputCharset charset(view(nlsLang));
    QCOMPARE(QByteArray::fromStdString(charset.encode(view(text))), expected);
    // Nothing of one text carries over into the next.
    QCOMPARE(QByteArray::fromStdString(charset.encode(view(text))), expected);
}

void OutputCharsetTest::cutBetweenCharacters_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("maxBytes");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("short enough") << "Müller"_ba << 7 << "Müller"_ba;
    QTest::newRow("ASCII") << "Graz"_ba << 3 << "Gra"_ba;
    QTest::newRow("after a character") << "Müller"_ba << 3 << "Mü"_ba;
    QTest::newRow("inside two bytes") << "Müller"_ba << 2 << "M"_ba;
    QTest::newRow("inside three bytes") << "a東京"_ba << 3 << "a"_ba;
    QTest::newRow("inside four bytes") << "a\xF0\x9F\x98\x80"_ba << 4 << "a"_ba;
    QTest::newRow("not UTF-8, cut where asked") << "a\xBC\xBC\xBC\xBC"_ba << 3 << "a\xBC\xBC"_ba;
}

void OutputCharsetTest::cutBetweenCharacters() {
    QFETCH(QByteArray, text);
    QFETCH(int, maxBytes);
    QFETCH(QByteArray, expected);

    const auto prefix = standin::utf8Prefix(view(text), static_cast<std::size_t>(maxBytes));
    QCOMPARE(QByteArray(prefix.data(), static_cast<qsizetype>(prefix.size())), expected);
}

void OutputCharsetTest::spoken_data() {
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QString>("nlsLang");         // null: unset
    QTest::addColumn<QStringList>("args");        // "@dir/" is the home
    QTest::addColumn<QList<QByteArray>>("lines"); // each in the log and on stderr

    const auto exp = u"exp"_s;
    const QStringList customers{u"scott/tiger@DEMO"_s, u"file=@dir/customers.dump"_s,
                                u"log=@dir/customers.log"_s, u"tables=CUSTOMER"_s, customersQuery};
    const QByteArray exported = "  exported SCOTT.CUSTOMER: 4 rows\n";
    const QByteArray asTyped = "  " + customersQuery.toUtf8() + '\n';

    QTest::newRow("exp Latin-1") << exp << QString::fromLatin1(latin1) << customers
                                 << QList<QByteArray>{
                                        "  query=NAME = 'M\xFCller' OR CITY IN ('\xC6r\xF8sk\xF8"
                                        "bing', '?\xF3"
                                        "d?', '?\?')\n",
                                        exported};
    QTest::newRow("exp Shift_JIS")
        << exp << u"JAPANESE_JAPAN.JA16SJIS"_s << customers
        << QList<QByteArray>{
               "  query=NAME = 'M?ller' OR CITY IN ('?r?sk?bing', '?\?d?', '\x93\x8C\x8B\x9E')\n",
               exported};
    QTest::newRow("exp UTF-8") << exp << u"AMERICAN_AMERICA.AL32UTF8"_s << customers
                               << QList<QByteArray>{asTyped, exported};
    QTest::newRow("exp unknown set") << exp << u"AMERICAN_AMERICA.KLINGON8"_s << customers
                                     << QList<QByteArray>{asTyped, exported};
    QTest::newRow("exp without NLS_LANG")
        << exp << QString() << customers << QList<QByteArray>{asTyped, exported};
    QTest::newRow("imp Latin-1") << u"imp"_s << QString::fromLatin1(latin1)
                                 << QStringList{u"scott/tiger@TEST"_s,
                                                u"file=@dir/Müller-Łódź.dump"_s,
                                                u"log=@dir/customers.log"_s, u"ignore=y"_s}
                                 << QList<QByteArray>{
                                        "Checking @dir/M\xFCller-?\xF3"
                                        "d?.dump from end to end before writing anything.\n",
                                        "  imported SCOTT.CUSTOMER: 5 rows\n"};
}

void OutputCharsetTest::spoken() {
    QFETCH(QString, tool);
    QFETCH(QString, nlsLang);
    QFETCH(QStringList, args);
    QFETCH(QList<QByteArray>, lines);

    const QString dir = home_->path(QString()) + u'/';
    args.replaceInStrings(u"@dir/"_s, dir);
    home_->setNlsLang(nlsLang);
    const auto result = tool == u"exp"_s ? home_->exp(args) : home_->imp(args);
    home_->setNlsLang(u"AMERICAN_AMERICA.AL32UTF8"_s);

    QVERIFY2(result.exitCode == 0, result.err.constData());
    QCOMPARE(result.logBytes, result.err); // the terminal hears what the log holds
    for (auto line : lines) {
        line.replace("@dir/", QFile::encodeName(dir));
        QVERIFY2(result.logBytes.contains(line), result.logBytes.constData());
    }
}

QTEST_GUILESS_MAIN(OutputCharsetTest)
#include "tst_standin_output_charset.moc"
