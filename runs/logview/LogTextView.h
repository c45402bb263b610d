#pragma once

#include "runs/logview/LogDocument.h"

#include <QAbstractScrollArea>
#include <QHash>
#include <QTimer>

#include <memory>

class QTextLayout;

namespace runs::logview {

class LogFindBar;
class LogSearch;

// A read-only text box for a log of any size. It lays out only the pieces of lines on screen,
// wrapped to its width, so the first screen shows at once and scrolling costs the same at the
// first line and the ten-millionth. The scroll bar counts pieces (a line, or a part of a long
// one) and grows while the log is indexed. Selection by mouse and keyboard, select all, copy of
// the file's own text, and Find over the whole log work as in any text box.
class LogTextView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit LogTextView(QWidget* parent = nullptr);
    ~LogTextView() override;

    // Shows this file from its first line, decoded in that encoding; none shows an empty box.
    void showFile(std::shared_ptr<platform::ReadOnlyFile> file, const LogEncoding& encoding = {});
    const LogDocument& document() const { return *m_document; }
    bool isIndexing() const { return m_document->isIndexing(); }

    void selectAll();
    void copy();
    void openFind();
    void find(bool backward);

    // A larger selection is not copied: the operator is told so.
    static constexpr qint64 CopyLimitBytes = 16 * 1024 * 1024;

Q_SIGNALS:
    void indexed();

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
    // A row on screen: a piece and one of the rows its text wraps into.
    struct Row {
        qint64 piece = 0;
        int row = 0;
        auto operator<=>(const Row&) const = default;
    };
    struct Laid {
        qint64 start = -1;
        qint64 end = -1;
        std::shared_ptr<QTextLayout> layout;
    };

    std::shared_ptr<QTextLayout> layoutOf(qint64 piece) const;
    int rowsOf(qint64 piece) const;
    int rowHeight() const;
    int visibleRows() const;
    Row moveRows(Row from, qint64 rows) const;
    Row rowOf(const LogPosition& position) const;
    LogPosition positionAt(Row row, qreal x) const;
    LogPosition hitTest(QPoint point) const;
    qreal caretX() const;

    void documentGrew();
    void relayout();
    void updateRange();
    void setTop(Row top);
    void moveCaret(const LogPosition& to, bool select, bool keepX = false);
    void ensureCaretVisible();
    void dragScroll();
    LogPosition nextCharacter(const LogPosition& from) const;
    LogPosition previousCharacter(const LogPosition& from) const;
    void searchFinished(qint64 offset);
    void showMatch();

    std::unique_ptr<LogDocument> m_document;
    LogSearch* m_search;
    LogFindBar* m_findBar;
    mutable QHash<qint64, Laid> m_layouts;

    Row m_top;
    Row m_lastTop;
    qint64 m_piecesPerStep = 1;
    bool m_syncingBar = false;
    bool m_indexAfterPaint = false;
    LogPosition m_anchor;
    LogPosition m_caret;
    qreal m_desiredX = -1;
    int m_wheelRemainder = 0;
    bool m_dragging = false;
    QPoint m_dragPoint;
    QTimer m_dragTimer;
    qint64 m_matchStart = -1;
    qint64 m_matchEnd = -1;
    qint64 m_matchLength = 0;
};

} // namespace runs::logview
