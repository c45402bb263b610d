// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "commands/PanelFields.h"

#include <fuzzer/FuzzedDataProvider.h>

// Panels filled from fuzz data: every text field and every check box.
inline QString fuzzText(FuzzedDataProvider& data) {
    const std::string bytes = data.ConsumeRandomLengthString(64);
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

inline ExportFields fuzzExportFields(FuzzedDataProvider& data) {
    ExportFields f;
    for (QString* text : {&f.sid, &f.username, &f.password, &f.crNo, &f.directory, &f.exportFile,
                          &f.buffer, &f.statistics, &f.feedback, &f.query, &f.tables, &f.other})
        *text = fuzzText(data);
    for (bool* box : {&f.full, &f.direct, &f.grants, &f.indexes, &f.rows, &f.consistent,
                      &f.compress, &f.constraints})
        *box = data.ConsumeBool();
    return f;
}

inline ImportFields fuzzImportFields(FuzzedDataProvider& data) {
    ImportFields f;
    for (QString* text : {&f.sid, &f.username, &f.password, &f.directory, &f.importFile, &f.buffer,
                          &f.statistics, &f.feedback, &f.tables, &f.other})
        *text = fuzzText(data);
    for (bool* box : {&f.full, &f.compile, &f.grants, &f.indexes, &f.rows, &f.commit, &f.ignore,
                      &f.constraints})
        *box = data.ConsumeBool();
    return f;
}
