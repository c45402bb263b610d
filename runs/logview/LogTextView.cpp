#include "runs/logview/LogTextView.h"

#include "platform/MessageBox.h"
#include "platform/ReadOnlyFile.h"
#include "runs/logview/LogFindBar.h"
#include "runs/logview/LogSearch.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>

#include <climits>
#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace runs::logview {

namespace {

// Space between the box's frame and its text, as in the toolkit's own text boxes.
constexpr int Margin = 4;
// Laid-out pieces kept for scrolling back and forth; a screen holds at most a few dozen.
constexpr qsizetype KeptLayouts = 1024;
constexpr int DragScrollMs = 50;
constexpr int IndexAnywayMs = 200;

} // namespace

LogTextView::LogTextView(QWidget* parent)
    : QAbstractScrollArea(parent), m_document(std::make_unique<LogDocument>()),
      m_search(new LogSearch(this)), m_findBar(new LogFindBar(this)) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    viewport()->setCursor(Qt::IBeamCursor);
    m_dragTimer.setInterval(DragScrollMs);
    connect(&m_dragTimer, &QTimer::timeout, this, &LogTextView::dragScroll);
    connect(m_search, &LogSearch::finished, this, &LogTextView::searchFinished);
    connect(m_findBar, &LogFindBar::findRequested, this, &LogTextView::find);
    connect(m_findBar, &LogFindBar::closed, this, [this] {
        m_search->cancel();
        setFocus(Qt::OtherFocusReason);
    });
    relayout();
}

LogTextView::~LogTextView() = default;

void LogTextView::showFile(std::shared_ptr<platform::ReadOnlyFile> file,
                           const LogEncoding& encoding) {
    m_search->cancel();
    m_findBar->setStatus({});
    m_matchStart = m_matchEnd = -1;
    m_document = std::make_unique<LogDocument>(std::move(file), encoding);
    connect(m_document.get(), &LogDocument::grown, this, &LogTextView::documentGrew);
    connect(m_document.get(), &LogDocument::indexed, this, &LogTextView::indexed);
    // The thread starts once the first screen is painted, so it does not compete with it for a
    // processor; a window that is not painted soon starts it anyway.
    m_indexAfterPaint = true;
    QTimer::singleShot(IndexAnywayMs, m_document.get(), &LogDocument::startIndexing);
    m_layouts.clear();
    m_anchor = m_caret = {};
    m_desiredX = -1;
    m_top = {};
    updateRange();
    viewport()->update();
}

// --- Layout -------------------------------------------------------------------------------

int LogTextView::rowHeight() const {
    return qMax(1, fontMetrics().lineSpacing());
}

int LogTextView::visibleRows() const {
    return qMax(1, (viewport()->height() - 2 * Margin) / rowHeight());
}

std::shared_ptr<QTextLayout> LogTextView::layoutOf(qint64 number) const {
    const LogPiece piece = m_document->piece(number);
    const auto kept = m_layouts.constFind(number);
    if (kept != m_layouts.cend() && kept->start == piece.start && kept->end == piece.end)
        return kept->layout;
    if (m_layouts.size() >= KeptLayouts)
        m_layouts.clear();

    auto layout = std::make_shared<QTextLayout>(m_document->text(piece), font(), viewport());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    const qreal width = qMax(1, viewport()->width() - 2 * Margin);
    const int height = rowHeight();
    layout->beginLayout();
    for (int row = 0;; ++row) {
        QTextLine line = layout->createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        line.setPosition(QPointF(0, row * height));
    }
    layout->endLayout();
    m_layouts.insert(number, {piece.start, piece.end, layout});
    return layout;
}

int LogTextView::rowsOf(qint64 piece) const {
    return qMax(1, layoutOf(piece)->lineCount());
}

