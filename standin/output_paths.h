// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "standin/messages.h"
#include "standin/options.h"

#include <filesystem>
#include <optional>
#include <string>

namespace standin {

// The dump and the log are written only as regular files, never through a symbolic link, never
// into the Oracle home's oradata folder, and never one over the other.

// Why the run may not write (or, for imp, read) the files its options name; nullopt when it may.
// Looks only: nothing is created or changed.
std::optional<Message> fileRefusal(const Options& options, const std::filesystem::path& oradata);

// Opens log= for writing once the run's checks have passed: creates it, or empties it when it is
// still a regular file that is not the dump and not in oradata. Throws Failure.
int openLogFile(const Options& options, const std::filesystem::path& oradata);

// Why an existing dump may not be replaced by a new one at path; empty when it may (or when there
// is none). The text does not name the path: the message around it does.
std::string replaceRefusal(const std::string& path);

// Whether a and b name one file: the same device and inode, or for files that do not exist yet,
// the same name in the same folder.
bool sameFile(const std::string& a, const std::string& b);

// Whether path lies in folder (or below it), or is one of folder's files under another name.
bool insideFolder(const std::string& path, const std::filesystem::path& folder);

} // namespace standin
