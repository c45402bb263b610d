// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/FrmMain.h"
#include "support/WindowTest.h"

#include <QLineEdit>

// Fills a panel so that its check passes, apart from what a test sets afterwards.
inline void fillExport(const frmMain& window, const QString& directory,
                       const QString& password = QStringLiteral("tiger")) {
    control<QLineEdit>(window, "txt_sid_e")->setText(QStringLiteral("DEMO"));
    control<QLineEdit>(window, "txt_username_e")->setText(QStringLiteral("scott"));
    control<QLineEdit>(window, "txt_password_e")->setText(password);
    control<QLineEdit>(window, "txt_directory_e")->setText(directory);
    control<QLineEdit>(window, "txt_exportfile")->setText(QStringLiteral("x.dump"));
}

inline void fillImport(const frmMain& window, const QString& directory) {
    control<QLineEdit>(window, "txt_sid_i")->setText(QStringLiteral("TEST"));
    control<QLineEdit>(window, "txt_username_i")->setText(QStringLiteral("scott"));
    control<QLineEdit>(window, "txt_password_i")->setText(QStringLiteral("tiger"));
    control<QLineEdit>(window, "txt_directory_i")->setText(directory);
    control<QLineEdit>(window, "txt_importfile")->setText(QStringLiteral("x.dump"));
}
