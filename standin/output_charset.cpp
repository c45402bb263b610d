// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin/output_charset.h"

#include "platform/CharacterSets.h"

#include <cerrno>
#include <cstdlib>

namespace standin {

namespace {

const iconv_t noConverter = reinterpret_cast<iconv_t>(-1);
constexpr std::size_t iconvFailed = static_cast<std::size_t>(-1);

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 character that text starts with; 0 when it starts with
// anything else (a stray byte, an overlong form, a surrogate, a character cut short).
std::size_t characterLength(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (!isContinuation(byte(i)))
            return 0;
    }
    return length;
}

iconv_t openConverter(std::string_view nlsLang) {
    const platform::CharacterSet* set = platform::characterSetOfNlsLang(nlsLang);
    if (set == nullptr || set->iconvName == "UTF-8")
        return noConverter;
    return ::iconv_open(std::string(set->iconvName).c_str(), "UTF-8");
}

} // namespace

OutputCharset::OutputCharset(std::string_view nlsLang) : converter_(openConverter(nlsLang)) {}

OutputCharset::~OutputCharset() {
    if (converter_ != noConverter)
        ::iconv_close(converter_);
}

std::string OutputCharset::encode(std::string_view utf8) {
    if (converter_ == noConverter)
        return std::string(utf8);
    std::string out(utf8.size() + utf8.size() / 2 + 16, '\0');
    std::size_t used = 0;
    const auto room = [&] {
        if (out.size() - used < 16)
            out.resize(out.size() * 2);
    };
    // iconv's signature asks for a mutable pointer but only reads through it.
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    while (inLeft > 0) {
        room();
        char* to = out.data() + used;
        std::size_t toLeft = out.size() - used;
        const bool whole = ::iconv(converter_, &in, &inLeft, &to, &toLeft) != iconvFailed;
        const int problem = errno;
        used = out.size() - toLeft;
        if (whole || problem == E2BIG)
            continue;
        if (problem != EILSEQ && problem != EINVAL)
            break; // nothing else is documented; keep what was converted
        // A character the set lacks is one '?'; each byte that is not UTF-8 is one too.
        const std::size_t length = characterLength({in, inLeft});
        const std::size_t skipped = length == 0 ? 1 : length;
        room();
        out[used++] = '?';
        in += skipped;
        inLeft -= skipped;
    }
    // Back to the initial shift state, so every text converts on its own.
    room();
    char* to = out.data() + used;
    std::size_t toLeft = out.size() - used;
    ::iconv(converter_, nullptr, nullptr, &to, &toLeft);
    out.resize(out.size() - toLeft);
    return out;
}

std::string nlsLangOfEnvironment() {
    const char* value = std::getenv("NLS_LANG");
    return value == nullptr ? std::string() : std::string(value);
}

std::string_view utf8Prefix(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes)
        return text;
    std::size_t cut = maxBytes;
    // Back up over the continuation bytes of the character the cut falls into, if any.
    for (std::size_t back = 0; back < 3 && cut > 0; ++back) {
        if (!isContinuation(static_cast<unsigned char>(text[cut])))
            break;
        --cut;
    }
    if (cut < maxBytes && characterLength(text.substr(cut)) > maxBytes - cut)
        return text.substr(0, cut);
    return text.substr(0, maxBytes);
}

} // namespace standin
