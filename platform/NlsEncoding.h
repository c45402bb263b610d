// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QStringDecoder>
#include <QStringEncoder>

namespace platform {

// The name the decoders know for the character set that an NLS_LANG value names after its dot;
// empty when it names none, or one the decoders do not know: the locale's encoding applies.
QByteArray nlsEncodingName(const QByteArray& nlsLang);

// Converters for the text the database's utilities write under that NLS_LANG value.
QStringDecoder nlsDecoder(const QByteArray& nlsLang);
QStringEncoder nlsEncoder(const QByteArray& nlsLang);

} // namespace platform
