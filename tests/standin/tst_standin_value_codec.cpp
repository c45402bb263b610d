// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin/database.h"
#include "standin/failure.h"
#include "standin/value_codec.h"

#include <QtTest>

#include <cmath>
#include <limits>
#include <sqlite3.h>

using namespace Qt::StringLiterals;
using standin::FieldValue;

Q_DECLARE_METATYPE(FieldValue::Kind)

class ValueCodecTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();
    void realsKeepTheirBits_data();
    void realsKeepTheirBits();
    void malformed_data();
    void malformed();
    void tooLongForTheDatabase_data();
    void tooLongForTheDatabase();
};

namespace {

std::string encode(FieldValue::Kind kind, const QByteArray& payload, qint64 integer) {
    std::string out;
    switch (kind) {
    case FieldValue::Kind::Null:
        standin::appendNull(out);
        break;
    case FieldValue::Kind::Integer:
        standin::appendInteger(out, integer);
        break;
    case FieldValue::Kind::Text:
        standin::appendText(out, payload.toStdString());
        break;
    case FieldValue::Kind::Blob:
        standin::appendBlob(out, payload.toStdString());
        break;
    case FieldValue::Kind::Real:
        break;
    }
    return out;
}

} // namespace

void ValueCodecTest::roundTrip_data() {
    QTest::addColumn<FieldValue::Kind>("kind");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<qint64>("integer");
    QTest::addColumn<QByteArray>("encoded");

    using K = FieldValue::Kind;
    QTest::newRow("null") << K::Null << QByteArray() << qint64(0) << "NULL"_ba;
    QTest::newRow("text NULL is not null") << K::Text << "NULL"_ba << qint64(0) << "'NULL'"_ba;
    QTest::newRow("zero") << K::Integer << QByteArray() << qint64(0) << "0"_ba;
    QTest::newRow("negative") << K::Integer << QByteArray() << qint64(-42) << "-42"_ba;
    QTest::newRow("int64 max") << K::Integer << QByteArray() << std::numeric_limits<qint64>::max()
                               << "9223372036854775807"_ba;
    QTest::newRow("int64 min") << K::Integer << QByteArray() << std::numeric_limits<qint64>::min()
                               << "-9223372036854775808"_ba;
    QTest::newRow("empty text") << K::Text << QByteArray() << qint64(0) << "''"_ba;
    QTest::newRow("quote") << K::Text << "O'HARA"_ba << qint64(0) << "'O\\'HARA'"_ba;
    QTest::newRow("backslash") << K::Text << "a\\b"_ba << qint64(0) << "'a\\\\b'"_ba;
    QTest::newRow("tab and newlines")
        << K::Text << "a\tb\nc\rd"_ba << qint64(0) << "'a\\tb\\nc\\rd'"_ba;
    QTest::newRow("control and NUL")
        << K::Text << QByteArray("x\x01y\0z\x7f", 6) << qint64(0) << "'x\\x01y\\x00z\\x7f'"_ba;
    QTest::newRow("utf-8 kept") << K::Text << "STRÖM Gdańsk"_ba << qint64(0) << "'STRÖM Gdańsk'"_ba;
    QTest::newRow("looks like a number") << K::Text << "42"_ba << qint64(0) << "'42'"_ba;
    QTest::newRow("escape-like text") << K::Text << "\\x41"_ba << qint64(0) << "'\\\\x41'"_ba;
    QTest::newRow("empty blob") << K::Blob << QByteArray() << qint64(0) << "X''"_ba;
    QTest::newRow("blob") << K::Blob << QByteArray("\x00\xff\x10'", 4) << qint64(0)
                          << "X'00ff1027'"_ba;
}

void ValueCodecTest::roundTrip() {
    QFETCH(FieldValue::Kind, kind);
    QFETCH(QByteArray, payload);
    QFETCH(qint64, integer);
    QFETCH(QByteArray, encoded);

    const auto text = encode(kind, payload, integer);
    QCOMPARE(QByteArray::fromStdString(text), encoded);
    QVERIFY(text.find('\t') == std::string::npos && text.find('\n') == std::string::npos);

    FieldValue value;
    value.bytes = "left over from an earlier field";
    const auto problem = standin::decodeField(text, value);
    QVERIFY2(problem.empty(), problem.c_str());
    QCOMPARE(value.kind, kind);
    if (kind == FieldValue::Kind::Integer)
        QCOMPARE(value.integer, integer);
    if (kind == FieldValue::Kind::Text || kind == FieldValue::Kind::Blob)
        QCOMPARE(QByteArray::fromStdString(value.bytes), payload);
}

