// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <memory>

namespace platform {
class ReadOnlyFile;
}

namespace runs {

// Which log a "VL" button shows and how the window and a refusal name it.
struct LogRequest {
    QString heading;      // the log window's heading
    QString messageStart; // starts the refusal, before the path
    QString path;
};

// The log, open for reading. A log that cannot be opened (missing, a folder, a pipe, no
// permission) is reported to the operator and gives nothing.
std::shared_ptr<platform::ReadOnlyFile> openLog(const LogRequest& request);

} // namespace runs
