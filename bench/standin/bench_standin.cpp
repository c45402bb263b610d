// SPDX-License-Identifier: GPL-3.0-or-later
// Times the stand-in exp and imp on SCOTT.BIG, each command several times, beside baselines
// measured in the same run: VACUUM INTO of the same database as the floor of any copy, and the
// sqlite3 shell's .dump and its reading back as the text-format counterparts. Prints min, median
// and max seconds and the ratio of the medians to each baseline.
//   bench-standin [ROWS] [RUNS]

#include "standin/database.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

struct Command {
    std::vector<std::string> argv;
    std::string input;  // file for stdin; empty: inherited
    std::string output; // file for stdout; empty: the bench's scratch file
};

// Everything the children would print goes to one scratch file inside the bench's folder.
std::string scratchOutput;

// Runs one command, or a piece of work in a child of its own (so a baseline pays for a process
// start as the utilities do), and returns its seconds; nullopt when it failed.
std::optional<double> timed(const std::function<void()>& inChild) {
    const auto start = Clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        inChild();
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    const std::chrono::duration<double> elapsed = Clock::now() - start;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return elapsed.count();
}

std::optional<double> run(const Command& command) {
    return timed([&] {
        const int sink = ::open(scratchOutput.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        ::dup2(sink, STDERR_FILENO);
        if (!command.input.empty())
            ::dup2(::open(command.input.c_str(), O_RDONLY), STDIN_FILENO);
        ::dup2(command.output.empty()
                   ? sink
                   : ::open(command.output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644),
               STDOUT_FILENO);
        std::vector<char*> args;
        for (const auto& arg : command.argv)
            args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
    });
}

long long countRows(const fs::path& database, const char* table) {
    try {
        standin::Database db(database.string(), standin::Database::Mode::ReadOnly);
        auto query = db.prepare(std::string("SELECT count(*) FROM \"") + table + '"');
        return query.step() ? query.columnInteger(0) : -1;
    } catch (const std::exception&) {
        return -1;
    }
}

double megabytes(const fs::path& file) {
    std::error_code error;
    const auto size = fs::file_size(file, error);
    return error ? 0 : static_cast<double>(size) / (1024.0 * 1024.0);
}

struct Figures {
    std::string work;
    std::vector<double> seconds; // sorted; empty when a run failed or counted wrong
    double fileMb = 0;

    double median() const { return seconds[seconds.size() / 2]; }
    bool ok() const { return !seconds.empty(); }
};

// Runs prepare (untimed), then the work, runs times; check says whether the result is right.
Figures measure(const std::string& work, int runs, const std::function<void()>& prepare,
                const std::function<std::optional<double>()>& once,
                const std::function<bool()>& check, const fs::path& file) {
    Figures figures{work, {}, 0};
    for (int i = 0; i < runs; ++i) {
        prepare();
        const auto seconds = once();
        if (!seconds || !check())
            return figures;
        figures.seconds.push_back(*seconds);
    }
    std::sort(figures.seconds.begin(), figures.seconds.end());
    figures.fileMb = megabytes(file);
    return figures;
}

void print(const Figures& figures, long long rows, const std::vector<const Figures*>& baselines) {
    if (!figures.ok()) {
        std::printf("%-28s failed or counted the wrong number of rows\n", figures.work.c_str());
        return;
    }
    std::printf("%-28s %7.2f %7.2f %7.2f %10.0f %8.1f", figures.work.c_str(),
                figures.seconds.front(), figures.median(), figures.seconds.back(),
                static_cast<double>(rows) / figures.median(), figures.fileMb);
    for (const auto* baseline : baselines) {
        if (baseline && baseline->ok() && baseline != &figures)
            std::printf("   %.2fx %s", figures.median() / baseline->median(),
                        baseline->work.c_str());
    }
    std::printf("\n");
}

void removeDatabase(const fs::path& path) {
    std::error_code error;
    fs::remove(path, error);
    fs::remove(path.string() + "-journal", error);
}

} // namespace

