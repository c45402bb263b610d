// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/lines/TextEncoding.h"

#include "platform/NlsEncoding.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <optional>
#include <utility>

namespace runs::lines {

namespace {

constexpr char16_t Replacement = 0xFFFD;
// What the decoders of several sets (Shift_JIS, EUC-JP, EUC-KR) give for a byte they cannot read.
constexpr char16_t Substitute = 0x1A;
// A byte order mark read alone is no character of the text (see walk).
constexpr char16_t ByteOrderMark = 0xFEFF;

bool within(uchar byte, uchar low, uchar high) {
    return byte >= low && byte <= high;
}

bool continues(uchar byte) {
    return (byte & 0xC0) == 0x80;
}

// A well-formed UTF-8 sequence's length at `at`, or 1 for a byte that starts none; cut when the
// bytes end inside a sequence that is well formed so far.
std::pair<qsizetype, bool> utf8Bytes(QByteArrayView bytes, qsizetype at) {
    const auto lead = uchar(bytes[at]);
    qsizetype length = 1;
    uchar low = 0x80;
    uchar high = 0xBF;
    if (within(lead, 0xC2, 0xDF)) {
        length = 2;
    } else if (within(lead, 0xE0, 0xEF)) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (within(lead, 0xF0, 0xF4)) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return {1, false};
    }
    const qsizetype present = std::min(length, bytes.size() - at);
    if (present > 1 && !within(uchar(bytes[at + 1]), low, high))
        return {1, false};
    for (qsizetype i = 2; i < present; ++i) {
        if (!continues(uchar(bytes[at + i])))
            return {1, false};
    }
    return present < length ? std::pair<qsizetype, bool>{1, true} : std::pair{length, false};
}

} // namespace

TextEncoding::TextEncoding() = default;

TextEncoding::TextEncoding(const QByteArray& name) {
    if (name.isEmpty() || !QStringDecoder(name.constData()).isValid())
        return;
    m_name = name;
    const auto is = [&name](const char* known) {
        return name.compare(known, Qt::CaseInsensitive) == 0;
    };
    if (is("UTF-8"))
        m_kind = Kind::Utf8;
    else if (is("ISO-8859-1"))
        m_kind = Kind::Latin1;
    else if (is("Shift_JIS"))
        m_kind = Kind::ShiftJis;
    else if (is("GBK"))
        m_kind = Kind::Gbk;
    else if (is("GB18030"))
        m_kind = Kind::Gb18030;
    else if (is("Big5"))
        m_kind = Kind::Big5;
    else if (is("windows-949"))
        m_kind = Kind::Uhc;
    else if (is("EUC-KR"))
        m_kind = Kind::EucKr;
    else if (is("EUC-JP"))
        m_kind = Kind::EucJp;
    else
        m_kind = Kind::SingleByte;
}

TextEncoding TextEncoding::ofNlsLang(const QByteArray& nlsLang) {
    return TextEncoding(platform::nlsEncodingName(nlsLang));
}

bool TextEncoding::needsContext() const {
    return m_kind != Kind::Latin1 && m_kind != Kind::SingleByte && m_kind != Kind::Utf8;
}

bool TextEncoding::alwaysStarts(char byte) const {
    const auto value = uchar(byte);
    switch (m_kind) {
    case Kind::Latin1:
    case Kind::SingleByte:
        return true;
    case Kind::Utf8:
        return !continues(value);
    case Kind::Gb18030:
        return value < 0x30;
    case Kind::ShiftJis:
    case Kind::Gbk:
    case Kind::Big5:
        return value < 0x40;
    case Kind::Uhc:
        return value < 0x41;
    case Kind::EucKr:
    case Kind::EucJp:
        return value < 0xA1;
    }
    return true;
}

