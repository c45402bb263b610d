// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace standin {

// Writes a file under a temporary name in the destination folder and renames it into place only
// once it is complete and synced, so the final name never shows a partial file. The temporary
// name is unique (FINAL.partial-XXXXXX, created exclusively) and locked while it is written.
// Destroying an uncommitted AtomicFile removes the temporary file.
class AtomicFile {
public:
    explicit AtomicFile(std::string finalPath);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    void write(std::string_view data);
    void commit();

    const std::string& temporaryPath() const { return temporaryPath_; }

private:
    void discard();

    std::string finalPath_;
    std::string temporaryPath_;
    int fd_ = -1;
};

// Removes what earlier runs left as FINAL.partial-* when they were killed: only regular files
// that no running process holds locked. Returns the names removed.
std::vector<std::string> removeLeftoverPartials(const std::string& finalPath);

} // namespace standin
