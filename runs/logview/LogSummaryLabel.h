// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>

namespace runs::logview {

class LogDocument;
class LogTextView;

// One line that sums up the log a text box shows: how the run ended, from its closing line, and
// how many problem lines it holds ("Export terminated successfully with warnings — 3 problems
// (F8)"), in the colour of the outcome. The text is also the label's accessible name, so that a
// screen reader reads it and hears it change. While the log is still being read the count grows,
// told at most once a second; the last count at once.
class LogSummaryLabel : public QLabel {
    Q_OBJECT
public:
    // `plain` is the text's colour until the outcome is known, on the parent's background.
    LogSummaryLabel(const LogTextView* view, const QColor& plain, QWidget* parent);

    // How often a growing count is told.
    static constexpr int GrowingEveryMs = 1000;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void problemsChanged();
    void showSummary();
    void showFitted();

    const LogTextView* m_view;
    const LogDocument* m_document = nullptr; // the one summed up
    QColor m_plain;
    QString m_summary;
    QTimer m_later;
    QElapsedTimer m_shown;
};

} // namespace runs::logview
