// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "runs/lines/ProblemColours.h"
#include "runs/logview/LogAccessibleText.h"
#include "runs/logview/LogCursor.h"
#include "runs/logview/LogDocument.h"
#include "runs/logview/LogLayout.h"

#include <QAbstractScrollArea>
#include <QTimer>

#include <memory>
#include <optional>

namespace runs::logview {

class LogFind;
class ProblemScrollBar;

// A read-only text box for a log of any size. It lays out only the pieces of lines on screen,
// wrapped to its width, so the first screen shows at once and scrolling costs the same at the
// first line and the ten-millionth. The scroll bar counts pieces (a line, or a part of a long
// one) and grows while the log is indexed. Selection by mouse and keyboard, select all, copy of
// the file's own text, and Find over the whole log work as in any text box, and screen readers
// read it and follow its caret. Before it paints, moves, copies, finds or answers a screen
// reader, it looks whether the log changed: a log that grew has its growth indexed, one written
// over or replaced is shown afresh, the caret on the line it was on, so that the box, Copy,
// Find and screen readers always have one version of the log whole. The widget paints and
// routes events; rows, the caret, Find and the text offered to screen readers each have a
// class of their own. Problem lines and the closing line are drawn in their colours, and the
// scroll bar marks where the problems stand (see ProblemScrollBar).
class LogTextView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit LogTextView(QWidget* parent = nullptr);
    ~LogTextView() override;

    // Shows this file from its first line, decoded in that encoding; none shows an empty box.
    void showFile(std::shared_ptr<platform::ReadOnlyFile> file,
                  const lines::TextEncoding& encoding = {});
    const LogDocument& document() const { return *m_document; }
    bool isIndexing() const { return m_document->isIndexing(); }

    void selectAll();
    void copy();
    void openFind();
    void find(bool backward);
    // F8 and Shift+F8: the caret to the start of the next (or previous) problem line, that line
    // selected, round the log's end when none is left that way, which the find bar tells.
    void goToProblem(bool backward);

    // A larger selection is not copied: the operator is told so.
    static constexpr qint64 CopyLimitBytes = 16 * 1024 * 1024;

Q_SIGNALS:
    void indexed();
    // More of the log's problems are known, or another log is shown.
    void problemsChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    friend class LogAccessible;

    int visibleRows() const;
    void showDocument(std::unique_ptr<LogDocument> document, bool afresh);
    // Looks whether the log changed and shows it afresh if need be; true when it did, the
    // selection and the old text gone.
    bool keepCurrent();
    void showAfresh(std::shared_ptr<platform::ReadOnlyFile> file);
    // Puts the caret and the view back on the lines they were on, once those are indexed.
    void placeKeptLines();
    // The text offered to assistive technology, of the log as it is, made to hold the view.
    const LogAccessibleText& offeredText();
    void moveCaretTo(const LogPosition& anchor, const LogPosition& caret);
    void showPlace(const LogPosition& position);
    // Announces a moved offered text, caret or selection to assistive technology.
    void tellReaders();
    void documentGrew();
    void relayout();
    void updateRange();
    void setTop(LogRow top);
    void ensureCaretVisible();
    void dragScroll();
    void selectMatch(const LogPosition& start, const LogPosition& end);
    // The colour a line of that class is drawn in; invalid for the text colour.
    QColor colourOf(const lines::LineClass& line);
    // The class of the line a piece is on; `known` is the class of the piece before, if on it.
    lines::LineClass classOfPiece(qint64 piece, const std::optional<lines::LineClass>& known);
    // F8's look from the caret, made again as the index grows while it waits for it.
    void seekWaitingProblem();
    void selectProblemLine(qint64 offset);
    void problemClicked(qint64 offset);

    std::unique_ptr<LogDocument> m_document;
    LogLayout m_layout;
    LogCursor m_cursor;
    LogFind* m_find;
    ProblemScrollBar* m_marksBar;
    // Which way F8 looks while it waits for the index: the next problem may not be indexed yet.
    std::optional<bool> m_problemWaiting;
    lines::ProblemColours m_colours;
    QColor m_coloursOn;
    mutable LogAccessibleText m_offered{m_layout};
    LogPosition m_toldAnchor;
    LogPosition m_toldCaret;
    bool m_readerAsked = false;

    // The lines of the view's top and of the caret, and the caret's column, of a log shown
    // afresh, until the new index reaches them or the operator moves on first.
    struct KeptLines {
        qint64 top = 0;
        qint64 caret = 0;
        qsizetype column = 0;
    };
    std::optional<KeptLines> m_kept;

    LogRow m_top;
    LogRow m_lastTop;
    qint64 m_piecesPerStep = 1;
    bool m_syncingBar = false;
    bool m_indexAfterPaint = false;
    int m_wheelRemainder = 0;
    bool m_dragging = false;
    QPoint m_dragPoint;
    QTimer m_dragTimer;
};

} // namespace runs::logview