// The bytes of the character at `at`: a lead byte followed by the bytes the set allows after
// it, or a single byte. Each byte after the lead is read only while the ones before it fit, so a
// byte looked for past the end is one that could have made the character longer.
TextEncoding::Sequence TextEncoding::sequenceAt(QByteArrayView bytes, qsizetype at) const {
    const auto lead = uchar(bytes[at]);
    if (lead < 0x80)
        return {};
    bool cut = false;
    const auto next = [&bytes, at, &cut](qsizetype i) {
        if (at + i < bytes.size())
            return uchar(bytes[at + i]);
        cut = true;
        return uchar(0);
    };
    const auto length = [&]() -> qsizetype {
        switch (m_kind) {
        case Kind::Latin1:
        case Kind::SingleByte:
            return 1;
        case Kind::Utf8: {
            const auto [bytesOf, cutShort] = utf8Bytes(bytes, at);
            cut = cutShort;
            return bytesOf;
        }
        case Kind::ShiftJis:
            if (!within(lead, 0x81, 0x9F) && !within(lead, 0xE0, 0xFC))
                return 1;
            return within(next(1), 0x40, 0x7E) || within(next(1), 0x80, 0xFC) ? 2 : 1;
        case Kind::Gb18030:
            if (within(lead, 0x81, 0xFE) && within(next(1), 0x30, 0x39))
                return within(next(2), 0x81, 0xFE) && within(next(3), 0x30, 0x39) ? 4 : 1;
            [[fallthrough]];
        case Kind::Gbk:
            return within(lead, 0x81, 0xFE) && within(next(1), 0x40, 0xFE) && next(1) != 0x7F ? 2
                                                                                              : 1;
        case Kind::Big5:
            if (!within(lead, 0x81, 0xFE))
                return 1;
            return within(next(1), 0x40, 0x7E) || within(next(1), 0xA1, 0xFE) ? 2 : 1;
        case Kind::Uhc:
            if (!within(lead, 0x81, 0xFE))
                return 1;
            return within(next(1), 0x41, 0x5A) || within(next(1), 0x61, 0x7A) ||
                           within(next(1), 0x81, 0xFE)
                       ? 2
                       : 1;
        case Kind::EucKr:
            return within(lead, 0xA1, 0xFE) && within(next(1), 0xA1, 0xFE) ? 2 : 1;
        case Kind::EucJp:
            if (lead == 0x8E)
                return within(next(1), 0xA1, 0xDF) ? 2 : 1;
            if (lead == 0x8F)
                return within(next(1), 0xA1, 0xFE) && within(next(2), 0xA1, 0xFE) ? 3 : 1;
            return within(lead, 0xA1, 0xFE) && within(next(1), 0xA1, 0xFE) ? 2 : 1;
        }
        return 1;
    }();
    return {length, cut};
}

// Calls visit(start, length, text, divisible) for runs of the bytes in order: a run of ASCII
// (divisible: a byte a character), or one character of the set with its text. With stopAtCut it
// stops before a character that bytes past the end could make longer. Returns where it stopped.
template <typename Visit>
qsizetype TextEncoding::walk(QByteArrayView bytes, bool stopAtCut, Visit visit) const {
    std::optional<QStringDecoder> decoder;
    for (qsizetype at = 0; at < bytes.size();) {
        qsizetype ascii = at;
        while (ascii < bytes.size() && uchar(bytes[ascii]) < 0x80)
            ++ascii;
        if (ascii > at) {
            if (!visit(at, ascii - at, QString::fromLatin1(bytes.sliced(at, ascii - at)), true))
                return ascii;
            at = ascii;
            continue;
        }
        const Sequence sequence = sequenceAt(bytes, at);
        if (stopAtCut && sequence.cut)
            return at;
        const qsizetype length = sequence.length;
        const QByteArrayView character = bytes.sliced(at, length);
        QString text;
        if (m_kind == Kind::Latin1) {
            text = QString::fromLatin1(character);
        } else if (m_kind == Kind::Utf8) {
            // Read alone, a byte order mark gives no text, as at the start of a text.
            text = length == 1 ? QString(QChar(Replacement)) : QString::fromUtf8(character);
        } else {
            if (!decoder)
                decoder.emplace(m_name.constData(), QStringDecoder::Flag::Stateless);
            text = decoder->decode(character);
            // A byte at or above 0x80 is never SUB itself: the decoder could not read it.
            if (text.isEmpty() || text == QChar(Substitute))
                text = QChar(Replacement);
        }
        if (!visit(at, length, text, false))
            return at + length;
        at += length;
    }
    return bytes.size();
}

QString TextEncoding::decode(QByteArrayView bytes) const {
    if (m_kind == Kind::Latin1)
        return QString::fromLatin1(bytes);
    if (m_kind == Kind::SingleByte) {
        // A character a byte: the whole text at once, unless the decoder says otherwise.
        QStringDecoder decoder(m_name.constData(), QStringDecoder::Flag::Stateless);
        QString text = decoder.decode(bytes);
        if (text.size() == bytes.size() && !text.contains(QChar(Substitute)))
            return text;
    }
    QString text;
    text.reserve(bytes.size());
    walk(bytes, false, [&text](qsizetype, qsizetype, const QString& part, bool) {
        text += part;
        return true;
    });
    return text;
}

