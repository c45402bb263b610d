// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringEncoder>

namespace runs::console {

// The bytes a terminal sends for a key: Return is a carriage return, Backspace is DEL, a
// control letter is its control character, a printable key is its text in the utility's
// encoding. Keys a plain terminal has no byte for give nothing.
QByteArray terminalBytes(int key, Qt::KeyboardModifiers modifiers, const QString& text,
                         QStringEncoder& encoding);

} // namespace runs::console
