// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QString>

#include <functional>

class QAbstractButton;
class QLineEdit;
class QPlainTextEdit;

namespace runs {

namespace console {
class UtilityConsole;
}

// What differs between the export run and the import run.
struct ToolRunPanel {
    std::function<bool()> check;    // shows its own refusals
    std::function<QString()> build; // returns the command line, writing the directory back
    QPlainTextEdit* readBack = nullptr;
    QLineEdit* directory = nullptr;
    QLineEdit* dumpFile = nullptr;
    QAbstractButton* logButton = nullptr;
    QString notFoundMessage;
    QPointer<console::UtilityConsole>* console =
        nullptr; // the panel's console, reused run after run
};

// One press of "Export Now" or "Import Now": check, build, show the line, start the utility
// from the Oracle home in its console, wait for it, report a failed start or offer the log.
void runTool(const ToolRunPanel& panel, QChar separator);

} // namespace runs
