// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin/value_codec.h"

#include <charconv>
#include <cmath>

namespace standin {

namespace {

constexpr char hexDigits[] = "0123456789abcdef";

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string decodeText(std::string_view body, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (c == '\'')
            return "unescaped quote inside text";
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            return "unescaped control character inside text";
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i == body.size())
            return "text ends with a lone backslash";
        switch (body[i]) {
        case '\\':
            out += '\\';
            break;
        case '\'':
            out += '\'';
            break;
        case 't':
            out += '\t';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 'x': {
            const int high = i + 2 < body.size() ? hexValue(body[i + 1]) : -1;
            const int low = high >= 0 ? hexValue(body[i + 2]) : -1;
            if (low < 0)
                return "\\x must be followed by two hex digits";
            out += static_cast<char>(high * 16 + low);
            i += 2;
            break;
        }
        default:
            return "unknown escape \\" + std::string(1, body[i]) + " inside text";
        }
    }
    return {};
}

std::string decodeBlob(std::string_view hex, std::string& out) {
    if (hex.size() % 2 != 0)
        return "blob has an odd number of hex digits";
    out.clear();
    out.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = hexValue(hex[i]);
        const int low = hexValue(hex[i + 1]);
        if (high < 0 || low < 0)
            return "blob holds a character that is not a hex digit";
        out += static_cast<char>(high * 16 + low);
    }
    return {};
}

bool looksReal(std::string_view field) {
    return field.find_first_of(".eE") != std::string_view::npos || field == "inf" ||
           field == "-inf";
}

} // namespace

void appendNull(std::string& out) {
    out += "NULL";
}

void appendInteger(std::string& out, std::int64_t value) {
    char buffer[24];
    const auto result = std::to_chars(std::begin(buffer), std::end(buffer), value);
    out.append(buffer, result.ptr);
}

void appendReal(std::string& out, double value) {
    // SQLite keeps no NaN (it stores NULL), so only the infinities need spelling out.
    if (std::isinf(value)) {
        out += value < 0 ? "-inf" : "inf";
        return;
    }
    char buffer[32];
    const auto result = std::to_chars(std::begin(buffer), std::end(buffer), value);
    const std::string_view digits(buffer, static_cast<std::size_t>(result.ptr - buffer));
    out += digits;
    if (digits.find_first_of(".e") == std::string_view::npos)
        out += ".0";
}

void appendText(std::string& out, std::string_view text) {
    out += '\'';
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\'':
            out += "\\'";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            if (byte < 0x20 || byte == 0x7f) {
                out += "\\x";
                out += hexDigits[byte >> 4];
                out += hexDigits[byte & 0xf];
            } else {
                out += c;
            }
        }
    }
    out += '\'';
}

void appendBlob(std::string& out, std::string_view bytes) {
    out += "X'";
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        out += hexDigits[byte >> 4];
        out += hexDigits[byte & 0xf];
    }
    out += '\'';
}

std::string decodeField(std::string_view field, FieldValue& value) {
    if (field == "NULL") {
        value.kind = FieldValue::Kind::Null;
        return {};
    }
    // Say what a damaged quoted field is, rather than reading it as a malformed number.
    if (field.starts_with('\'')) {
        value.kind = FieldValue::Kind::Text;
        if (field.size() < 2 || field.back() != '\'')
            return "text lacks its closing quote";
        return decodeText(field.substr(1, field.size() - 2), value.bytes);
    }
    if (field.starts_with("X'")) {
        value.kind = FieldValue::Kind::Blob;
        if (field.size() < 3 || field.back() != '\'')
            return "blob lacks its closing quote";
        return decodeBlob(field.substr(2, field.size() - 3), value.bytes);
    }
    const char* begin = field.data();
    const char* end = begin + field.size();
    if (looksReal(field)) {
        value.kind = FieldValue::Kind::Real;
        const auto [stop, problem] = std::from_chars(begin, end, value.real);
        if (problem != std::errc() || stop != end || field.front() == '+')
            return "malformed real number";
        return {};
    }
    value.kind = FieldValue::Kind::Integer;
    const auto [stop, problem] = std::from_chars(begin, end, value.integer);
    if (field.empty() || problem != std::errc() || stop != end)
        return "malformed value";
    return {};
}

} // namespace standin
