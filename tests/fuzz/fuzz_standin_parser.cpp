// SPDX-License-Identifier: GPL-3.0-or-later
// The stand-in's command-line parser and dump field decoder take any bytes without crashing, a
// masked connection keeps all but its password, and a decoded field encodes back to one that
// decodes the same.
#include "standin/command_line.h"
#include "standin/parameter_report.h"
#include "standin/value_codec.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void checkCommandLine(const std::string& text) {
    std::vector<std::string> args;
    std::size_t from = 0;
    for (;;) {
        const auto newline = text.find('\n', from);
        args.push_back(text.substr(from, newline - from));
        if (newline == std::string::npos)
            break;
        from = newline + 1;
    }
    if (standin::describeRefusedArguments(args).empty())
        std::abort();
    for (auto tool : {standin::Tool::Export, standin::Tool::Import}) {
        const auto outcome = standin::parseCommandLine(args, tool);
        if (!outcome.options) {
            if (outcome.error.empty())
                std::abort();
            continue;
        }
        const auto& connection = outcome.options->connection;
        if (!standin::isIdentifier(connection.user) || connection.password.empty() ||
            connection.sid.empty() || outcome.options->file.empty())
            std::abort();
        // Masking keeps everything but the password, exactly.
        const auto maskedTail = "/********@" + connection.sid;
        const auto given = standin::joinContinuations(args).front();
        if (standin::maskConnection(given) != given.substr(0, given.find('/')) + maskedTail ||
            standin::describeParameters(*outcome.options).front() !=
                "userid=" + connection.user + maskedTail)
            std::abort();
    }
}

void checkField(const std::string& text) {
    standin::FieldValue value;
    if (!standin::decodeField(text, value).empty())
        return;
    std::string again;
    switch (value.kind) {
    case standin::FieldValue::Kind::Null:
        standin::appendNull(again);
        break;
    case standin::FieldValue::Kind::Integer:
        standin::appendInteger(again, value.integer);
        break;
    case standin::FieldValue::Kind::Real:
        standin::appendReal(again, value.real);
        break;
    case standin::FieldValue::Kind::Text:
        standin::appendText(again, value.bytes);
        break;
    case standin::FieldValue::Kind::Blob:
        standin::appendBlob(again, value.bytes);
        break;
    }
    using Kind = standin::FieldValue::Kind;
    standin::FieldValue decoded;
    const bool same =
        standin::decodeField(again, decoded).empty() && decoded.kind == value.kind &&
        (value.kind != Kind::Integer || decoded.integer == value.integer) &&
        (value.kind != Kind::Real || decoded.real == value.real) &&
        ((value.kind != Kind::Text && value.kind != Kind::Blob) || decoded.bytes == value.bytes);
    if (!same)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    const std::string text(reinterpret_cast<const char*>(bytes), size);
    checkCommandLine(text);
    checkField(text);
    return 0;
}
