// SPDX-License-Identifier: GPL-3.0-or-later
// Stands in for exp or imp in the tests: writes its arguments, one per NUL-terminated record,
// to the file named by TARNHOLD_RECORD, its environment in the same form to the file named by
// TARNHOLD_ENVIRONMENT, and a short log at the path given as log=...
// TARNHOLD_SLEEP_MS makes it run for a while, TARNHOLD_NO_LOG keeps it from writing its log,
// TARNHOLD_EXIT_STATUS sets its exit status and TARNHOLD_SIGNAL has it end by that signal;
// TARNHOLD_IGNORE_HANGUP makes it ignore its terminal going away.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <thread>

extern char** environ;

namespace {

void writeRecords(const char* path, char* const* records, int count) {
    if (FILE* out = std::fopen(path, "wb")) {
        for (int i = 0; i < count && records[i]; ++i)
            std::fwrite(records[i], 1, std::strlen(records[i]) + 1, out);
        std::fclose(out);
    }
}

int number(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::atoi(value) : 0;
}

} // namespace

int main(int argc, char* argv[]) {
    if (const char* record = std::getenv("TARNHOLD_RECORD"))
        writeRecords(record, argv + 1, argc - 1);
    if (const char* record = std::getenv("TARNHOLD_ENVIRONMENT"))
        writeRecords(record, environ, std::numeric_limits<int>::max());
    if (std::getenv("TARNHOLD_IGNORE_HANGUP"))
        std::signal(SIGHUP, SIG_IGN);
    std::this_thread::sleep_for(std::chrono::milliseconds(number("TARNHOLD_SLEEP_MS")));
    for (int i = 1; i < argc && !std::getenv("TARNHOLD_NO_LOG"); ++i) {
        if (std::strncmp(argv[i], "log=", 4) == 0) {
            if (FILE* log = std::fopen(argv[i] + 4, "w")) {
                std::fputs("recorded run\n", log);
                std::fclose(log);
            }
        }
    }
    if (const int signal = number("TARNHOLD_SIGNAL"))
        std::raise(signal);
    return number("TARNHOLD_EXIT_STATUS");
}
