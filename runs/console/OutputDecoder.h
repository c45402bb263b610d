// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "runs/lines/TextEncoding.h"

#include <QByteArray>
#include <QString>

namespace runs::console {

// The utility's output as it comes, read after read, decoded as the log window decodes a log:
// a character split between two reads is read whole from the second, and a byte that starts no
// character is one replacement character.
class OutputDecoder {
public:
    // Starts afresh in the character set that an NLS_LANG value names.
    void start(const QByteArray& nlsLang);
    // The text of the whole characters read so far and not yet given; it stays valid until the
    // next call.
    QStringView decode(QByteArrayView bytes);
    // The text of a character the output ended in the middle of: a replacement character for
    // each of its bytes, as when a log ends there. Empty when the output ended whole.
    QString finish();

private:
    lines::TextEncoding m_encoding;
    QByteArray m_left;   // the bytes of a character whose last bytes are yet to come
    QByteArray m_joined; // those bytes and the next read
    QString m_text;
};

} // namespace runs::console
