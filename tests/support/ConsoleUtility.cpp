// SPDX-License-Identifier: GPL-3.0-or-later
// Stands in for a utility that talks to the operator on its terminal: it asks for a name with
// echo on and a password with echo off, then says what it got, without the password.
// With TARNHOLD_FILL_LINES set it asks nothing: it writes that many numbered lines, then
// "last words" with no line feed, and ends at once.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <termios.h>
#include <unistd.h>

namespace {

bool readLine(char* line, int size) {
    if (!std::fgets(line, size, stdin))
        return false;
    line[std::strcspn(line, "\r\n")] = '\0';
    return true;
}

} // namespace

int main() {
    if (const char* lines = std::getenv("TARNHOLD_FILL_LINES")) {
        for (int line = 0, count = std::atoi(lines); line < count; ++line)
            std::printf("line %d\n", line);
        std::printf("last words");
        return 0;
    }
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::printf("Name: ");
    char name[256];
    if (!readLine(name, sizeof name))
        return 2;

    termios modes{};
    if (::tcgetattr(STDIN_FILENO, &modes) != 0)
        return 3;
    termios silent = modes;
    silent.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    ::tcsetattr(STDIN_FILENO, TCSANOW, &silent);
    std::printf("Password: ");
    char password[256];
    const bool read = readLine(password, sizeof password);
    ::tcsetattr(STDIN_FILENO, TCSANOW, &modes);
    if (!read)
        return 4;
    std::printf("\nHello %s, your password has %zu characters\n", name, std::strlen(password));
    return 0;
}
