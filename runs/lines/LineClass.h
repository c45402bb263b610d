// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// Which lines of a utility's output are problems, and which line states how the run ended. The
// console classifies its rows and the log window the lines of a log file with the same function,
// so a line looks the same in both. Standard C++ only: the log window calls it on its indexing
// thread at every line start.
namespace runs::lines {

enum class LineKind : std::uint8_t {
    Plain,
    Error,   // a message code ("EXP-00011:", "ORA-01017:", "LRM-00101:") or "ERROR:"
    Warning, // "WARNING:"
    Closing, // "Export terminated successfully without warnings." and its kin
};

enum class Outcome : std::uint8_t { Succeeded, SucceededWithWarnings, Failed };
enum class Utility : std::uint8_t { Export, Import };

struct LineClass {
    LineKind kind = LineKind::Plain;
    // Only for a closing line: how the run ended, and which utility said so.
    Outcome outcome = Outcome::Succeeded;
    Utility utility = Utility::Export;

    bool isProblem() const { return kind == LineKind::Error || kind == LineKind::Warning; }
    friend bool operator==(const LineClass&, const LineClass&) = default;
};

// Only this many characters from a line's start decide its class (leading blanks included); no
// character beyond them is read. A caller that holds less of a line than this, and not its end,
// passes what it has and gets the class of a line that ends there.
inline constexpr std::size_t significantLength = 128;

namespace detail {
LineClass classifyBytes(std::string_view line) noexcept;
LineClass classifyUtf16(std::u16string_view line) noexcept;

// Whether a line may be more than plain, from its first characters after the blanks: every
// pattern starts with a capital A-Z, then another capital ("EXP-", "ERROR:", "WARNING:") or it is
// "Export" or "Import". So nearly every plain line is told here, without a call.
template <typename Char> constexpr bool mayClassify(std::basic_string_view<Char> line) {
    line = line.substr(0, significantLength);
    std::size_t at = 0;
    while (at < line.size() && (line[at] == Char(' ') || line[at] == Char('\t')))
        ++at;
    const auto upper = [](Char c) { return c >= Char('A') && c <= Char('Z'); };
    if (at == line.size() || !upper(line[at]))
        return false;
    if (at + 1 == line.size() || upper(line[at + 1]))
        return true;
    const Char first = line[at];
    const Char second = line[at + 1];
    return (first == Char('E') && second == Char('x')) ||
           (first == Char('I') && second == Char('m'));
}
} // namespace detail

// The class of one line, given from its first character. The view may run on past the line's end:
// reading stops at the first line feed. A line is, after any leading blanks (spaces and tabs):
// - an error when it starts with a message code, two to five capitals A-Z, '-', five digits and
//   ':' ("IMP-00015:"), or with "ERROR:";
// - a warning when it starts with "WARNING:";
// - a closing line when it is "Export" or "Import", then " terminated successfully without
//   warnings", " terminated successfully with warnings" or " terminated unsuccessfully", spelt
//   exactly so, optionally after a message code and blanks ("EXP-00000: Export terminated
//   unsuccessfully", as the utilities write a failure), and followed by nothing but an optional
//   '.', blanks and a carriage return. A closing line is never counted as a problem.
// Bytes are read as ASCII: in every ASCII-compatible character set the bytes a line starts with
// are whole characters, so a log need not be decoded first.
inline LineClass classify(std::string_view line) noexcept {
    return detail::mayClassify(line) ? detail::classifyBytes(line) : LineClass{};
}

// The same for text held as UTF-16 (a QStringView's utf16()).
inline LineClass classify(std::u16string_view line) noexcept {
    return detail::mayClassify(line) ? detail::classifyUtf16(line) : LineClass{};
}

} // namespace runs::lines
