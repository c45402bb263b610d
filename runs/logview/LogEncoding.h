// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace runs::logview {

// The character set a log is written in, and the one way its bytes become characters: the text
// shown, the places of the caret and the selection, Copy and Find all go through it. A byte that
// starts no character of the set stands for one replacement character. Positions count UTF-16
// units of the decoded text; a character is never cut in two.
class LogEncoding {
public:
    // The locale's encoding.
    LogEncoding();
    // A decoder's name; one the decoders do not know gives the locale's encoding.
    explicit LogEncoding(const QByteArray& name);
    // The character set an NLS_LANG value names after its dot, or the locale's.
    static LogEncoding ofNlsLang(const QByteArray& nlsLang);

    // Empty for the locale's encoding.
    const QByteArray& name() const { return m_name; }

    // The text of bytes that start at a character's first byte.
    QString decode(QByteArrayView bytes) const;
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

    bool operator==(const LogEncoding& other) const { return m_name == other.m_name; }

private:
    enum class Kind { Latin1, SingleByte, Utf8, ShiftJis, Gbk, Gb18030, Big5, Uhc, EucKr, EucJp };

    qsizetype characterBytes(QByteArrayView bytes, qsizetype at) const;
    bool byteForCharacter(QByteArrayView bytes) const;
    template <typename Visit> void walk(QByteArrayView bytes, Visit visit) const;

    Kind m_kind = Kind::Utf8;
    QByteArray m_name;
};

} // namespace runs::logview
