// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "runs/logview/LogTextUnits.h"

#include <QAccessibleWidget>

namespace runs::logview {

class LogTextView;

// The log text box as assistive technology sees it: a read-only text of many lines, as the
// toolkit's own read-only text boxes are, with its text, caret, selection and the places of its
// characters on screen. The text is the box's offered text (see LogAccessibleText).
class LogAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit LogAccessible(LogTextView* view);

    // Makes the toolkit ask this class for every log text box; once is enough.
    static void install();
    // Installs once assistive technology is active, now or later: the toolkit's bookkeeping
    // for a factory costs memory that a program nobody listens to need not spend.
    static void installWhenActive();
    // Where the box's announcements go: the toolkit, which hands them to assistive technology
    // while one listens. Tests listen here, as a platform without one drops them all.
    static inline void (*announce)(QAccessibleEvent* event) = &QAccessible::updateAccessibility;

    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(QAccessible::Text type) const override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;
    // Every kind of part is answered here, none by the toolkit's own walk over the whole text.
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                             int* startOffset, int* endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                            int* startOffset, int* endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                         int* endOffset) const override;

private:
    using Part = TextSpan (*)(const QString&, int, QAccessible::TextBoundaryType);
    QString part(Part which, int offset, QAccessible::TextBoundaryType unit, int* startOffset,
                 int* endOffset) const;
    LogTextView* view() const;
};

} // namespace runs::logview
