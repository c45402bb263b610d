// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/console/ConsoleView.h"

#include "runs/console/ConsoleFind.h"
#include "runs/console/GridLayout.h"
#include "runs/console/RowBlocks.h"
#include "runs/console/TerminalKeys.h"
#include "runs/console/TerminalScreen.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>

#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace runs::console {

namespace {

// More new lines than this at one refresh is a flood: only the latest are shown.
constexpr qint64 FloodLines = 500;
// Lines put back into the document per turn of the event loop after a flood.
constexpr qint64 HistoryPiece = 500;
constexpr int CalmMilliseconds = 100;

bool isCopy(const QKeyEvent* event, bool hasSelection) {
    const QKeyCombination combination = event->keyCombination();
    return combination == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_C) ||
           combination == QKeyCombination(Qt::ControlModifier, Qt::Key_Insert) ||
           (hasSelection && event->matches(QKeySequence::Copy));
}

// Keys the console keeps for itself, even while the utility runs.
bool isFind(const QKeyEvent* event) {
    return event->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_F);
}

bool isProblemStep(const QKeyEvent* event) {
    return event->key() == Qt::Key_F8 && (event->modifiers() & ~Qt::ShiftModifier) == 0;
}

bool isPaste(const QKeyEvent* event) {
    const QKeyCombination combination = event->keyCombination();
    return combination == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_V) ||
           combination == QKeyCombination(Qt::ShiftModifier, Qt::Key_Insert);
}

} // namespace

ConsoleView::ConsoleView(QWidget* parent) : QPlainTextEdit(parent) {
    auto* text = new QTextDocument(this);
    m_grid = new GridLayout(text);
    text->setDocumentLayout(m_grid);
    setDocument(text);
    m_grid->setPaintDevice(viewport());
    connect(&m_history, &QTimer::timeout, this, &ConsoleView::fillHistory);
    m_find = new ConsoleFind(this);
    m_colours = lines::problemColours(palette());
    setObjectName(u"txt_console"_s);
    setAccessibleName(u"Utility output"_s);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setUndoRedoEnabled(false);
    setFocusPolicy(Qt::StrongFocus);
    // The screen wraps at the terminal's width; the text box shows its rows as they are. The
    // vertical scroll bar stays and the horizontal one never comes, so what the utility writes
    // never changes the size the terminal is told: a terminal never scrolls sideways.
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QScrollBar* sideways = horizontalScrollBar();
    connect(sideways, &QScrollBar::rangeChanged, this, [sideways](int, int maximum) {
        if (maximum > 0)
            sideways->setMaximum(0);
    });
}

void ConsoleView::showScreen(const TerminalScreen& screen) {
    m_screen = &screen;
    if (screen.rewrapCount() != m_rewraps) {
        showRewrapped();
        return;
    }
    const qint64 fresh = screen.endedCount() - m_end;
    if (fresh > FloodLines) {
        showTail();
        return;
    }
    appendLines(screen.endedLines(m_end, screen.endedCount()), screen.currentLine());
    markRows(m_end, screen.endedCount());
    m_end = screen.endedCount();
    // Rows the screen no longer keeps leave the view too, a few at a time.
    if (m_first < screen.firstKept())
        dropOldest(static_cast<int>(screen.firstKept() - m_first));
    if (m_first > screen.firstKept() && !m_history.isActive())
        m_history.start(0);
}

void ConsoleView::showRewrapped() {
    m_rewraps = m_screen->rewrapCount();
    // Followed, the view shows the end at once, and the rest comes back as after a flood.
    if (isFollowing()) {
        showTail();
        return;
    }
    // The reading place is a line of the utility's, counted from the end: it is still there
    // when its rows are wrapped anew.
    const int linesBelow = linesFrom(firstVisibleBlock());
    m_history.stop();
    showRows(m_screen->firstKept());
    verticalScrollBar()->setValue(lineStart(linesBelow).blockNumber());
}

int ConsoleView::linesFrom(QTextBlock block) const {
    int lines = 0;
    for (; block.isValid(); block = block.next())
        lines += rows::isWrapped(block) ? 0 : 1;
    return lines;
}

QTextBlock ConsoleView::lineStart(int linesBelow) const {
    // Back from the end to the row that ends the line before it.
    int seen = 0;
    QTextBlock block = document()->lastBlock();
    for (; block.isValid(); block = block.previous()) {
        if (!rows::isWrapped(block) && seen++ == linesBelow)
            return block.next();
    }
    return document()->firstBlock();
}

