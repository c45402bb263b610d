// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "runs/lines/TextEncoding.h"

namespace runs::logview {

// The character set a log is read in: the console reads the utility's terminal the same way.
using LogEncoding = lines::TextEncoding;

} // namespace runs::logview
