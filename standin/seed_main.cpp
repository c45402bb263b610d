// SPDX-License-Identifier: GPL-3.0-or-later
// standin-seed: creates one database of a demo Oracle home.
//   standin-seed [--demo] [--big ROWS] [--user NAME/PASSWORD]... PATH
// Every database gets the catalogue and the standard users; --demo adds the sample schemas.
// PATH must not exist yet; the file appears under its name only once fully written.

#include "standin/catalogue.h"
#include "standin/database.h"
#include "standin/demo_data.h"
#include "standin/failure.h"
#include "standin/names.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct SeedRequest {
    bool demo = false;
    std::int64_t bigRows = 0;
    std::vector<std::pair<std::string, std::string>> users;
    std::string path;
};

int usage(const char* problem) {
    std::fprintf(stderr,
                 "standin-seed: %s\n"
                 "usage: standin-seed [--demo] [--big ROWS] [--user NAME/PASSWORD]... PATH\n",
                 problem);
    return 2;
}

bool parse(int argc, char** argv, SeedRequest& request, std::string& problem) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--demo") {
            request.demo = true;
        } else if (arg == "--big" && hasValue) {
            const std::string value = argv[++i];
            const auto [end, error] =
                std::from_chars(value.data(), value.data() + value.size(), request.bigRows);
            if (error != std::errc() || end != value.data() + value.size() || request.bigRows < 0) {
                problem = "--big takes a row count";
                return false;
            }
        } else if (arg == "--user" && hasValue) {
            const std::string value = argv[++i];
            const auto slash = value.find('/');
            if (slash == std::string::npos || slash + 1 == value.size() ||
                !standin::isIdentifier(value.substr(0, slash))) {
                problem = "--user takes NAME/PASSWORD";
                return false;
            }
            request.users.emplace_back(standin::toUpper(value.substr(0, slash)),
                                       value.substr(slash + 1));
        } else if (arg.starts_with("--") || !request.path.empty()) {
            problem = "unexpected argument " + arg;
            return false;
        } else {
            request.path = arg;
        }
    }
    if (request.path.empty())
        problem = "no database path given";
    return problem.empty();
}

void seed(const SeedRequest& request, const std::string& path) {
    standin::Database db(path, standin::Database::Mode::Create);
    db.exec("PRAGMA journal_mode = OFF; BEGIN");
    standin::createCatalogue(db);
    standin::addStandardUsers(db);
    for (const auto& [name, password] : request.users)
        standin::addUser(db, name, password, false);
    if (request.demo)
        standin::addDemoSchemas(db);
    if (request.bigRows > 0)
        standin::addBigTable(db, request.bigRows);
    db.exec("COMMIT");
}

} // namespace

int main(int argc, char** argv) {
    SeedRequest request;
    std::string problem;
    if (!parse(argc, argv, request, problem))
        return usage(problem.c_str());
    std::error_code error;
    if (std::filesystem::exists(request.path, error)) {
        std::fprintf(stderr, "standin-seed: %s exists already; left as it is\n",
                     request.path.c_str());
        return 1;
    }
    const std::string partial = request.path + ".seeding-" + std::to_string(::getpid());
    try {
        seed(request, partial);
        std::filesystem::rename(partial, request.path);
    } catch (const std::exception& failure) {
        std::filesystem::remove(partial, error);
        std::fprintf(stderr, "standin-seed: %s\n", failure.what());
        return 2;
    }
    return 0;
}
