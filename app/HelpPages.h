// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Where a help page is: beside the program in a build, in the program's share folder
// (share/tarnhold/help) once installed. When neither holds it, the place beside the program.
QString helpPagePath(const QString& programDir, const QString& page);
