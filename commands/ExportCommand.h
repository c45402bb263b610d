// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "commands/PanelFields.h"

namespace commands {

// A built command line and the directory it used; the window writes the directory back,
// since building drops one trailing separator from it.
struct BuiltCommand {
    QString line;
    QString directory;
};

// The exp command line for the export panel's values.
BuiltCommand CreateExportString(const ExportFields& fields, QChar separator);

} // namespace commands
