// SPDX-License-Identifier: GPL-3.0-or-later
#include "checks/DumpFileNaming.h"

#include "platform/Files.h"

using namespace Qt::Literals::StringLiterals;

bool DoesFileExist(const QString& strFilename) {
    return platform::fileExists(strFilename);
}

QString CreateAutoFilename(const QString& crNo, const QString& username, QDate date) {
    QString name;
    if (!crNo.isEmpty())
        name += u"cr"_s + crNo + u'_';
    if (!username.isEmpty())
        name += username + u'_';
    // The year is written in full, however many digits it has.
    return name + date.toString(u"ddMM"_s) + QString::number(date.year()) + u".dump"_s;
}
