// Stands in for exp or imp in the tests: writes its arguments, one per NUL-terminated record,
// to the file named by TARNHOLD_RECORD, and a short log at the path given as log=...
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char* argv[]) {
    if (const char* record = std::getenv("TARNHOLD_RECORD")) {
        if (FILE* out = std::fopen(record, "wb")) {
            for (int i = 1; i < argc; ++i)
                std::fwrite(argv[i], 1, std::strlen(argv[i]) + 1, out);
            std::fclose(out);
        }
    }
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "log=", 4) == 0) {
            if (FILE* log = std::fopen(argv[i] + 4, "w")) {
                std::fputs("recorded run\n", log);
                std::fclose(log);
            }
        }
    }
    const char* status = std::getenv("TARNHOLD_EXIT_STATUS");
    return status ? std::atoi(status) : 0;
}