void ConsoleView::clearScreen() {
    m_history.stop();
    m_find->forget();
    m_screen = nullptr;
    m_first = 0;
    m_end = 0;
    clear();
}

bool ConsoleView::isFollowing() const {
    const QScrollBar* bar = verticalScrollBar();
    return bar->value() >= bar->maximum();
}

void ConsoleView::follow(bool following, int blocksAbove) {
    QScrollBar* bar = verticalScrollBar();
    // Follow the output, unless the operator has scrolled back to read.
    if (following)
        bar->setValue(bar->maximum());
    else if (blocksAbove != 0)
        bar->setValue(bar->value() + blocksAbove);
}

void ConsoleView::appendLines(const QStringList& lines, const QString& currentLine) {
    const bool following = isFollowing();
    // The last block is the line being written; it is written again.
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    cursor.movePosition(QTextCursor::End);
    cursor.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
    if (lines.isEmpty()) {
        cursor.insertText(currentLine, QTextCharFormat());
    } else {
        QString text = lines.join(u'\n');
        text += u'\n';
        text += currentLine;
        cursor.insertText(text, QTextCharFormat());
    }
    cursor.endEditBlock();
    follow(following, 0);
}

void ConsoleView::showTail() {
    // Only what the screen shows; the rest comes back when the flood is over.
    showRows(std::max(m_screen->endedCount() - terminalSize().rows, m_screen->firstKept()));
    follow(true, 0);
    // The history comes back once the output has been quiet for a moment.
    m_history.start(CalmMilliseconds);
}

void ConsoleView::showRows(qint64 first) {
    m_first = first;
    m_end = m_screen->endedCount();
    QString text = m_screen->endedLines(m_first, m_end).join(u'\n');
    if (m_end > m_first)
        text += u'\n';
    text += m_screen->currentLine();
    // Replaced in one edit, so that a document as long as before keeps its scroll bar as it
    // was, and the bar is not drawn again.
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(text, QTextCharFormat());
    cursor.endEditBlock();
    markRows(m_first, m_end);
}

void ConsoleView::fillHistory() {
    if (!m_screen || m_first <= m_screen->firstKept()) {
        m_history.stop();
        return;
    }
    if (m_history.interval() != 0)
        m_history.setInterval(0);
    const qint64 from = std::max(m_first - HistoryPiece, m_screen->firstKept());
    const QStringList lines = m_screen->endedLines(from, m_first);
    const bool following = isFollowing();
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::Start);
    cursor.insertText(lines.join(u'\n') + u'\n', QTextCharFormat());
    const qint64 before = m_first;
    m_first = from;
    // The block that was first may have handed its mark to the rows put before it.
    markRows(from, std::min(before + 1, m_end));
    follow(following, static_cast<int>(lines.size()));
}

void ConsoleView::dropOldest(int blocks) {
    const bool following = isFollowing();
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor, blocks);
    cursor.removeSelectedText();
    m_first += blocks;
    follow(following, -blocks);
}

void ConsoleView::markRows(qint64 from, qint64 end) {
    // Rows shown while their line went on take its class once it has ended.
    qint64 first = from;
    if (from < end && m_screen->lineClass(from).kind != lines::LineKind::Plain) {
        while (first > std::max(m_first, m_screen->firstKept()) && m_screen->isWrapped(first - 1))
            --first;
    }
    // Colours go in as one edit, laid out once.
    QTextCursor edit(document());
    edit.beginEditBlock();
    QTextBlock block = document()->findBlockByNumber(static_cast<int>(first - m_first));
    for (qint64 line = first; line < end && block.isValid(); ++line, block = block.next()) {
        const QColor shown = line < from ? m_colours.colourOf(rows::lineClass(block)) : QColor();
        const lines::LineClass now = m_screen->lineClass(line);
        block.setUserState(rows::state(m_screen->isWrapped(line), now));
        if (m_colours.colourOf(now) != shown)
            rows::paint(block, m_colours.colourOf(now));
    }
    edit.endEditBlock();
    document()->lastBlock().setUserState(-1);
}

