// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "standin/failure.h"
#include "standin/options.h"
#include "standin/output_charset.h"

#include <string>
#include <string_view>

namespace standin {

// The log file cannot be written: the run fails, whatever it was doing.
class LogFailure : public Failure {
public:
    using Failure::Failure;
};

// Every line goes to stderr at once, so a terminal shows the progress as it comes, and to the log
// file. The file is attached only once the run's checks have passed; lines before that are kept
// and written into it then, so a refused run leaves whatever the log path names untouched.
//
// Warnings and errors are coded messages, a line each. The closing line and the exit status follow
// from how many warnings and errors were reported:
//   0  "Export terminated successfully without warnings."
//   1  "Export terminated successfully with warnings."
//   2  "EXP-00000: Export terminated unsuccessfully"
// (and "Import", "IMP-00000"). A terminal that cannot be written (a closed pipe) is a warning; a
// log file that cannot be written is a failure (LogFailure, thrown from the line that failed).
// Lines are given in UTF-8 and written in the character set that NLS_LANG names.
class LogWriter {
public:
    static constexpr std::size_t maxLineBytes = 4096;

    explicit LogWriter(Tool tool) : tool_(tool), charset_(nlsLangOfEnvironment()) {}
    ~LogWriter();
    LogWriter(const LogWriter&) = delete;
    LogWriter& operator=(const LogWriter&) = delete;

    // Takes ownership of fd, an empty regular file, and writes the kept lines into it.
    void attachFile(int fd, std::string path);
    bool hasFile() const { return fd_ >= 0; }

    Tool tool() const { return tool_; }

    void line(std::string_view text);
    void warning(const Messages& messages);
    void error(const Messages& messages);
    void warning(const Message& message) { warning(Messages{message}); }
    void error(const Message& message) { error(Messages{message}); }
    // Coded lines that do not count as a warning: a logon refused before one that succeeds.
    void note(const Messages& messages);

    // feedback= dots on stdout; they are not logged.
    void dot();
    void endDots();

    int finish(); // writes the closing line, returns the exit status

private:
    std::string outputLine(std::string_view text); // one line, cut, made printable and encoded
    bool writeToFile(std::string_view text);       // false once the file has failed
    void toFile(std::string_view text); // throws LogFailure the first time the file fails
    void toTerminal(int fd, std::string_view text, bool& broken, const char* name);
    int status() const { return errors_ > 0 ? 2 : warnings_ > 0 ? 1 : 0; }

    Tool tool_;
    OutputCharset charset_;
    int fd_ = -1;
    std::string path_;
    std::string kept_;
    std::string fileProblem_;
    bool fileProblemThrown_ = false;
    bool stdoutBroken_ = false;
    bool stderrBroken_ = false;
    int warnings_ = 0;
    int errors_ = 0;
};

std::string closingLine(Tool tool, int exitStatus);

} // namespace standin
