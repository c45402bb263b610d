// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace platform {

// The failure number for a program file that is not where it was looked for.
inline constexpr int FileNotFoundFailure = 53;

// Waits until the process has ended or msecs have passed (-1: no limit). The event loop keeps
// running meanwhile, so windows repaint; the wait itself costs no CPU. Returns at once when no
// such process exists. The process is not reaped: whoever started it collects its status.
void waitForProcess(qint64 processId, int msecs);

} // namespace platform
