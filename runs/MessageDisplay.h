// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Tells the operator that a request cannot be carried out: a stop box titled
// strType + " Error:" with strError as its text. Always returns 0.
int ErrorDisplay(const QString& strType, const QString& strError);