LogTextView::Row LogTextView::moveRows(Row from, qint64 rows) const {
    const qint64 last = m_document->pieceCount() - 1;
    from.piece = qBound<qint64>(0, from.piece, last);
    from.row = qBound(0, from.row, rowsOf(from.piece) - 1);
    while (rows > 0) {
        const int below = rowsOf(from.piece) - 1 - from.row;
        if (rows <= below)
            return {from.piece, from.row + static_cast<int>(rows)};
        if (from.piece == last)
            return {last, from.row + below};
        rows -= below + 1;
        from = {from.piece + 1, 0};
    }
    while (rows < 0) {
        if (-rows <= from.row)
            return {from.piece, from.row + static_cast<int>(rows)};
        if (from.piece == 0)
            return {0, 0};
        rows += from.row + 1;
        from.piece -= 1;
        from.row = rowsOf(from.piece) - 1;
    }
    return from;
}

LogTextView::Row LogTextView::rowOf(const LogPosition& position) const {
    const auto layout = layoutOf(position.piece);
    const auto character = qBound<qsizetype>(0, position.character, layout->text().size());
    const QTextLine line = layout->lineForTextPosition(static_cast<int>(character));
    return {position.piece, line.isValid() ? line.lineNumber() : 0};
}

LogPosition LogTextView::positionAt(Row row, qreal x) const {
    const auto layout = layoutOf(row.piece);
    const QTextLine line = layout->lineAt(row.row);
    return {row.piece, line.isValid() ? line.xToCursor(x) : 0};
}

LogPosition LogTextView::hitTest(QPoint point) const {
    const int height = rowHeight();
    const int y = point.y() - Margin;
    const qint64 rows = y < 0 ? -1 - (-y - 1) / height : y / height;
    if (rows < 0 && m_top == Row{})
        return {};
    const Row row = moveRows(m_top, rows);
    if (rows > 0 && row == moveRows(m_top, rows - 1))
        return m_document->end(); // below the last row
    return positionAt(row, point.x() - Margin);
}

qreal LogTextView::caretX() const {
    const auto layout = layoutOf(m_caret.piece);
    const auto character = qBound<qsizetype>(0, m_caret.character, layout->text().size());
    const QTextLine line = layout->lineForTextPosition(static_cast<int>(character));
    return line.isValid() ? line.cursorToX(static_cast<int>(character)) : 0;
}

// --- Scrolling ----------------------------------------------------------------------------

void LogTextView::relayout() {
    m_layouts.clear();
    updateRange();
    viewport()->update();
}

void LogTextView::documentGrew() {
    updateRange();
    viewport()->update();
    if (m_matchStart >= 0)
        showMatch();
}

// The scroll bar counts pieces; its last step shows the last row at the bottom. While the log
// is still being indexed its end moves on, and a row a piece is close enough.
void LogTextView::updateRange() {
    const qint64 pieces = m_document->pieceCount();
    m_lastTop = m_document->isIndexing() ? Row{qMax<qint64>(0, pieces - visibleRows()), 0}
                                         : moveRows({pieces - 1, INT_MAX / 2}, 1 - visibleRows());
    m_piecesPerStep = 1 + m_lastTop.piece / INT_MAX;
    m_syncingBar = true;
    verticalScrollBar()->setRange(0, static_cast<int>(m_lastTop.piece / m_piecesPerStep));
    verticalScrollBar()->setPageStep(visibleRows());
    verticalScrollBar()->setSingleStep(1);
    m_syncingBar = false;
    setTop(m_top);
}

void LogTextView::setTop(Row top) {
    top = qMin(top, m_lastTop);
    top.row = qBound(0, top.row, rowsOf(top.piece) - 1);
    if (top != m_top) {
        m_top = top;
        viewport()->update();
    }
    m_syncingBar = true;
    verticalScrollBar()->setValue(static_cast<int>(m_top.piece / m_piecesPerStep));
    m_syncingBar = false;
}

