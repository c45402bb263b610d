#pragma once

#include <QString>

#include <optional>

namespace platform {

// True only for an existing file (a folder gives false); relative paths resolve against the
// current folder.
bool fileExists(const QString& path);

// The whole content of a text file, decoded from the system's 8-bit encoding; bytes that do
// not decode become replacement characters. Nothing when the file cannot be opened or read
// (missing, a folder, a pipe or device, no permission).
std::optional<QString> readText8Bit(const QString& path);

} // namespace platform
