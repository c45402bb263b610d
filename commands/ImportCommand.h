// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "commands/ExportCommand.h"

namespace commands {

// The imp command line for the import panel's values.
BuiltCommand CreateImportString(const ImportFields& fields, QChar separator);

} // namespace commands