void LogTextView::scrollContentsBy(int, int) {
    if (m_syncingBar)
        return;
    const QScrollBar* bar = verticalScrollBar();
    const Row wanted = bar->value() >= bar->maximum()
                           ? m_lastTop
                           : Row{static_cast<qint64>(bar->value()) * m_piecesPerStep, 0};
    m_top = qMin(wanted, m_lastTop);
    viewport()->update();
}

void LogTextView::ensureCaretVisible() {
    const Row caret = rowOf(m_caret);
    if (caret < m_top)
        setTop(caret);
    else if (const Row top = moveRows(caret, 1 - visibleRows()); m_top < top)
        setTop(top);
}

void LogTextView::wheelEvent(QWheelEvent* event) {
    m_wheelRemainder += event->angleDelta().y();
    const int notches = m_wheelRemainder / QWheelEvent::DefaultDeltasPerStep;
    m_wheelRemainder -= notches * QWheelEvent::DefaultDeltasPerStep;
    if (notches != 0)
        setTop(moveRows(m_top, -static_cast<qint64>(notches) * QApplication::wheelScrollLines()));
    event->accept();
}

void LogTextView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    const int width = qMin(viewport()->width() - 2 * Margin, 24 * fontMetrics().averageCharWidth());
    m_findBar->resize(qMax(width, m_findBar->sizeHint().width()), m_findBar->sizeHint().height());
    m_findBar->move(viewport()->geometry().right() - m_findBar->width(), viewport()->y());
    relayout();
}

void LogTextView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        relayout();
}

// --- Painting -----------------------------------------------------------------------------

void LogTextView::paintEvent(QPaintEvent* event) {
    if (m_indexAfterPaint) {
        m_indexAfterPaint = false;
        QTimer::singleShot(0, m_document.get(), &LogDocument::startIndexing);
    }
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Text));
    const LogPosition from = qMin(m_anchor, m_caret);
    const LogPosition to = qMax(m_anchor, m_caret);
    QTextCharFormat selected;
    selected.setBackground(palette().brush(QPalette::Highlight));
    selected.setForeground(palette().brush(QPalette::HighlightedText));

    const qint64 pieces = m_document->pieceCount();
    qreal y = Margin - m_top.row * rowHeight();
    for (qint64 piece = m_top.piece; piece < pieces && y < viewport()->height(); ++piece) {
        const auto layout = layoutOf(piece);
        QList<QTextLayout::FormatRange> selections;
        if (from != to && from.piece <= piece && piece <= to.piece) {
            const qsizetype start = piece == from.piece ? from.character : 0;
            const qsizetype end = piece == to.piece ? to.character : layout->text().size();
            selections.append({static_cast<int>(start), static_cast<int>(end - start), selected});
        }
        const QPointF origin(Margin, y);
        layout->draw(&painter, origin, selections, event->rect());
        if (hasFocus() && m_caret.piece == piece)
            layout->drawCursor(
                &painter, origin,
                static_cast<int>(qBound<qsizetype>(0, m_caret.character, layout->text().size())));
        y += qMax(1, layout->lineCount()) * rowHeight();
    }
}

void LogTextView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void LogTextView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

// --- Caret and selection ------------------------------------------------------------------

LogPosition LogTextView::nextCharacter(const LogPosition& from) const {
    const auto layout = layoutOf(from.piece);
    if (from.character < layout->text().size())
        return {from.piece, layout->nextCursorPosition(static_cast<int>(from.character))};
    if (from.piece + 1 >= m_document->pieceCount())
        return from;
    const qint64 next = from.piece + 1;
    // Inside a line the end of one piece and the start of the next are the same place.
    if (m_document->piece(next).firstOfLine)
        return {next, 0};
    return {next, layoutOf(next)->nextCursorPosition(0)};
}

LogPosition LogTextView::previousCharacter(const LogPosition& from) const {
    const auto layout = layoutOf(from.piece);
    const auto character = qMin<qsizetype>(from.character, layout->text().size());
    if (character > 0)
        return {from.piece, layout->previousCursorPosition(static_cast<int>(character))};
    if (from.piece == 0)
        return {};
    const qint64 previous = from.piece - 1;
    const auto before = layoutOf(previous);
    const int end = static_cast<int>(before->text().size());
    if (m_document->piece(from.piece).firstOfLine)
        return {previous, end};
    return {previous, before->previousCursorPosition(end)};
}

