// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/lines/LineClass.h"

#include <algorithm>
#include <optional>

namespace runs::lines {

namespace {

// One reading of a line's significant characters, for bytes and for UTF-16 alike: every pattern
// is ASCII, so a character is compared by its value.
template <typename Char> class Reader {
public:
    // The line ends at its line feed, which is looked for only where reading gets to: a plain
    // line is told from its first characters, without a scan of the rest.
    explicit Reader(std::basic_string_view<Char> line)
        : line_(line.substr(0, significantLength)), end_(line_.size()) {}

    bool atEnd() const { return at_ >= end_ || line_[at_] == Char('\n'); }
    char32_t peek() const { return atEnd() ? 0 : static_cast<char32_t>(toUnsigned(line_[at_])); }
    std::size_t position() const { return at_; }
    void moveTo(std::size_t at) { at_ = at; }

    std::size_t skipBlanks() {
        const auto start = at_;
        while (peek() == U' ' || peek() == U'\t')
            ++at_;
        return at_ - start;
    }

    std::size_t skipCapitals() {
        const auto start = at_;
        while (peek() >= U'A' && peek() <= U'Z')
            ++at_;
        return at_ - start;
    }

    bool skipDigits(std::size_t count) {
        for (std::size_t i = 0; i < count; ++i, ++at_) {
            if (peek() < U'0' || peek() > U'9')
                return false;
        }
        return true;
    }

    // Moves past text when the line continues with it. No pattern holds a line feed, so none is
    // read past.
    bool take(std::string_view text) {
        if (end_ - at_ < text.size())
            return false;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (static_cast<char32_t>(toUnsigned(line_[at_ + i])) !=
                static_cast<unsigned char>(text[i]))
                return false;
        }
        at_ += text.size();
        return true;
    }

private:
    static auto toUnsigned(Char c) { return static_cast<std::make_unsigned_t<Char>>(c); }

    std::basic_string_view<Char> line_;
    std::size_t end_ = 0;
    std::size_t at_ = 0;
};

// A message code without its colon: two to five capitals, '-' and five digits.
template <typename Char> bool takeCode(Reader<Char>& reader) {
    const auto letters = reader.skipCapitals();
    return letters >= 2 && letters <= 5 && reader.take("-") && reader.skipDigits(5);
}

// "Export terminated ...", and nothing after it but '.', blanks and a carriage return.
template <typename Char> std::optional<LineClass> takeClosing(Reader<Char>& reader) {
    LineClass closing{LineKind::Closing, Outcome::Succeeded, Utility::Export};
    if (reader.take("Import"))
        closing.utility = Utility::Import;
    else if (!reader.take("Export"))
        return std::nullopt;
    if (!reader.take(" terminated "))
        return std::nullopt;
    if (reader.take("successfully with warnings"))
        closing.outcome = Outcome::SucceededWithWarnings;
    else if (reader.take("successfully without warnings"))
        closing.outcome = Outcome::Succeeded;
    else if (reader.take("unsuccessfully"))
        closing.outcome = Outcome::Failed;
    else
        return std::nullopt;
    reader.take(".");
    reader.skipBlanks();
    reader.take("\r");
    if (!reader.atEnd())
        return std::nullopt;
    return closing;
}

template <typename Char> LineClass classifyLine(std::basic_string_view<Char> line) {
    Reader<Char> reader(line);
    reader.skipBlanks();
    const auto start = reader.position();
    if (takeCode(reader) && reader.take(":")) {
        reader.skipBlanks();
        return takeClosing(reader).value_or(LineClass{LineKind::Error});
    }
    reader.moveTo(start);
    if (reader.take("ERROR:"))
        return {LineKind::Error};
    if (reader.take("WARNING:"))
        return {LineKind::Warning};
    return takeClosing(reader).value_or(LineClass{});
}

} // namespace

namespace detail {

LineClass classifyBytes(std::string_view line) noexcept {
    return classifyLine(line);
}

LineClass classifyUtf16(std::u16string_view line) noexcept {
    return classifyLine(line);
}

} // namespace detail

} // namespace runs::lines
