// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace platform {

// True only for an existing file (a folder gives false); relative paths resolve against the
// current folder.
bool fileExists(const QString& path);

} // namespace platform
