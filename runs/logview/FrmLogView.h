// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include <memory>

class QLineEdit;

namespace platform {
class ReadOnlyFile;
}

namespace runs::logview {

class LogSummaryLabel;
class LogTextView;

// The window that shows a utility's log: a heading, the log's path, a summary of the run and
// the log's whole text. It is a top-level window of its own, so it stays open when the main
// window closes.
class frmLogView : public QWidget {
    Q_OBJECT
public:
    frmLogView();

    // Fills the window with a log and brings it to the front.
    void showLog(const QString& heading, std::shared_ptr<platform::ReadOnlyFile> log,
                 const QString& path);

private:
    QLineEdit* txt_title = nullptr;
    QLineEdit* txt_filename = nullptr;
    LogTextView* txt_logtext = nullptr;
    LogSummaryLabel* lbl_summary = nullptr;
};

} // namespace runs::logview
