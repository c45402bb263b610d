// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Browser.h"

#include <QDesktopServices>
#include <QUrl>

namespace platform {

Browser::Opener Browser::s_opener;

void Browser::openFile(const QString& path) {
    if (s_opener) {
        s_opener(path);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void Browser::setOpener(Opener opener) {
    s_opener = std::move(opener);
}

} // namespace platform
