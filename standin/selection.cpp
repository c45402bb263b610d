// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin/selection.h"

#include <algorithm>

namespace standin {

namespace {

QualifiedName withOwner(QualifiedName name, const std::string& defaultOwner) {
    if (name.owner.empty())
        name.owner = defaultOwner;
    return name;
}

} // namespace

std::optional<Message> exportRefusal(const Options& options, const UserRecord& user) {
    if (user.dba)
        return std::nullopt;
    if (options.full)
        return messages::fullExportNeedsDba();
    for (const auto& table : options.tables) {
        if (!table.owner.empty() && table.owner != user.name)
            return messages::noPrivilege(table.owner, table.name);
    }
    return std::nullopt;
}

std::optional<Message> importRefusal(const Options& options, const UserRecord& user) {
    if (user.dba)
        return std::nullopt;
    if (options.full) {
        return messages::otherAccountNeedsDba("full=y imports every schema; " + user.name +
                                              " is not a DBA");
    }
    ImportSelection selection(options, user.name);
    auto check = [&](const std::string& owner) -> std::optional<Message> {
        const auto target = selection.ownerMapping(owner);
        if (target && *target != user.name) {
            return messages::otherAccountNeedsDba(user.name + " may not import into schema " +
                                                  *target);
        }
        return std::nullopt;
    };
    for (const auto& owner : options.fromUsers) {
        if (auto refusal = check(owner))
            return refusal;
    }
    for (const auto& table : options.tables) {
        if (table.owner.empty())
            continue;
        if (auto refusal = check(table.owner))
            return refusal;
    }
    return std::nullopt;
}

ExportSelection selectForExport(const std::vector<QualifiedName>& catalogue, const Options& options,
                                const std::string& user) {
    ExportSelection selection;
    if (options.full) {
        selection.mode = "full";
        selection.tables = catalogue;
        return selection;
    }
    if (options.tables.empty()) {
        selection.mode = "user";
        std::copy_if(catalogue.begin(), catalogue.end(), std::back_inserter(selection.tables),
                     [&](const QualifiedName& name) { return name.owner == user; });
        return selection;
    }
    selection.mode = "tables";
    for (const auto& named : options.tables) {
        const auto table = withOwner(named, user);
        if (std::find(catalogue.begin(), catalogue.end(), table) == catalogue.end()) {
            selection.missing.push_back(messages::tableMissing(table.storageName()));
            continue;
        }
        if (std::find(selection.tables.begin(), selection.tables.end(), table) ==
            selection.tables.end())
            selection.tables.push_back(table);
    }
    return selection;
}

ImportSelection::ImportSelection(const Options& options, std::string user)
    : options_(options), user_(std::move(user)), tableMatched_(options.tables.size()),
      fromUserMatched_(options.fromUsers.size()) {}

std::optional<std::string> ImportSelection::ownerMapping(const std::string& owner) const {
    if (options_.full)
        return owner;
    const auto& from = options_.fromUsers;
    if (!from.empty()) {
        const auto found = std::find(from.begin(), from.end(), owner);
        if (found == from.end())
            return std::nullopt;
        const auto index = static_cast<std::size_t>(found - from.begin());
        return options_.toUsers.empty() ? owner : options_.toUsers[index];
    }
    // Without fromuser= a user imports their own schema, or the schemas tables= names.
    const bool named =
        std::any_of(options_.tables.begin(), options_.tables.end(),
                    [&](const QualifiedName& table) { return table.owner == owner; });
    if (owner == user_ || named)
        return owner;
    return std::nullopt;
}

std::optional<std::string> ImportSelection::targetOwner(const QualifiedName& dumped) {
    auto target = ownerMapping(dumped.owner);
    if (!target)
        return std::nullopt;
    const auto& from = options_.fromUsers;
    if (const auto found = std::find(from.begin(), from.end(), dumped.owner); found != from.end())
        fromUserMatched_[static_cast<std::size_t>(found - from.begin())] = true;
    if (options_.tables.empty())
        return target;
    bool selected = false;
    for (std::size_t i = 0; i < options_.tables.size(); ++i) {
        const auto& named = options_.tables[i];
        const bool ownerFits = named.owner.empty() ? (!from.empty() || dumped.owner == user_)
                                                   : named.owner == dumped.owner;
        if (named.name == dumped.name && ownerFits) {
            tableMatched_[i] = true;
            selected = true;
        }
    }
    return selected ? target : std::nullopt;
}

Messages ImportSelection::unmatched() const {
    Messages warnings;
    for (std::size_t i = 0; i < options_.tables.size(); ++i) {
        if (!tableMatched_[i]) {
            const auto& table = options_.tables[i];
            warnings.push_back(
                messages::tableNotInDump(table.owner.empty() ? table.name : table.storageName()));
        }
    }
    for (std::size_t i = 0; i < options_.fromUsers.size(); ++i) {
        if (!fromUserMatched_[i])
            warnings.push_back(messages::fromUserNotInDump(options_.fromUsers[i]));
    }
    return warnings;
}

} // namespace standin
