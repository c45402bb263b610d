// Exports and imports SCOTT.BIG with the stand-in exp and imp, and does the same with the sqlite3
// shell (.dump, then reading the script into a fresh database), printing rows per second.

#include "standin/database.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Timed {
    bool ok = false;
    double seconds = 0;
};

// Runs argv with stdin/stdout redirected to files (empty: inherited), stderr silenced.
Timed run(const std::vector<std::string>& argv, const std::string& input = {},
          const std::string& output = {}) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDERR_FILENO);
        if (!input.empty())
            ::dup2(::open(input.c_str(), O_RDONLY), STDIN_FILENO);
        ::dup2(output.empty() ? null : ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644),
               STDOUT_FILENO);
        std::vector<char*> args;
        for (const auto& arg : argv)
            args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return {WIFEXITED(status) && WEXITSTATUS(status) == 0, elapsed.count()};
}

long long countRows(const fs::path& database, const char* table) {
    standin::Database db(database.string(), standin::Database::Mode::ReadOnly);
    auto query = db.prepare(std::string("SELECT count(*) FROM \"") + table + '"');
    return query.step() ? query.columnInteger(0) : -1;
}

double megabytes(const fs::path& file) {
    std::error_code error;
    const auto size = fs::file_size(file, error);
    return error ? 0 : static_cast<double>(size) / (1024.0 * 1024.0);
}

void report(const char* work, const Timed& timed, long long rows, long long expected,
            const fs::path& file) {
    if (!timed.ok || rows != expected) {
        std::printf("%-30s %10s\n", work, timed.ok ? "wrong row count" : "failed");
        return;
    }
    std::printf("%-30s %9.2f %12.0f %10.1f\n", work, timed.seconds,
                static_cast<double>(rows) / timed.seconds, megabytes(file));
}

} // namespace

int main(int argc, char** argv) {
    const long long rows = argc > 1 ? std::atoll(argv[1]) : 1'000'000;
    char pattern[] = "/tmp/bench-standin-XXXXXX";
    if (rows <= 0 || !::mkdtemp(pattern)) {
        std::fprintf(stderr, "usage: bench-standin [ROWS]\n");
        return 2;
    }
    const fs::path home = pattern;
    const auto oradata = home / "oradata";
    fs::create_directories(oradata);
    ::setenv("ORA_HOME", home.c_str(), 1);
    const auto demo = oradata / "DEMO.db";
    if (!run({STANDIN_SEED, "--big", std::to_string(rows), demo.string()}).ok ||
        !run({STANDIN_SEED, (oradata / "TEST.db").string()}).ok ||
        !run({STANDIN_SEED, (oradata / "TEST2.db").string()}).ok) {
        std::fprintf(stderr, "seeding failed\n");
        return 1;
    }

    std::printf("%lld rows of SCOTT.BIG (5 columns: integer, text, real, text or NULL, text)\n",
                rows);
    std::printf("%-30s %9s %12s %10s\n", "work", "seconds", "rows/s", "file MB");

    const auto dump = home / "big.dump";
    const auto exported =
        run({STANDIN_EXP, "scott/tiger@DEMO", "file=" + dump.string(), "tables=BIG"});
    report("exp tables=BIG", exported, rows, rows, dump);

    const auto script = home / "big.sql";
    const bool haveShell = run({"sqlite3", "-version"}).ok;
    if (haveShell) {
        const auto dumped =
            run({"sqlite3", "-readonly", demo.string(), ".dump SCOTT.BIG"}, {}, script.string());
        report("sqlite3 .dump", dumped, rows, rows, script);
    }

    const auto imported = run({STANDIN_IMP, "scott/tiger@TEST", "file=" + dump.string()});
    report("imp commit=n", imported, countRows(oradata / "TEST.db", "SCOTT.BIG"), rows,
           oradata / "TEST.db");
    const auto committing = run(
        {STANDIN_IMP, "scott/tiger@TEST2", "file=" + dump.string(), "commit=y", "buffer=1048576"});
    report("imp commit=y buffer=1048576", committing, countRows(oradata / "TEST2.db", "SCOTT.BIG"),
           rows, oradata / "TEST2.db");

    if (haveShell) {
        const auto fresh = home / "fresh.db";
        const auto read = run({"sqlite3", fresh.string()}, script.string());
        report("sqlite3 reading the .dump", read, countRows(fresh, "SCOTT.BIG"), rows, fresh);
    } else {
        std::printf("sqlite3 shell not found: its rows are missing\n");
    }

    std::error_code error;
    fs::remove_all(home, error);
    return exported.ok && imported.ok ? 0 : 1;
}
