// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace standin {

// One field of a dump row, spelled like an SQL literal so a person can read it:
//   NULL   42   -7   800.0   1e+300   inf   'text with \' \\ \t \n \x01'   X'00ff'
// A real always has '.', 'e' or "inf" in it, so it never reads back as an integer.
struct FieldValue {
    enum class Kind { Null, Integer, Real, Text, Blob };
    Kind kind = Kind::Null;
    std::int64_t integer = 0;
    double real = 0;
    std::string bytes; // Text and Blob
};

void appendNull(std::string& out);
void appendInteger(std::string& out, std::int64_t value);
void appendReal(std::string& out, double value);
void appendText(std::string& out, std::string_view text);
void appendBlob(std::string& out, std::string_view bytes);

// Decodes one field into value, reusing its buffer. Returns an empty string on success, else why
// the field is malformed.
std::string decodeField(std::string_view field, FieldValue& value);

} // namespace standin
