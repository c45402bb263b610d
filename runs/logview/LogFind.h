// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "runs/logview/LogDocument.h"
#include "runs/logview/LogSearch.h"

#include <QObject>

class QWidget;

namespace runs::lines {
class FindBar;
}

namespace runs::logview {

class LogCursor;

// Find in the log text box: the bar over the box, the search of the whole file behind it, and
// the match handed back as a selection once the lines that hold it are indexed.
class LogFind : public QObject {
    Q_OBJECT
public:
    // The bar is a child of the box; searches start at the cursor's selection.
    LogFind(QWidget* box, const LogCursor& cursor);

    // A new log: any search ends, the bar's status clears.
    void setDocument(const LogDocument* document);
    // The same log shown afresh: a search whose match was not shown yet is made again in it.
    void documentReplaced(const LogDocument* document);
    void open();
    void find(bool backward);
    // Places the bar at the top right of the text area.
    void place(const QRect& textArea, int averageCharWidth);
    // Shows a match that waited for the index.
    void documentGrew();
    // Ends a search under way, its match not shown.
    void cancel();
    bool isOpen() const;
    void close();

    // Another move's result told where Find tells its own ("Wrapped"): a bar that is closed
    // opens for it, leaving the focus where it is. Untold, a result shown before goes.
    void tell(const QString& result);
    void untell();
    // "Searching…" while the bar is open; a closed one stays closed.
    void showWaiting();

Q_SIGNALS:
    void matched(const LogPosition& start, const LogPosition& end);
    void closed();
    // Before a search starts and before its result is used: the log may have to be shown
    // afresh first (see documentReplaced).
    void aboutToUseDocument();

private:
    void searchFinished(const LogSearch::Found& found);
    void showMatch();

    const LogCursor& m_cursor;
    const LogDocument* m_document = nullptr;
    LogSearch* m_search;
    lines::FindBar* m_bar;
    qint64 m_matchStart = -1;
    qint64 m_matchEnd = -1;
    qint64 m_matchLength = 0;
    bool m_wrapped = false;
    // A search asked for whose match is not shown yet, and its way.
    bool m_pending = false;
    bool m_backward = false;
};

} // namespace runs::logview
