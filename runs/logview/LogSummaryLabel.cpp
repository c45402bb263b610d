// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/logview/LogSummaryLabel.h"

#include "runs/lines/ProblemColours.h"
#include "runs/lines/RunSummary.h"
#include "runs/logview/LogTextView.h"

using namespace Qt::Literals::StringLiterals;

namespace runs::logview {

LogSummaryLabel::LogSummaryLabel(const LogTextView* view, const QColor& plain, QWidget* parent)
    : QLabel(parent), m_view(view), m_plain(plain) {
    setObjectName(u"lbl_summary"_s);
    setTextFormat(Qt::PlainText);
    m_later.setSingleShot(true);
    connect(&m_later, &QTimer::timeout, this, &LogSummaryLabel::showSummary);
    connect(view, &LogTextView::problemsChanged, this, &LogSummaryLabel::problemsChanged);
    showSummary();
}

// Another log is summed up at once.
void LogSummaryLabel::problemsChanged() {
    if (!m_view->isIndexing() || &m_view->document() != m_document ||
        m_shown.elapsed() >= GrowingEveryMs) {
        showSummary();
    } else if (!m_later.isActive()) {
        m_later.start(static_cast<int>(GrowingEveryMs - m_shown.elapsed()));
    }
}

void LogSummaryLabel::showSummary() {
    m_later.stop();
    m_shown.start();
    m_document = &m_view->document();
    const lines::RunTally& tally = m_view->document().problems().tally;
    const QString summary = QString::fromStdString(
        m_view->isIndexing() ? lines::readingSummaryText(tally) : lines::summaryText(tally));
    if (summary == m_summary)
        return;
    m_summary = summary;
    QColor colour = m_plain;
    if (!m_view->isIndexing() && tally.closing)
        colour = lines::problemColours(parentWidget()->palette().color(QPalette::Window))
                     .colourOf(*tally.closing);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, colour);
    setPalette(colours);
    showFitted();
    setAccessibleName(summary);
}

// A text too long for the line ends in an ellipsis; its tool tip and screen readers get it whole.
void LogSummaryLabel::showFitted() {
    setText(fontMetrics().elidedText(m_summary, Qt::ElideRight, contentsRect().width()));
    setToolTip(text() == m_summary ? QString() : m_summary);
}

void LogSummaryLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    showFitted();
}

} // namespace runs::logview
