// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin/parameter_report.h"

#include "standin/command_line.h"

namespace standin {

namespace {

std::string yn(bool value) {
    return value ? "y" : "n";
}

template <typename Items, typename Format> std::string listOf(const Items& items, Format format) {
    std::string text = "(";
    for (const auto& item : items) {
        if (text.size() > 1)
            text += ',';
        text += format(item);
    }
    return text + ")";
}

} // namespace

std::vector<std::string> describeParameters(const Options& o) {
    const bool exp = o.tool == Tool::Export;
    const auto& c = o.connection;
    std::vector<std::string> lines;
    lines.push_back("userid=" + maskConnection(c.user + '/' + c.password + '@' + c.sid));
    lines.push_back("file=" + o.file);
    lines.push_back("log=" + (o.log.empty() ? std::string("(none)") : o.log));
    lines.push_back("full=" + yn(o.full));
    if (!o.tables.empty()) {
        lines.push_back("tables=" + listOf(o.tables, [](const QualifiedName& name) {
                            return name.owner.empty() ? name.name : name.storageName();
                        }));
    }
    if (!o.fromUsers.empty())
        lines.push_back("fromuser=" + listOf(o.fromUsers, [](const auto& user) { return user; }));
    if (!o.toUsers.empty())
        lines.push_back("touser=" + listOf(o.toUsers, [](const auto& user) { return user; }));
    lines.push_back("rows=" + yn(o.rows));
    lines.push_back("indexes=" + yn(o.indexes));
    lines.push_back("grants=" + yn(o.grants));
    if (exp) {
        lines.push_back("direct=" + yn(o.direct));
        lines.push_back("consistent=" + yn(o.consistent));
        lines.push_back("compress=" + yn(o.compress));
        if (o.query)
            lines.push_back("query=" + *o.query);
    } else {
        lines.push_back("ignore=" + yn(o.ignore));
        lines.push_back("commit=" + yn(o.commit));
        lines.push_back("compile=" + yn(o.compile));
    }
    lines.push_back(std::string("statistics=") + statisticsName(o.statistics));
    lines.push_back("feedback=" + std::to_string(o.feedback));
    lines.push_back("buffer=" + std::to_string(o.buffer));
    if (o.recordLength)
        lines.push_back("recordlength=" + std::to_string(*o.recordLength));
    return lines;
}

} // namespace standin
