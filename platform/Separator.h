// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDir>

namespace platform {

// The path separator of the machine the program runs on: '\' on Windows, '/' elsewhere.
inline QChar nativeSeparator() {
    return QDir::separator();
}

} // namespace platform
