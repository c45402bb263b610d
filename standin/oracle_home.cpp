// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin/oracle_home.h"

#include "standin/failure.h"
#include "standin/names.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace standin {

namespace fs = std::filesystem;

namespace {

std::string knownSids(const fs::path& oradata) {
    std::vector<std::string> sids;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(oradata, error)) {
        const auto name = entry.path().filename().string();
        if (name.ends_with(".db") && isSid(name.substr(0, name.size() - 3)) &&
            fs::is_regular_file(entry.path(), error))
            sids.push_back(name.substr(0, name.size() - 3));
    }
    std::sort(sids.begin(), sids.end());
    std::string list;
    for (const auto& sid : sids)
        list += (list.empty() ? "" : ", ") + sid;
    return list.empty() ? "none" : list;
}

// Why the file that would hold the SID's database is not one; empty when it is.
std::string notADatabase(const fs::path& path) {
    std::error_code error;
    const auto node = fs::symlink_status(path, error);
    if (fs::is_symlink(node) && !fs::exists(path, error))
        return "is a symbolic link to nothing";
    const auto target = fs::status(path, error);
    if (fs::is_directory(target))
        return "is a folder, not a database file";
    if (fs::exists(target) && !fs::is_regular_file(target))
        return "is not a regular file";
    return {};
}

} // namespace

fs::path oracleHome() {
    if (const char* home = std::getenv("ORA_HOME"); home && *home)
        return home;
    std::error_code error;
    const auto program = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path(".") : program.parent_path().parent_path();
}

fs::path databaseForSid(const fs::path& home, const std::string& sid) {
    const auto oradata = home / "oradata";
    const auto path = oradata / (sid + ".db");
    std::error_code error;
    if (isSid(sid)) {
        if (auto problem = notADatabase(path); !problem.empty()) {
            throw Failure(messages::database(1034, "the database of SID \"" + sid + "\", " +
                                                       path.string() + ", " + problem));
        }
        if (fs::is_regular_file(path, error))
            return path;
    }
    throw Failure(messages::database(
        12154, "unknown SID \"" + sid + "\": the Oracle home " + home.string() +
                   " has no such database (known SIDs: " + knownSids(oradata) + ")"));
}

} // namespace standin