qsizetype TextEncoding::appendWhole(QByteArrayView bytes, QString& text) const {
    switch (m_kind) {
    case Kind::Latin1:
    case Kind::SingleByte:
        text += decode(bytes);
        return bytes.size();
    case Kind::Utf8: {
        // Well-formed text, nearly all of it, is decoded at once; the walk reads it only when
        // the decoder met a byte that starts no character, or a byte order mark (EF BB BF).
        const qsizetype whole = wholeUtf8(bytes);
        const qsizetype before = text.size();
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                      QStringDecoder::Flag::ConvertInitialBom);
        text.resize(before + utf8.requiredSpace(whole));
        const QChar* end = utf8.appendToBuffer(text.data() + before, bytes.first(whole));
        text.resize(end - text.constData());
        const bool mark = bytes.first(whole).contains('\xEF') &&
                          QStringView(text).sliced(before).contains(QChar(ByteOrderMark));
        if (!utf8.hasError() && !mark)
            return whole;
        text.resize(before);
        break;
    }
    default:
        break;
    }
    return walk(bytes, true, [&text](qsizetype, qsizetype, const QString& part, bool) {
        text += part;
        return true;
    });
}

qsizetype TextEncoding::wholeUtf8(QByteArrayView bytes) const {
    // A sequence is at most four bytes: only a lead byte among the last three can be cut short.
    for (qsizetype at = bytes.size() - 1; at >= 0 && at >= bytes.size() - 3; --at) {
        if (!continues(uchar(bytes[at])))
            return sequenceAt(bytes, at).cut ? at : bytes.size();
    }
    return bytes.size();
}

// Whether the text of these bytes has a character a byte, as in most single-byte sets.
bool TextEncoding::byteForCharacter(QByteArrayView bytes) const {
    return m_kind == Kind::Latin1 ||
           (m_kind == Kind::SingleByte && decode(bytes).size() == bytes.size());
}

qsizetype TextEncoding::bytesForCharacters(QByteArrayView bytes, qsizetype characters) const {
    if (byteForCharacter(bytes))
        return qBound<qsizetype>(0, characters, bytes.size());
    qsizetype result = 0;
    qsizetype counted = 0;
    walk(bytes, false, [&](qsizetype start, qsizetype length, const QString& text, bool divisible) {
        if (counted + text.size() > characters) {
            result = start + (divisible ? characters - counted : 0);
            return false;
        }
        counted += text.size();
        result = start + length;
        return counted < characters;
    });
    return characters <= 0 ? 0 : result;
}

qsizetype TextEncoding::charactersForBytes(QByteArrayView bytes, qsizetype count) const {
    if (byteForCharacter(bytes))
        return qBound<qsizetype>(0, count, bytes.size());
    qsizetype counted = 0;
    walk(bytes, false, [&](qsizetype start, qsizetype length, const QString& text, bool divisible) {
        if (start + length > count) {
            counted += divisible ? count - start : 0;
            return false;
        }
        counted += text.size();
        return start + length < count;
    });
    return count <= 0 ? 0 : counted;
}

qsizetype TextEncoding::characterStart(QByteArrayView bytes, qsizetype at) const {
    if (m_kind == Kind::Latin1 || m_kind == Kind::SingleByte)
        return at;
    qsizetype from = 0;
    if (m_kind == Kind::Utf8) {
        // Any byte that does not continue a sequence starts a character.
        from = at;
        while (from > 0 && at - from < 3 && (from >= bytes.size() || continues(uchar(bytes[from]))))
            --from;
    }
    // Bytes that end before `at` (a file that shrank) leave it where it is.
    while (from < at && from < bytes.size()) {
        const qsizetype length = characterBytes(bytes, from);
        if (from + length > at)
            return from;
        from += length;
    }
    return at;
}

QByteArray TextEncoding::encode(const QString& text) const {
    QStringEncoder encoder = m_name.isEmpty() ? QStringEncoder(QStringConverter::Utf8)
                                              : QStringEncoder(m_name.constData());
    const QByteArray bytes = encoder.encode(text);
    if (encoder.hasError() || decode(bytes) != text)
        return {};
    return bytes;
}

} // namespace runs::lines
