// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ConsoleProcess.h"
#include "runs/console/OutputDecoder.h"
#include "runs/console/TerminalScreen.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace runs::console {

class ConsoleView;

// The window a utility runs in: it shows what the utility writes to its terminal as it comes,
// hands the operator's keys to it, and hangs it up when closed while it runs. After the
// utility has ended it keeps its text and says how the utility ended. It is a top-level window
// with no owner; a panel reuses its console from run to run.
class UtilityConsole : public QWidget {
    Q_OBJECT
public:
    UtilityConsole();

    // Clears the console, follows the process and brings the console to the front, titled
    // with the program as started. name is the utility's own short name. The utility's text is
    // read and written in the character set that NLS_LANG names now, as the utility has it.
    void attach(platform::ConsoleProcess* process, const QString& title, const QString& name);

    // The utility has ended: a last line tells how, and what its closing line and problem lines
    // said, and keys no longer go anywhere.
    void showEnd(const platform::ProcessEnd& end);

    // The console's terminal size at first, before the window is laid out.
    static constexpr platform::ConsoleProcess::Size InitialSize{25, 80};

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void takeOutput(const QByteArray& bytes);
    void showPending();
    void detach();

    ConsoleView* m_view = nullptr;
    TerminalScreen m_screen;
    OutputDecoder m_decoder;
    QTimer m_refresh;
    QPointer<platform::ConsoleProcess> m_process;
    QString m_name;
};

} // namespace runs::console
