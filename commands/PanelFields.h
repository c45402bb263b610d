// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// What the two panels hold at one moment. The members' initial values are the panels'
// values at start: the window sets its controls from a default-made instance.

struct ExportFields {
    QString sid;
    QString username;
    QString password;
    QString crNo;
    QString directory;
    QString exportFile;
    bool full = false;
    bool direct = true;
    bool grants = true;
    bool indexes = false;
    bool rows = true;
    bool consistent = true;
    bool compress = false;
    bool constraints = true;
    QString buffer = QStringLiteral("999999");
    QString statistics = QStringLiteral("ESTIMATE");
    QString feedback = QStringLiteral("1000");
    QString query;
    QString tables;
    QString other;
};

struct ImportFields {
    QString sid;
    QString username;
    QString password;
    QString directory;
    QString importFile;
    bool full = false;
    bool compile = true;
    bool grants = true;
    bool indexes = false;
    bool rows = true;
    bool commit = false;
    bool ignore = false;
    bool constraints = true;
    QString buffer;
    QString statistics = QStringLiteral("ESTIMATE");
    QString feedback;
    QString tables;
    QString other;
};
