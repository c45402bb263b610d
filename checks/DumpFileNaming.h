// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>

// True only when a file (not a folder) exists at the path.
bool DoesFileExist(const QString& strFilename);

// The automatic dump file name: "cr" + CR number + "_" when there is one, the user name + "_"
// when there is one, then the date as ddMMyyyy and ".dump". Nothing is trimmed.
QString CreateAutoFilename(const QString& crNo, const QString& username, QDate date);
