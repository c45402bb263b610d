// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "standin/catalogue.h"
#include "standin/messages.h"
#include "standin/options.h"

#include <optional>
#include <string>
#include <vector>

namespace standin {

// Why this user may not run this export or import at all; nullopt when allowed. A non-DBA account
// reads and writes only its own schema.
std::optional<Message> exportRefusal(const Options& options, const UserRecord& user);
std::optional<Message> importRefusal(const Options& options, const UserRecord& user);

struct ExportSelection {
    std::string mode; // full, user or tables, as the dump header records it
    std::vector<QualifiedName> tables;
    Messages missing; // named tables that do not exist
};

ExportSelection selectForExport(const std::vector<QualifiedName>& catalogue, const Options& options,
                                const std::string& user);

// Decides, table by table as the dump is read, which tables imp loads and into which schema.
class ImportSelection {
public:
    ImportSelection(const Options& options, std::string user);

    // The schema the dumped table goes to, or nullopt when it is not selected.
    std::optional<std::string> targetOwner(const QualifiedName& dumped);
    // Names from tables= and fromuser= that matched nothing in the dump, a warning each.
    Messages unmatched() const;
    // Where a schema's tables would go, ignoring tables=; nullopt when the schema is not chosen.
    std::optional<std::string> ownerMapping(const std::string& owner) const;

private:
    const Options& options_;
    std::string user_;
    std::vector<bool> tableMatched_;
    std::vector<bool> fromUserMatched_;
};

} // namespace standin
