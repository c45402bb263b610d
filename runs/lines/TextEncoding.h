// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace runs::lines {

// The character set a utility writes its text in, and the one way its bytes become characters,
// in the console and in the log window alike: the text shown, the places of the caret and the
// selection, Copy and Find all go through it. A byte that starts no character of the set stands
// for one replacement character. Positions count UTF-16 units of the decoded text; a character
// is never cut in two.
class TextEncoding {
public:
    // The locale's encoding.
    TextEncoding();
    // A decoder's name; one the decoders do not know gives the locale's encoding.
    explicit TextEncoding(const QByteArray& name);
    // The character set an NLS_LANG value names after its dot, or the locale's.
    static TextEncoding ofNlsLang(const QByteArray& nlsLang);

    // Empty for the locale's encoding.
    const QByteArray& name() const { return m_name; }

    // The text of bytes that start at a character's first byte.
    QString decode(QByteArrayView bytes) const;
    // Appends to text the text of the whole characters that bytes start with, and returns how
    // many bytes they take. The bytes after them begin a character that bytes still to come may
    // complete: text that arrives in pieces, each handed in after the bytes left over from the
    // one before, reads as the same text arriving at once.
    qsizetype appendWhole(QByteArrayView bytes, QString& text) const;
    // How many of the bytes make up the first `characters` characters of their text; a count
    // inside a character stops before it.
    qsizetype bytesForCharacters(QByteArrayView bytes, qsizetype characters) const;
    // How many characters of their text the first `count` bytes make; a count inside a
    // character stops before it.
    qsizetype charactersForBytes(QByteArrayView bytes, qsizetype count) const;

    // The first byte of the character that holds bytes[at], in bytes that start at a
    // character's first byte.
    qsizetype characterStart(QByteArrayView bytes, qsizetype at) const;
    // Whether a character starts at this byte wherever it stands: a place to decode from.
    bool alwaysStarts(char byte) const;
    // Whether where a character starts depends on bytes further back than a few.
    bool needsContext() const;

    // The text in this encoding; empty when it holds a character the encoding cannot.
    QByteArray encode(const QString& text) const;

    bool operator==(const TextEncoding& other) const { return m_name == other.m_name; }

private:
    enum class Kind { Latin1, SingleByte, Utf8, ShiftJis, Gbk, Gb18030, Big5, Uhc, EucKr, EucJp };

    // The bytes of the character at `at`; cut when the bytes end before it could be told
    // whether the character goes on.
    struct Sequence {
        qsizetype length = 1;
        bool cut = false;
    };
    Sequence sequenceAt(QByteArrayView bytes, qsizetype at) const;
    qsizetype characterBytes(QByteArrayView bytes, qsizetype at) const {
        return sequenceAt(bytes, at).length;
    }
    bool byteForCharacter(QByteArrayView bytes) const;
    // The bytes up to the first character that bytes still to come may complete.
    qsizetype wholeUtf8(QByteArrayView bytes) const;
    template <typename Visit>
    qsizetype walk(QByteArrayView bytes, bool stopAtCut, Visit visit) const;

    Kind m_kind = Kind::Utf8;
    QByteArray m_name;
};

} // namespace runs::lines