int main(int argc, char** argv) {
    const long long rows = argc > 1 ? std::atoll(argv[1]) : 1'000'000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    char pattern[] = "/tmp/bench-standin-XXXXXX";
    if (rows <= 0 || runs <= 0 || !::mkdtemp(pattern)) {
        std::fprintf(stderr, "usage: bench-standin [ROWS] [RUNS]\n");
        return 2;
    }
    const fs::path home = pattern;
    const auto oradata = home / "oradata";
    fs::create_directories(oradata);
    scratchOutput = (home / "output.txt").string();
    ::setenv("ORA_HOME", home.c_str(), 1);
    const auto demo = oradata / "DEMO.db";
    const auto test = oradata / "TEST.db";
    if (!run({{STANDIN_SEED, "--big", std::to_string(rows), demo.string()}, {}, {}})) {
        std::fprintf(stderr, "seeding failed\n");
        return 1;
    }
    const auto seedTest = [&] {
        removeDatabase(test);
        run({{STANDIN_SEED, test.string()}, {}, {}});
    };
    const auto nothing = [] {};
    const auto bigIn = [&](const fs::path& db) {
        return [db, rows] { return countRows(db, "SCOTT.BIG") == rows; };
    };

    std::printf("SCOTT.BIG: %lld rows of 5 columns (integer, text, real, text or NULL, text); "
                "%d runs of each\n",
                rows, runs);
    std::printf("Every process is started anew; the ratios compare medians with the baselines "
                "measured here.\n\n");
    std::printf("%-28s %7s %7s %7s %10s %8s   %s\n", "work", "min s", "median", "max s", "rows/s",
                "file MB", "median / baseline median");

    const auto copy = home / "copy.db";
    const auto floor = measure(
        "VACUUM INTO (copy floor)", runs, [&] { removeDatabase(copy); },
        [&] {
            return timed([&] {
                standin::Database db(demo.string(), standin::Database::Mode::ReadOnly);
                db.exec("VACUUM INTO '" + copy.string() + "'");
                ::_exit(0);
            });
        },
        bigIn(copy), copy);

    const bool haveShell = run({{"sqlite3", "-version"}, {}, {}}).has_value();
    const auto script = home / "big.sql";
    Figures shellDump{"sqlite3 .dump", {}, 0};
    Figures shellRead{"sqlite3 reading the .dump", {}, 0};
    if (haveShell) {
        shellDump = measure(
            shellDump.work, runs, nothing,
            [&] {
                return run({{"sqlite3", "-readonly", demo.string(), ".dump SCOTT.BIG"},
                            {},
                            script.string()});
            },
            [] { return true; }, script);
        const auto fresh = home / "fresh.db";
        shellRead = measure(
            shellRead.work, runs, [&] { removeDatabase(fresh); },
            [&] {
                return run({{"sqlite3", fresh.string()}, script.string(), {}});
            },
            bigIn(fresh), fresh);
    }

    const auto dump = home / "big.dump";
    const auto exported = measure(
        "exp tables=BIG", runs, nothing,
        [&] {
            return run(
                {{STANDIN_EXP, "scott/tiger@DEMO", "file=" + dump.string(), "tables=BIG"}, {}, {}});
        },
        [] { return true; }, dump);
    const auto imported = measure(
        "imp commit=n", runs, seedTest,
        [&] {
            return run({{STANDIN_IMP, "scott/tiger@TEST", "file=" + dump.string()}, {}, {}});
        },
        bigIn(test), test);
    const auto committing = measure(
        "imp commit=y buffer=1048576", runs, seedTest,
        [&] {
            return run({{STANDIN_IMP, "scott/tiger@TEST", "file=" + dump.string(), "commit=y",
                         "buffer=1048576"},
                        {},
                        {}});
        },
        bigIn(test), test);

    print(floor, rows, {});
    print(exported, rows, {&floor, haveShell ? &shellDump : nullptr});
    print(imported, rows, {&floor, haveShell ? &shellRead : nullptr});
    print(committing, rows, {&floor, haveShell ? &shellRead : nullptr});
    if (haveShell) {
        print(shellDump, rows, {&floor});
        print(shellRead, rows, {&floor});
    } else {
        std::printf("sqlite3 shell not found: its baselines are missing\n");
    }
    if (exported.ok() && imported.ok() && floor.ok()) {
        std::printf("\nexp + imp, a copy through a dump: %.2f s median, %.2fx the copy floor\n",
                    exported.median() + imported.median(),
                    (exported.median() + imported.median()) / floor.median());
    }

    std::error_code error;
    fs::remove_all(home, error);
    return exported.ok() && imported.ok() && committing.ok() && floor.ok() ? 0 : 1;
}
