// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QStringDecoder>
#include <QStringEncoder>

namespace platform {

// The converters for the character set an NLS_LANG value names after its dot. A value with no
// such name, a name the table does not hold, or one the converters do not know gives the
// locale's encoding.
QStringDecoder nlsDecoder(const QByteArray& nlsLang);
QStringEncoder nlsEncoder(const QByteArray& nlsLang);

} // namespace platform
