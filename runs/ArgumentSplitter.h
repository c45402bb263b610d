// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <QStringView>

namespace runs {

// Splits a command line's arguments at blanks outside double quotes. The quotes stay in the
// argument, so tables=("EMP,DEPT") and query="WHERE A = 1" each arrive whole and unchanged;
// runs of blanks make no empty arguments.
QStringList splitArguments(QStringView text);

} // namespace runs
