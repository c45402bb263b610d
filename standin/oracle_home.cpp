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
        if (name.ends_with(".db") && isSid(name.substr(0, name.size() - 3)))
            sids.push_back(name.substr(0, name.size() - 3));
    }
    std::sort(sids.begin(), sids.end());
    std::string list;
    for (const auto& sid : sids)
        list += (list.empty() ? "" : ", ") + sid;
    return list.empty() ? "none" : list;
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
    if (!isSid(sid) || !fs::is_regular_file(path, error)) {
        throw Failure("unknown SID \"" + sid + "\": the Oracle home " + home.string() +
                      " has no such database (known SIDs: " + knownSids(oradata) + ")");
    }
    return path;
}

} // namespace standin
