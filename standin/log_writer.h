#pragma once

#include "standin/options.h"

#include <string>
#include <string_view>

namespace standin {

// Every line goes to stderr and, once open() succeeded, to the log file. The closing line and the
// exit status both follow from how many warnings and errors were reported:
//   0  "<Tool> completed successfully."
//   1  "<Tool> completed with warnings."
//   2  "<Tool> failed."
class LogWriter {
public:
    LogWriter() = default;
    ~LogWriter();
    LogWriter(const LogWriter&) = delete;
    LogWriter& operator=(const LogWriter&) = delete;

    std::string open(const std::string& path); // empty on success, else why not
    void line(std::string_view text);
    void warning(std::string_view text);
    void error(std::string_view text);
    int finish(Tool tool); // writes the closing line, returns the exit status

    int fileDescriptor() const { return fd_; }

private:
    int fd_ = -1;
    int warnings_ = 0;
    int errors_ = 0;
};

std::string closingLine(Tool tool, int exitStatus);

} // namespace standin