void ConsoleView::repaintRows() {
    m_colours = lines::problemColours(palette());
    QTextCursor edit(document());
    edit.beginEditBlock();
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (rows::lineClass(block).kind != lines::LineKind::Plain)
            rows::paint(block, m_colours.colourOf(rows::lineClass(block)));
    }
    edit.endEditBlock();
}

QMimeData* ConsoleView::createMimeDataFromSelection() const {
    // Rows the screen wrapped are one line of the utility's: copied whole, without a break.
    const QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    QString text;
    for (QTextBlock block = document()->findBlock(start);
         block.isValid() && block.position() <= end; block = block.next()) {
        const int from = std::max(start - block.position(), 0);
        const int to = std::min(end - block.position(), block.length() - 1);
        text += block.text().mid(from, to - from);
        if (block.position() + block.length() <= end && !rows::isWrapped(block))
            text += u'\n';
    }
    auto* copied = new QMimeData;
    copied->setText(text);
    return copied;
}

platform::ConsoleProcess::Size ConsoleView::terminalSize() const {
    // Whole cells only. At its end the text box keeps the last row a pixel clear of the bottom
    // margin, and a row that does not show whole is not told.
    const qreal margin = 2 * document()->documentMargin();
    const auto fit = [](qreal room, qreal step) {
        return std::max(static_cast<int>(std::floor(room / step)), 1);
    };
    return {fit(viewport()->height() - margin - 1, m_grid->rowHeight()),
            fit(viewport()->width() - margin, m_grid->cellWidth())};
}

QSize ConsoleView::sizeForTerminal(platform::ConsoleProcess::Size size) const {
    const qreal margin = 2 * document()->documentMargin();
    const int frame = 2 * frameWidth();
    return {static_cast<int>(std::ceil(size.columns * m_grid->cellWidth() + margin)) + frame +
                verticalScrollBar()->sizeHint().width(),
            static_cast<int>(std::ceil(size.rows * m_grid->rowHeight() + margin + 1)) + frame};
}

void ConsoleView::keyPressEvent(QKeyEvent* event) {
    if (isFind(event)) {
        m_find->open();
        return;
    }
    if (isProblemStep(event)) {
        m_find->stepToProblem(event->modifiers() & Qt::ShiftModifier);
        return;
    }
    // A key the find bar left goes nowhere else.
    if (m_find->hasFocus()) {
        event->ignore();
        return;
    }
    if (isCopy(event, textCursor().hasSelection())) {
        copy();
        return;
    }
    if (isPaste(event)) {
        if (m_acceptsKeys) {
            // A terminal sends Return as a carriage return; so does a pasted line break.
            QString text = QApplication::clipboard()->text();
            text.replace(u"\r\n"_s, u"\r"_s).replace(u'\n', u'\r');
            Q_EMIT typed(m_keyEncoding.encode(text));
        }
        return;
    }
    const QByteArray keys =
        terminalBytes(event->key(), event->modifiers(), event->text(), m_keyEncoding);
    if (!keys.isEmpty()) {
        if (m_acceptsKeys)
            Q_EMIT typed(keys);
        return;
    }
    // Arrows, pages, Home and End move around the text.
    QPlainTextEdit::keyPressEvent(event);
}

void ConsoleView::resizeEvent(QResizeEvent* event) {
    // A lower window shows fewer rows from the same top: a view that followed the output keeps
    // its end in sight, as a terminal keeps its cursor's row.
    const bool following = isFollowing();
    QPlainTextEdit::resizeEvent(event);
    follow(following, 0);
    m_find->place(viewport()->geometry(), fontMetrics().averageCharWidth());
    tellSize();
}

void ConsoleView::tellSize() {
    // Only whole cells count: a window a few pixels larger has the same terminal.
    const platform::ConsoleProcess::Size size = terminalSize();
    if (size.rows == m_told.rows && size.columns == m_told.columns)
        return;
    m_told = size;
    Q_EMIT terminalSizeChanged(size);
}

void ConsoleView::changeEvent(QEvent* event) {
    const bool following = isFollowing();
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        follow(following, 0);
        tellSize();
    }
    // The problem colours read on the text area's own background.
    if (event->type() == QEvent::PaletteChange)
        repaintRows();
}

bool ConsoleView::focusNextPrevChild(bool next) {
    // Tab belongs to the utility, as in any terminal, but in the find bar.
    return m_find->hasFocus() && QPlainTextEdit::focusNextPrevChild(next);
}

} // namespace runs::console
