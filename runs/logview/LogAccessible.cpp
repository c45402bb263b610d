// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/logview/LogAccessible.h"

#include "runs/logview/LogTextView.h"

#include <QTextLayout>

using namespace Qt::Literals::StringLiterals;

namespace runs::logview {

namespace {

QAccessibleInterface* logTextFactory(const QString& className, QObject* object) {
    if (className == QLatin1StringView(LogTextView::staticMetaObject.className()))
        if (auto* view = qobject_cast<LogTextView*>(object))
            return new LogAccessible(view);
    return nullptr;
}

class Activation : public QAccessible::ActivationObserver {
public:
    void accessibilityActiveChanged(bool active) override {
        if (active)
            LogAccessible::install();
    }
};

} // namespace

LogAccessible::LogAccessible(LogTextView* view)
    : QAccessibleWidget(view, QAccessible::EditableText) {
    view->m_readerAsked = true;
}

void LogAccessible::install() {
    static const bool installed = [] {
        QAccessible::installFactory(logTextFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

void LogAccessible::installWhenActive() {
    static Activation activation;
    static const bool watching = [] {
        if (QAccessible::isActive())
            install();
        else
            QAccessible::installActivationObserver(&activation);
        return true;
    }();
    Q_UNUSED(watching);
}

LogTextView* LogAccessible::view() const {
    return static_cast<LogTextView*>(widget());
}

QAccessible::State LogAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = true;
    state.multiLine = true;
    state.editable = false;
    state.selectableText = true;
    return state;
}

void* LogAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

void LogAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = 0;
    LogTextView* box = view();
    if (selectionIndex != 0 || !box->m_cursor.hasSelection())
        return;
    const LogAccessibleText& offered = box->offeredText();
    *startOffset = offered.offsetOf(box->m_cursor.selectionStart());
    *endOffset = offered.offsetOf(box->m_cursor.selectionEnd());
}

int LogAccessible::selectionCount() const {
    return view()->m_cursor.hasSelection() ? 1 : 0;
}

void LogAccessible::addSelection(int startOffset, int endOffset) {
    setSelection(0, startOffset, endOffset);
}

void LogAccessible::removeSelection(int selectionIndex) {
    if (selectionIndex == 0)
        view()->moveCaretTo(view()->m_cursor.caret(), view()->m_cursor.caret());
}

void LogAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
    if (selectionIndex != 0)
        return;
    const LogAccessibleText& offered = view()->offeredText();
    view()->moveCaretTo(offered.positionAt(startOffset), offered.positionAt(endOffset));
}

int LogAccessible::cursorPosition() const {
    LogTextView* box = view();
    return box->offeredText().offsetOf(box->m_cursor.caret());
}

void LogAccessible::setCursorPosition(int position) {
    const LogPosition to = view()->offeredText().positionAt(position);
    view()->moveCaretTo(to, to);
}

QString LogAccessible::text(QAccessible::Text type) const {
    if (type == QAccessible::Value)
        return view()->offeredText().text();
    return QAccessibleWidget::text(type);
}

QString LogAccessible::text(int startOffset, int endOffset) const {
    const QString& all = view()->offeredText().text();
    startOffset = qBound(0, startOffset, static_cast<int>(all.size()));
    endOffset = qBound(startOffset, endOffset, static_cast<int>(all.size()));
    return all.sliced(startOffset, endOffset - startOffset);
}

int LogAccessible::characterCount() const {
    return static_cast<int>(view()->offeredText().text().size());
}

QRect LogAccessible::characterRect(int offset) const {
    LogTextView* box = view();
    const LogPosition position = box->offeredText().positionAt(offset);
    const LogLayout& layout = box->m_layout;
    const LogRow row = layout.rowOf(position);
    // Rows from the top of the view; a character above it or far below is off screen.
    qint64 rows = 0;
    if (row < box->m_top) {
        rows = -1;
    } else {
        for (LogRow at = box->m_top; at < row && rows <= box->visibleRows(); ++rows)
            at = layout.moveRows(at, 1);
    }
    const auto laid = layout.layoutOf(position.piece);
    const int character = LogLayout::characterIn(*laid, position);
    const QTextLine line = laid->lineAt(row.row);
    const qreal x = line.isValid() ? line.cursorToX(character) : 0;
    const qreal next = line.isValid() && character < line.textStart() + line.textLength()
                           ? line.cursorToX(character + 1)
                           : x + box->fontMetrics().averageCharWidth();
    const QPoint topLeft(LogLayout::Margin + qRound(x),
                         LogLayout::Margin + static_cast<int>(rows) * layout.rowHeight());
    return {box->viewport()->mapToGlobal(topLeft),
            QSize(qMax(1, qRound(next - x)), layout.rowHeight())};
}

int LogAccessible::offsetAtPoint(const QPoint& point) const {
    LogTextView* box = view();
    const QPoint inside = box->viewport()->mapFromGlobal(point);
    if (!box->viewport()->rect().contains(inside))
        return -1;
    const LogPosition position = box->m_layout.hitTest(box->m_top, inside);
    const LogAccessibleText& offered = box->offeredText();
    return offered.holds(position) ? offered.offsetOf(position) : -1;
}

void LogAccessible::scrollToSubstring(int startIndex, int endIndex) {
    Q_UNUSED(endIndex);
    view()->showPlace(view()->offeredText().positionAt(startIndex));
}

QString LogAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = offset;
    return {};
}

QString LogAccessible::part(Part which, int offset, QAccessible::TextBoundaryType unit,
                            int* startOffset, int* endOffset) const {
    const QString& text = view()->offeredText().text();
    // By the toolkit's convention -1 stands for the text's end and -2 for the caret.
    if (offset == -1)
        offset = static_cast<int>(text.size());
    else if (offset == -2)
        offset = cursorPosition();
    const TextSpan span = which(text, offset, unit);
    *startOffset = span.start;
    *endOffset = span.end;
    return span.isNone() ? QString() : text.sliced(span.start, span.end - span.start);
}

QString LogAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                        int* startOffset, int* endOffset) const {
    return part(&LogTextUnits::before, offset, boundaryType, startOffset, endOffset);
}

QString LogAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                       int* startOffset, int* endOffset) const {
    return part(&LogTextUnits::after, offset, boundaryType, startOffset, endOffset);
}

QString LogAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                    int* startOffset, int* endOffset) const {
    return part(&LogTextUnits::at, offset, boundaryType, startOffset, endOffset);
}

} // namespace runs::logview