void LogTextView::moveCaret(const LogPosition& to, bool select, bool keepX) {
    m_caret = to;
    if (!select)
        m_anchor = to;
    if (!keepX)
        m_desiredX = -1;
    ensureCaretVisible();
    viewport()->update();
}

void LogTextView::selectAll() {
    // A log truncated or replaced under the view is shown afresh, its old selection gone.
    if (m_document->isStale())
        showFile(m_document->file(), LogEncoding(m_document->encoding()));
    m_anchor = {};
    m_caret = m_document->end();
    viewport()->update();
}

void LogTextView::copy() {
    if (m_document->isStale())
        showFile(m_document->file(), LogEncoding(m_document->encoding()));
    if (m_anchor == m_caret)
        return;
    const qint64 from = m_document->offsetOf(qMin(m_anchor, m_caret));
    const qint64 to = m_document->offsetOf(qMax(m_anchor, m_caret));
    if (to - from > CopyLimitBytes) {
        platform::MessageBox::show(
            {u"Log View"_s,
             u"The selection is too large to copy: %1 MB. Select at most %2 MB at a time."_s
                 .arg((to - from + (1 << 20) - 1) >> 20)
                 .arg(CopyLimitBytes >> 20),
             QMessageBox::Information, QMessageBox::Ok});
        return;
    }
    QApplication::clipboard()->setText(m_document->text(from, to));
}

void LogTextView::keyPressEvent(QKeyEvent* event) {
    const auto caretRowMove = [this](qint64 rows, bool select) {
        if (m_desiredX < 0)
            m_desiredX = caretX();
        moveCaret(positionAt(moveRows(rowOf(m_caret), rows), m_desiredX), select, true);
    };
    const auto page = [this, &caretRowMove](qint64 direction, bool select) {
        const qint64 rows = direction * visibleRows();
        const Row top = moveRows(m_top, rows);
        caretRowMove(rows, select);
        setTop(top);
        ensureCaretVisible();
    };
    const auto lineEnd = [this](bool end) {
        const LogLine line = m_document->lineOfPiece(m_caret.piece);
        if (!end)
            return LogPosition{line.firstPiece, 0};
        const qint64 last = line.firstPiece + line.pieces - 1;
        return LogPosition{last, layoutOf(last)->text().size()};
    };

    if (event == QKeySequence::Copy)
        copy();
    else if (event == QKeySequence::SelectAll)
        selectAll();
    else if (event == QKeySequence::Find)
        openFind();
    else if (event == QKeySequence::FindNext || event == QKeySequence::FindPrevious)
        find(event == QKeySequence::FindPrevious);
    else if (event == QKeySequence::MoveToNextChar || event == QKeySequence::SelectNextChar)
        moveCaret(nextCharacter(m_caret), event == QKeySequence::SelectNextChar);
    else if (event == QKeySequence::MoveToPreviousChar || event == QKeySequence::SelectPreviousChar)
        moveCaret(previousCharacter(m_caret), event == QKeySequence::SelectPreviousChar);
    else if (event == QKeySequence::MoveToNextLine || event == QKeySequence::SelectNextLine)
        caretRowMove(1, event == QKeySequence::SelectNextLine);
    else if (event == QKeySequence::MoveToPreviousLine || event == QKeySequence::SelectPreviousLine)
        caretRowMove(-1, event == QKeySequence::SelectPreviousLine);
    else if (event == QKeySequence::MoveToNextPage || event == QKeySequence::SelectNextPage)
        page(1, event == QKeySequence::SelectNextPage);
    else if (event == QKeySequence::MoveToPreviousPage || event == QKeySequence::SelectPreviousPage)
        page(-1, event == QKeySequence::SelectPreviousPage);
    else if (event == QKeySequence::MoveToStartOfLine || event == QKeySequence::SelectStartOfLine)
        moveCaret(lineEnd(false), event == QKeySequence::SelectStartOfLine);
    else if (event == QKeySequence::MoveToEndOfLine || event == QKeySequence::SelectEndOfLine)
        moveCaret(lineEnd(true), event == QKeySequence::SelectEndOfLine);
    else if (event == QKeySequence::MoveToStartOfDocument ||
             event == QKeySequence::SelectStartOfDocument)
        moveCaret({}, event == QKeySequence::SelectStartOfDocument);
    else if (event == QKeySequence::MoveToEndOfDocument ||
             event == QKeySequence::SelectEndOfDocument)
        moveCaret(m_document->end(), event == QKeySequence::SelectEndOfDocument);
    else {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

void LogTextView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    moveCaret(hitTest(event->position().toPoint()), event->modifiers() & Qt::ShiftModifier);
    m_dragging = true;
}

void LogTextView::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging)
        return;
    m_dragPoint = event->position().toPoint();
    const bool outside = m_dragPoint.y() < 0 || m_dragPoint.y() >= viewport()->height();
    if (outside && !m_dragTimer.isActive())
        m_dragTimer.start();
    else if (!outside)
        m_dragTimer.stop();
    m_caret = hitTest(m_dragPoint);
    viewport()->update();
}

