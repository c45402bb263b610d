// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/logview/LogTextView.h"

#include "platform/MessageBox.h"
#include "runs/logview/LogAccessible.h"
#include "runs/logview/LogFind.h"
#include "runs/logview/ProblemScrollBar.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>

#include <climits>

using namespace Qt::Literals::StringLiterals;

namespace runs::logview {

namespace {

constexpr int DragScrollMs = 50;

} // namespace

LogTextView::LogTextView(QWidget* parent)
    : QAbstractScrollArea(parent), m_document(std::make_unique<LogDocument>()),
      m_layout(m_document.get()), m_cursor(m_layout), m_find(new LogFind(this, m_cursor)),
      m_marksBar(new ProblemScrollBar) {
    setVerticalScrollBar(m_marksBar);
    m_marksBar->setDocument(m_document.get());
    connect(m_marksBar, &ProblemScrollBar::problemClicked, this, &LogTextView::problemClicked);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    viewport()->setCursor(Qt::IBeamCursor);
    m_dragTimer.setInterval(DragScrollMs);
    connect(&m_dragTimer, &QTimer::timeout, this, &LogTextView::dragScroll);
    connect(m_find, &LogFind::matched, this, &LogTextView::selectMatch);
    connect(m_find, &LogFind::closed, this, [this] { setFocus(Qt::OtherFocusReason); });
    m_find->setDocument(m_document.get());
    connect(m_find, &LogFind::aboutToUseDocument, this, &LogTextView::keepCurrent);
    m_layout.setFont(font(), viewport());
    m_layout.setWidth(viewport()->width());
    relayout();
    LogAccessible::installWhenActive();
}

LogTextView::~LogTextView() = default;

int LogTextView::visibleRows() const {
    return m_layout.rowsIn(viewport()->height());
}

// --- Scrolling ----------------------------------------------------------------------------

void LogTextView::relayout() {
    m_layout.clear();
    updateRange();
    viewport()->update();
}

// The scroll bar counts pieces; its last step shows the last row at the bottom. While the log
// is still being indexed its end moves on, and a row a piece is close enough.
void LogTextView::updateRange() {
    const qint64 pieces = m_document->pieceCount();
    m_lastTop = m_document->isIndexing()
                    ? LogRow{qMax<qint64>(0, pieces - visibleRows()), 0}
                    : m_layout.moveRows({pieces - 1, INT_MAX / 2}, 1 - visibleRows());
    m_piecesPerStep = 1 + m_lastTop.piece / INT_MAX;
    m_syncingBar = true;
    verticalScrollBar()->setRange(0, static_cast<int>(m_lastTop.piece / m_piecesPerStep));
    verticalScrollBar()->setPageStep(visibleRows());
    verticalScrollBar()->setSingleStep(1);
    m_syncingBar = false;
    setTop(m_top);
}

void LogTextView::setTop(LogRow top) {
    top = qMin(top, m_lastTop);
    top.row = qBound(0, top.row, m_layout.rowsOf(top.piece) - 1);
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
    const LogRow wanted = bar->value() >= bar->maximum()
                              ? m_lastTop
                              : LogRow{static_cast<qint64>(bar->value()) * m_piecesPerStep, 0};
    m_top = qMin(wanted, m_lastTop);
    viewport()->update();
    tellReaders();
}

void LogTextView::ensureCaretVisible() {
    const LogRow caret = m_layout.rowOf(m_cursor.caret());
    if (caret < m_top)
        setTop(caret);
    else if (const LogRow top = m_layout.moveRows(caret, 1 - visibleRows()); m_top < top)
        setTop(top);
}

void LogTextView::wheelEvent(QWheelEvent* event) {
    keepCurrent();
    m_kept.reset();
    m_wheelRemainder += event->angleDelta().y();
    const int notches = m_wheelRemainder / QWheelEvent::DefaultDeltasPerStep;
    m_wheelRemainder -= notches * QWheelEvent::DefaultDeltasPerStep;
    if (notches != 0)
        setTop(m_layout.moveRows(m_top,
                                 -static_cast<qint64>(notches) * QApplication::wheelScrollLines()));
    event->accept();
}

void LogTextView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    m_find->place(viewport()->geometry(), fontMetrics().averageCharWidth());
    m_layout.setWidth(viewport()->width());
    relayout();
    LogAccessible::installWhenActive();
}

