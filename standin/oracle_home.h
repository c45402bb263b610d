// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>

namespace standin {

// $ORA_HOME, or else the folder above the running program's bin/.
std::filesystem::path oracleHome();

// <home>/oradata/<SID>.db. A SID that is not letters, digits and '_', or has no database file, is
// unknown: it never becomes a path. Throws Failure naming the SIDs that do exist.
std::filesystem::path databaseForSid(const std::filesystem::path& home, const std::string& sid);

} // namespace standin
