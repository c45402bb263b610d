// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

namespace standin {

// Whether a refused logon may ask again: only when standard input is a terminal.
bool canPromptForLogon();

struct TypedLogon {
    std::string user;
    std::string password;
};

// Asks on the terminal for a user name and then, with echo off, a password. The terminal's
// settings come back afterwards, also when a signal ends the run. nullopt at end of input.
std::optional<TypedLogon> promptForLogon();

} // namespace standin