void LogTextView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        m_layout.setFont(font(), viewport());
        relayout();
    }
}

// --- Painting -----------------------------------------------------------------------------

void LogTextView::paintEvent(QPaintEvent* event) {
    keepCurrent();
    if (m_indexAfterPaint) {
        m_indexAfterPaint = false;
        QTimer::singleShot(0, m_document.get(), &LogDocument::startIndexing);
    }
    QPainter painter(viewport());
    const LogPosition from = m_cursor.selectionStart();
    const LogPosition to = m_cursor.selectionEnd();
    QTextCharFormat selected;
    selected.setBackground(palette().brush(QPalette::Highlight));
    selected.setForeground(palette().brush(QPalette::HighlightedText));

    const qint64 pieces = m_document->pieceCount();
    const int height = m_layout.rowHeight();
    const QColor text = palette().color(QPalette::Text);
    std::optional<lines::LineClass> lineClass;
    qreal y = LogLayout::Margin - m_top.row * height;
    for (qint64 piece = m_top.piece; piece < pieces && y < viewport()->height(); ++piece) {
        const auto layout = m_layout.layoutOf(piece);
        lineClass = classOfPiece(piece, lineClass);
        const QColor colour = colourOf(*lineClass);
        painter.setPen(colour.isValid() ? colour : text);
        QList<QTextLayout::FormatRange> selections;
        if (from != to && from.piece <= piece && piece <= to.piece) {
            const qsizetype start = piece == from.piece ? from.character : 0;
            const qsizetype end = piece == to.piece ? to.character : layout->text().size();
            selections.append({static_cast<int>(start), static_cast<int>(end - start), selected});
        }
        const QPointF origin(LogLayout::Margin, y);
        layout->draw(&painter, origin, selections, event->rect());
        if (hasFocus() && m_cursor.caret().piece == piece)
            layout->drawCursor(&painter, origin, LogLayout::characterIn(*layout, m_cursor.caret()));
        y += qMax(1, layout->lineCount()) * height;
    }
    // A file that read unlike its index while this frame was drawn is shown afresh at once.
    if (m_document->foundUnlike())
        QTimer::singleShot(0, this, &LogTextView::keepCurrent);
}

void LogTextView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void LogTextView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

// --- Caret, selection and copy ------------------------------------------------------------

void LogTextView::selectAll() {
    keepCurrent();
    m_kept.reset();
    m_problemWaiting.reset();
    m_cursor.selectAll();
    viewport()->update();
    tellReaders();
}

// A log written over under the view is shown afresh, its old selection gone: nothing to copy.
void LogTextView::copy() {
    keepCurrent();
    if (!m_cursor.hasSelection())
        return;
    const qint64 from = m_document->offsetOf(m_cursor.selectionStart());
    const qint64 to = m_document->offsetOf(m_cursor.selectionEnd());
    if (to - from > CopyLimitBytes) {
        platform::MessageBox::show(
            {u"Log View"_s,
             u"The selection is too large to copy: %1 MB. Select at most %2 MB at a time."_s
                 .arg((to - from + (1 << 20) - 1) >> 20)
                 .arg(CopyLimitBytes >> 20),
             QMessageBox::Information, QMessageBox::Ok});
        return;
    }
    const QString text = m_document->text(from, to);
    // Written over while it was read, the text may hold some of each version.
    if (!keepCurrent())
        QApplication::clipboard()->setText(text);
}

