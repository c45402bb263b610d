// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "commands/PanelFields.h"

// Whether the import may run, the dump file among it; the refusal is shown under "Import".
bool CheckImportFields(const ImportFields& fields, QChar separator);
