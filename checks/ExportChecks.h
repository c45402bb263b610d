// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "commands/PanelFields.h"

// Whether the export may run; each refusal is shown to the operator, under "Export".
bool CheckExportFields(const ExportFields& fields);
