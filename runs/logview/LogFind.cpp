// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/logview/LogFind.h"

#include "runs/lines/FindBar.h"
#include "runs/logview/LogCursor.h"

#include <QWidget>

#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace runs::logview {

LogFind::LogFind(QWidget* box, const LogCursor& cursor)
    : QObject(box), m_cursor(cursor), m_search(new LogSearch(this)),
      m_bar(new lines::FindBar(box, u"Find in log"_s)) {
    connect(m_search, &LogSearch::finished, this, &LogFind::searchFinished);
    connect(m_bar, &lines::FindBar::findRequested, this, &LogFind::find);
    connect(m_bar, &lines::FindBar::closed, this, [this] {
        m_search->cancel();
        Q_EMIT closed();
    });
}

void LogFind::setDocument(const LogDocument* document) {
    m_search->cancel();
    m_bar->clearResult();
    m_matchStart = m_matchEnd = -1;
    m_pending = false;
    m_document = document;
}

void LogFind::documentReplaced(const LogDocument* document) {
    const bool pending = m_pending;
    setDocument(document);
    if (pending)
        find(m_backward);
}

void LogFind::open() {
    m_bar->open();
}

void LogFind::cancel() {
    m_search->cancel();
    m_matchStart = m_matchEnd = -1;
    m_pending = false;
}

bool LogFind::isOpen() const {
    return m_bar->isVisible();
}

void LogFind::close() {
    cancel();
    m_bar->hide();
}

void LogFind::tell(const QString& result) {
    if (!m_bar->isVisible()) {
        m_bar->show();
        m_bar->raise();
    }
    m_bar->setResult(result);
}

void LogFind::untell() {
    if (m_bar->isVisible())
        m_bar->clearResult();
}

void LogFind::showWaiting() {
    if (m_bar->isVisible())
        m_bar->showSearching();
}

void LogFind::place(const QRect& textArea, int averageCharWidth) {
    const int width = qMin(textArea.width() - 2 * LogLayout::Margin, 24 * averageCharWidth);
    m_bar->resize(qMax(width, m_bar->sizeHint().width()), m_bar->sizeHint().height());
    m_bar->move(textArea.right() - m_bar->width(), textArea.y());
}

void LogFind::find(bool backward) {
    Q_EMIT aboutToUseDocument();
    if (m_bar->text().isEmpty() || !m_document || !m_document->file())
        return;
    m_pending = true;
    m_backward = backward;
    const QByteArray needle = m_document->encoding().encode(m_bar->text());
    const LogPosition from = backward ? m_cursor.selectionStart() : m_cursor.selectionEnd();
    m_matchStart = m_matchEnd = -1;
    m_matchLength = needle.size();
    m_bar->showSearching();
    // Once the whole log is indexed, text written to it since is not searched: it is not shown.
    const qint64 end =
        m_document->isIndexing() ? std::numeric_limits<qint64>::max() : m_document->indexedBytes();
    m_search->start(m_document->file(), needle, m_document->offsetOf(from), end, backward,
                    m_document->encoding());
}

void LogFind::searchFinished(const LogSearch::Found& found) {
    // A log written over during the search is shown afresh and searched again.
    const LogDocument* searched = m_document;
    Q_EMIT aboutToUseDocument();
    if (m_document != searched)
        return;
    if (found.offset < 0) {
        m_bar->setResult(u"Not found"_s);
        m_matchStart = m_matchEnd = -1;
        m_pending = false;
        return;
    }
    m_matchStart = found.offset;
    m_matchEnd = found.offset + m_matchLength;
    m_wrapped = found.wrapped;
    showMatch();
}

void LogFind::documentGrew() {
    if (m_matchStart >= 0)
        showMatch();
}

// A match beyond the lines indexed so far is shown once the index reaches it.
void LogFind::showMatch() {
    if (m_matchEnd > m_document->indexedBytes() && m_document->isIndexing())
        return;
    // Found past the log's end (or before its start, looking back), the search went round it.
    if (m_wrapped)
        m_bar->setResult(u"Wrapped"_s);
    else
        m_bar->setResult({}, u"Found"_s);
    const LogPosition start = m_document->positionAt(m_matchStart);
    const LogPosition end = m_document->positionAt(m_matchEnd);
    m_matchStart = m_matchEnd = -1;
    m_pending = false;
    Q_EMIT matched(start, end);
}

} // namespace runs::logview
