#pragma once

#include <QString>

#include <optional>

namespace runs {

// Which log a "VL" button shows and how the window and a refusal name it.
struct LogRequest {
    QString heading;      // the log window's heading
    QString messageStart; // starts the refusal, before the path
    QString path;
};

// The log's whole text. A log that cannot be read (missing, a folder, no permission) is
// reported to the operator and gives nothing.
std::optional<QString> readLog(const LogRequest& request);

} // namespace runs