void ValueCodecTest::realsKeepTheirBits_data() {
    QTest::addColumn<double>("real");
    QTest::addColumn<QByteArray>("encoded");

    QTest::newRow("whole") << 800.0 << "800.0"_ba;
    QTest::newRow("cents") << 1250.25 << "1250.25"_ba;
    QTest::newRow("tenth") << 0.1 << "0.1"_ba;
    QTest::newRow("negative zero") << -0.0 << "-0.0"_ba;
    QTest::newRow("large") << 1e300 << "1e+300"_ba;
    QTest::newRow("tiny") << 5e-324 << "5e-324"_ba;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << "inf"_ba;
    QTest::newRow("minus infinity") << -std::numeric_limits<double>::infinity() << "-inf"_ba;
}

void ValueCodecTest::realsKeepTheirBits() {
    QFETCH(double, real);
    QFETCH(QByteArray, encoded);

    std::string text;
    standin::appendReal(text, real);
    QCOMPARE(QByteArray::fromStdString(text), encoded);
    FieldValue value;
    const auto problem = standin::decodeField(text, value);
    QVERIFY2(problem.empty(), problem.c_str());
    QCOMPARE(value.kind, FieldValue::Kind::Real);
    QCOMPARE(std::signbit(value.real), std::signbit(real));
    QVERIFY(value.real == real);
}

void ValueCodecTest::malformed_data() {
    QTest::addColumn<QByteArray>("field");

    QTest::newRow("empty") << QByteArray();
    QTest::newRow("lower-case null") << "null"_ba;
    QTest::newRow("unclosed text") << "'abc"_ba;
    QTest::newRow("lone quote") << "'"_ba;
    QTest::newRow("bare quote inside") << "'a'b'"_ba;
    QTest::newRow("unknown escape") << "'\\q'"_ba;
    QTest::newRow("short hex escape") << "'\\x4'"_ba;
    QTest::newRow("trailing backslash") << "'abc\\'"_ba;
    QTest::newRow("raw control") << "'a\x01'"_ba;
    QTest::newRow("odd blob") << "X'abc'"_ba;
    QTest::newRow("blob not hex") << "X'zz'"_ba;
    QTest::newRow("word") << "abc"_ba;
    QTest::newRow("number and text") << "12a"_ba;
    QTest::newRow("two points") << "1.5.5"_ba;
    QTest::newRow("nan") << "nan"_ba;
    QTest::newRow("infinity spelled out") << "infinity"_ba;
    QTest::newRow("plus sign") << "+1.5"_ba;
    QTest::newRow("integer overflow") << "9223372036854775808"_ba;
    QTest::newRow("hex integer") << "0x10"_ba;
}

void ValueCodecTest::malformed() {
    QFETCH(QByteArray, field);
    FieldValue value;
    QVERIFY(!standin::decodeField(field.toStdString(), value).empty());
}

// A value over SQLite's length limit must refuse the row, not arrive as NULL.
void ValueCodecTest::tooLongForTheDatabase_data() {
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<bool>("copied");
    QTest::newRow("text") << "'0123456789abcdef'"_ba << true;
    QTest::newRow("text, loading") << "'0123456789abcdef'"_ba << false;
    QTest::newRow("blob") << "X'00112233445566778899aabbccddeeff'"_ba << true;
    QTest::newRow("blob, loading") << "X'00112233445566778899aabbccddeeff'"_ba << false;
}

void ValueCodecTest::tooLongForTheDatabase() {
    QFETCH(QByteArray, field);
    QFETCH(bool, copied);
    FieldValue value;
    QVERIFY(standin::decodeField(field.toStdString(), value).empty());
    standin::Database db(":memory:", standin::Database::Mode::Create);
    sqlite3_limit(db.handle(), SQLITE_LIMIT_LENGTH, 8);
    auto insert = db.prepare("SELECT ?1");
    const bool text = value.kind == FieldValue::Kind::Text;
    try {
        if (text && copied)
            insert.bindText(1, value.bytes);
        else if (text)
            insert.bindTextUnowned(1, value.bytes);
        else if (copied)
            insert.bindBlob(1, value.bytes);
        else
            insert.bindBlobUnowned(1, value.bytes);
        QFAIL("the value was bound as NULL without a word");
    } catch (const standin::DatabaseError& refused) {
        QVERIFY2(QByteArray(refused.what()).contains("too big"), refused.what());
    }
}

QTEST_GUILESS_MAIN(ValueCodecTest)
#include "tst_standin_value_codec.moc"