void LogTextView::keyPressEvent(QKeyEvent* event) {
    keepCurrent();
    if (event == QKeySequence::Copy) {
        copy();
    } else if (event == QKeySequence::SelectAll) {
        selectAll();
    } else if (event == QKeySequence::Find) {
        openFind();
    } else if (event == QKeySequence::FindNext || event == QKeySequence::FindPrevious) {
        find(event == QKeySequence::FindPrevious);
    } else if (event->key() == Qt::Key_F8 && (event->modifiers() & ~Qt::ShiftModifier) == 0) {
        goToProblem(event->modifiers() & Qt::ShiftModifier);
    } else if (event->key() == Qt::Key_Escape && event->modifiers() == 0 && m_find->isOpen()) {
        m_find->close(); // opened by F8 to tell its result, it has not the focus to close itself
    } else if (const auto keyMove = LogCursor::keyMoveOf(event)) {
        m_kept.reset();
        m_problemWaiting.reset();
        using Move = LogCursor::Move;
        const qint64 pageRows = visibleRows();
        // A page moves the view by as many rows as the caret, where the ends allow.
        const qint64 pageMove = keyMove->move == Move::NextPage       ? pageRows
                                : keyMove->move == Move::PreviousPage ? -pageRows
                                                                      : 0;
        const LogRow top = pageMove != 0 ? m_layout.moveRows(m_top, pageMove) : m_top;
        m_cursor.move(keyMove->move, keyMove->select, pageRows);
        if (pageMove != 0)
            setTop(top);
        ensureCaretVisible();
        viewport()->update();
        tellReaders();
    } else {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

void LogTextView::selectMatch(const LogPosition& start, const LogPosition& end) {
    moveCaretTo(start, end);
}

void LogTextView::moveCaretTo(const LogPosition& anchor, const LogPosition& caret) {
    m_kept.reset();
    m_problemWaiting.reset();
    m_cursor.select(anchor, caret);
    ensureCaretVisible();
    viewport()->update();
    tellReaders();
}

void LogTextView::showPlace(const LogPosition& position) {
    const LogRow row = m_layout.rowOf(position);
    if (row < m_top || m_layout.moveRows(m_top, visibleRows() - 1) < row)
        setTop(row);
    tellReaders();
}

void LogTextView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    keepCurrent();
    m_kept.reset();
    m_problemWaiting.reset();
    m_cursor.setCaret(m_layout.hitTest(m_top, event->position().toPoint()),
                      event->modifiers() & Qt::ShiftModifier);
    ensureCaretVisible();
    viewport()->update();
    m_dragging = true;
    tellReaders();
}

void LogTextView::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging || keepCurrent())
        return;
    m_dragPoint = event->position().toPoint();
    const bool outside = m_dragPoint.y() < 0 || m_dragPoint.y() >= viewport()->height();
    if (outside && !m_dragTimer.isActive())
        m_dragTimer.start();
    else if (!outside)
        m_dragTimer.stop();
    m_cursor.setCaret(m_layout.hitTest(m_top, m_dragPoint), true);
    viewport()->update();
    tellReaders();
}

void LogTextView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_dragging = false;
        m_dragTimer.stop();
    }
}

// While a selection is dragged past the top or bottom, the text scrolls a row at a time.
void LogTextView::dragScroll() {
    if (keepCurrent())
        return;
    setTop(m_layout.moveRows(m_top, m_dragPoint.y() < 0 ? -1 : 1));
    const QPoint inside(m_dragPoint.x(), qBound(0, m_dragPoint.y(), viewport()->height() - 1));
    m_cursor.setCaret(m_layout.hitTest(m_top, inside), true);
    viewport()->update();
    tellReaders();
}

void LogTextView::contextMenuEvent(QContextMenuEvent* event) {
    keepCurrent();
    QMenu menu(this);
    QAction* copyAction = menu.addAction(u"Copy"_s, this, &LogTextView::copy);
    copyAction->setEnabled(m_cursor.hasSelection());
    menu.addAction(u"Select All"_s, this, &LogTextView::selectAll);
    menu.addSeparator();
    menu.addAction(u"Find"_s, this, &LogTextView::openFind);
    menu.exec(event->globalPos());
}

// --- Find ---------------------------------------------------------------------------------

void LogTextView::openFind() {
    m_find->open();
}

void LogTextView::find(bool backward) {
    m_problemWaiting.reset();
    m_find->find(backward);
}

} // namespace runs::logview
