// SPDX-License-Identifier: GPL-3.0-or-later
// The field checks show at most the messages their rules allow: one, or the two conflicts
// together, and refuse exactly when they showed something.
#include "FuzzFields.h"
#include "checks/ExportChecks.h"
#include "checks/ImportChecks.h"
#include "platform/MessageBox.h"

#include <QStringList>

#include <cstdlib>

using namespace Qt::Literals::StringLiterals;

namespace {

void require(bool condition) {
    if (!condition)
        std::abort();
}

QStringList shown;

void setVariable(const char* name, int form) {
    switch (form) {
    case 0:
        qunsetenv(name);
        break;
    case 1:
        qputenv(name, "");
        break;
    default:
        qputenv(name, "set");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    platform::MessageBox::setInterceptor([](const platform::MessageBoxRequest& request) {
        shown.append(request.title + u'|' + request.text);
        return QMessageBox::Ok;
    });
    FuzzedDataProvider data(bytes, size);
    setVariable("ORA_HOME", data.ConsumeIntegralInRange(0, 2));
    setVariable("NLS_LANG", data.ConsumeIntegralInRange(0, 2));
    const ExportFields e = fuzzExportFields(data);
    const ImportFields i = fuzzImportFields(data);

    shown.clear();
    const bool exportPasses = CheckExportFields(e);
    require(exportPasses == shown.isEmpty());
    require(shown.size() <= 1 ||
            shown ==
                QStringList{
                    u"Export Error:|If You are exporting via a Query, the Export cant be Direct"_s,
                    u"Export Error:|If You are exporting tables, the Export cant be Full"_s});
    for (const QString& box : shown)
        require(box.startsWith(u"Export Error:|"_s));

    shown.clear();
    const bool importPasses = CheckImportFields(i, u'/');
    require(importPasses == shown.isEmpty());
    require(shown.size() <= 1);
    for (const QString& box : shown)
        require(box.startsWith(u"Import Error:|"_s));
    return 0;
}
