// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "runs/console/ConsoleView.h"
#include "runs/console/UtilityConsole.h"
#include "support/FakeTerminal.h"
#include "support/WindowTest.h"

// A console attached to a terminal that the test writes, made the terminal size asked for and
// shown, as a run opens it.
struct FakeConsole {
    explicit FakeConsole(platform::ConsoleProcess::Size size = {24, 80}) {
        console->attach(&terminal, QStringLiteral("exp"), QStringLiteral("exp"));
        console->resize(view->sizeForTerminal(size));
        [this, size] { QTRY_COMPARE(terminal.size.columns, size.columns); }();
    }
    ~FakeConsole() { console->close(); }
    FakeConsole(const FakeConsole&) = delete;
    FakeConsole& operator=(const FakeConsole&) = delete;

    // The utility writes lines, each ended as a terminal ends it; the console shows them.
    void writeLines(const QByteArrayList& lines) {
        Q_EMIT terminal.output(lines.join("\r\n") + "\r\n");
        const QString last = QString::fromUtf8(lines.last());
        [&] { QTRY_VERIFY(view->toPlainText().remove(u'\n').endsWith(last)); }();
    }

    FakeTerminal terminal;
    runs::console::UtilityConsole* console = new runs::console::UtilityConsole;
    runs::console::ConsoleView* view = control<runs::console::ConsoleView>(*console, "txt_console");
};
