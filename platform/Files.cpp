// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Files.h"

#include <QFileInfo>

namespace platform {

bool fileExists(const QString& path) {
    if (path.isEmpty())
        return false;
    return QFileInfo(path).isFile();
}

} // namespace platform