void LogTextView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_dragging = false;
        m_dragTimer.stop();
    }
}

// While a selection is dragged past the top or bottom, the text scrolls a row at a time.
void LogTextView::dragScroll() {
    setTop(moveRows(m_top, m_dragPoint.y() < 0 ? -1 : 1));
    const QPoint inside(m_dragPoint.x(), qBound(0, m_dragPoint.y(), viewport()->height() - 1));
    m_caret = hitTest(inside);
    viewport()->update();
}

void LogTextView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* copyAction = menu.addAction(u"Copy"_s, this, &LogTextView::copy);
    copyAction->setEnabled(m_anchor != m_caret);
    menu.addAction(u"Select All"_s, this, &LogTextView::selectAll);
    menu.addSeparator();
    menu.addAction(u"Find"_s, this, &LogTextView::openFind);
    menu.exec(event->globalPos());
}

// --- Find ---------------------------------------------------------------------------------

void LogTextView::openFind() {
    m_findBar->open();
}

void LogTextView::find(bool backward) {
    const QByteArray needle = m_document->encoding().encode(m_findBar->text());
    if (m_findBar->text().isEmpty() || !m_document->file())
        return;
    const LogPosition from = backward ? qMin(m_anchor, m_caret) : qMax(m_anchor, m_caret);
    m_matchStart = m_matchEnd = -1;
    m_matchLength = needle.size();
    m_findBar->setStatus(u"Searching\u2026"_s);
    // Once the whole log is indexed, text written to it since is not searched: it is not shown.
    const qint64 end =
        m_document->isIndexing() ? std::numeric_limits<qint64>::max() : m_document->indexedBytes();
    m_search->start(m_document->file(), needle, m_document->offsetOf(from), end, backward,
                    m_document->encoding());
}

void LogTextView::searchFinished(qint64 offset) {
    if (offset < 0) {
        m_findBar->setStatus(u"Not found"_s);
        m_matchStart = m_matchEnd = -1;
        return;
    }
    m_matchStart = offset;
    m_matchEnd = offset + m_matchLength;
    showMatch();
}

// A match beyond the lines indexed so far is shown once the index reaches it.
void LogTextView::showMatch() {
    if (m_matchEnd > m_document->indexedBytes() && m_document->isIndexing())
        return;
    m_findBar->setStatus({});
    m_anchor = m_document->positionAt(m_matchStart);
    moveCaret(m_document->positionAt(m_matchEnd), true);
    m_matchStart = m_matchEnd = -1;
}

} // namespace runs::logview
