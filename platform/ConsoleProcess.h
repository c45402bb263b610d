// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Process.h"

#include <QByteArray>
#include <QList>
#include <QObject>

#include <chrono>
#include <memory>

namespace platform {

// How a program ended: its exit status, or the signal that ended it.
struct ProcessEnd {
    bool bySignal = false;
    int number = 0; // exit status or signal number
};

// The system's name for a signal ("Hangup", "Killed").
QString signalName(int signal);

// A program started on a terminal of its own, as a console window starts it: the program's
// standard input, output and error are that terminal, the terminal's line discipline does echo
// and line editing, and closing the terminal hangs the program up.
//
// On Linux the terminal is a pseudo-terminal: what the program writes arrives through output(),
// keys go in through write(), and the window that shows it is Tarnhold's own (the caller's).
//
// On Windows (not built) the equivalent is a console of the system's own: CreateProcess with
// CREATE_NEW_CONSOLE and the command line, the program's environment and current folder; the
// system draws that console and reads its keys, so output() never fires and write() and resize()
// do nothing. The process handle from CreateProcess serves the wait (WaitForSingleObject) and
// GetExitCodeProcess gives finish() its status. Closing that console ends the program (the
// system sends CTRL_CLOSE_EVENT and terminates it), which is what hangUp() does here.
class ConsoleProcess : public QObject {
    Q_OBJECT
public:
    struct Size {
        int rows = 25;
        int columns = 80;
    };

    struct Start {
        std::unique_ptr<ConsoleProcess> process; // set when failure is 0
        int failure = 0; // 0, FileNotFoundFailure, or the system's error number
        QString description;
    };

    // Starts program with arguments, each passed byte for byte and never through a shell.
    // A program file that is not there gives FileNotFoundFailure.
    static Start start(const QByteArray& program, const QList<QByteArray>& arguments, Size size);

    // How long a hung-up program may take to end before it is killed.
    static void setHangUpGrace(std::chrono::milliseconds grace);

    ~ConsoleProcess() override;

    virtual qint64 processId() const = 0;
    virtual bool isRunning() const = 0;

    // Keys typed at the terminal, as the bytes a terminal sends.
    virtual void write(const QByteArray& keys) = 0;
    virtual void resize(Size size) = 0;

    // The terminal is closed: the program and its process group are hung up, and killed when
    // they are still there after the grace period.
    virtual void hangUp() = 0;

    // Once the program has ended: hands on what it left on the terminal, closes the terminal
    // and collects the program's end. Called while it still runs, it kills it first.
    virtual ProcessEnd finish() = 0;

Q_SIGNALS:
    void output(const QByteArray& bytes);

protected:
    ConsoleProcess() = default;
    static std::chrono::milliseconds hangUpGrace();
};

} // namespace platform
