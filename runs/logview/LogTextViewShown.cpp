// SPDX-License-Identifier: GPL-3.0-or-later
// The log a LogTextView shows, and the same log shown afresh when it changes under the view.
#include "platform/ReadOnlyFile.h"
#include "runs/logview/LogFind.h"
#include "runs/logview/LogTextView.h"
#include "runs/logview/ProblemScrollBar.h"

#include <QTextLayout>

namespace runs::logview {

namespace {

constexpr int IndexAnywayMs = 200;

} // namespace

void LogTextView::showFile(std::shared_ptr<platform::ReadOnlyFile> file,
                           const lines::TextEncoding& encoding) {
    m_kept.reset();
    m_problemWaiting.reset();
    showDocument(std::make_unique<LogDocument>(std::move(file), encoding), false);
}

void LogTextView::showDocument(std::unique_ptr<LogDocument> document, bool afresh) {
    if (afresh)
        m_find->documentReplaced(document.get());
    else
        m_find->setDocument(document.get());
    m_layout.setDocument(document.get());
    m_marksBar->setDocument(document.get());
    m_document = std::move(document);
    connect(m_document.get(), &LogDocument::grown, this, &LogTextView::documentGrew);
    connect(m_document.get(), &LogDocument::indexed, this, &LogTextView::indexed);
    // The thread starts once the first screen is painted, so it does not compete with it for a
    // processor; a window that is not painted soon starts it anyway.
    m_indexAfterPaint = true;
    QTimer::singleShot(IndexAnywayMs, m_document.get(), &LogDocument::startIndexing);
    m_cursor.reset();
    m_top = {};
    updateRange();
    viewport()->update();
    m_offered.invalidate();
    m_toldAnchor = m_toldCaret = {};
    tellReaders();
    Q_EMIT problemsChanged();
}

// The old log's lines, read from its index, not from the file that no longer holds them.
void LogTextView::showAfresh(std::shared_ptr<platform::ReadOnlyFile> file) {
    const KeptLines kept{m_document->lineNumberOf(m_top.piece),
                         m_document->lineNumberOf(m_cursor.caret().piece),
                         m_cursor.caret().character};
    showDocument(std::make_unique<LogDocument>(std::move(file), m_document->encoding()), true);
    m_kept = kept;
    placeKeptLines();
    seekWaitingProblem();
}

void LogTextView::placeKeptLines() {
    if (!m_kept || (m_kept->caret >= m_document->lineCount() && m_document->isIndexing()))
        return;
    const LogLine top = m_document->lineNumbered(m_kept->top);
    const LogLine caretLine = m_document->lineNumbered(m_kept->caret);
    const qsizetype shown = m_layout.layoutOf(caretLine.firstPiece)->text().size();
    const LogPosition caret{caretLine.firstPiece, qMin(m_kept->column, shown)};
    m_kept.reset();
    m_cursor.setCaret(caret, false);
    setTop({top.firstPiece, 0});
    ensureCaretVisible();
    viewport()->update();
    tellReaders();
}

bool LogTextView::keepCurrent() {
    switch (m_document->change()) {
    case LogDocument::Change::None:
        return false;
    case LogDocument::Change::Grown:
        m_document->indexGrowth();
        return false;
    case LogDocument::Change::Rewritten:
        showAfresh(m_document->file());
        return true;
    case LogDocument::Change::Replaced:
        if (auto replacement = platform::ReadOnlyFile::open(m_document->file()->path())) {
            showAfresh(std::move(replacement));
            return true;
        }
        m_document->keepToOpenFile();
        return keepCurrent();
    }
    return false;
}

void LogTextView::documentGrew() {
    // Written over while it was indexed: shown afresh once the document has finished telling.
    if (const auto change = m_document->change();
        change == LogDocument::Change::Rewritten || change == LogDocument::Change::Replaced) {
        QTimer::singleShot(0, this, &LogTextView::keepCurrent);
        return;
    }
    updateRange();
    placeKeptLines();
    viewport()->update();
    m_offered.invalidate();
    m_find->documentGrew();
    tellReaders();
    m_marksBar->update();
    Q_EMIT problemsChanged();
    seekWaitingProblem();
}

} // namespace runs::logview
