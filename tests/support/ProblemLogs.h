// SPDX-License-Identifier: GPL-3.0-or-later
// Logs with problem lines for the suites of the log window's problems, and what the operator
// reads of the window: the selected text, where the caret stands, the find bar's result.
#pragma once

#include "support/LogViewTest.h"

#include <QAccessibleTextInterface>

namespace problemlogs {

using namespace logtest;

// Lines of ". . exporting table" that end in a line feed, `count` of them numbered from `first`.
inline QByteArray plainLines(int count, int first = 0) {
    QByteArray lines;
    for (int i = first; i < first + count; ++i)
        lines += ". . exporting table T" + QByteArray::number(i) + "  14 rows exported\n";
    return lines;
}

// A numbered problem line of each kind in turn: errors, coded and not, and warnings.
inline QByteArray problemLine(int number) {
    const char* kinds[] = {"EXP-00011: table %1 does not exist", "WARNING: table %1 is empty",
                           "  ORA-01017: logon %1 denied", "ERROR: dump %1 unreadable"};
    return QByteArray(kinds[number % 4]).replace("%1", QByteArray::number(number)) + '\n';
}

// `lines` lines with a problem at every `every`-th, each line's text its own.
inline QByteArray everyNth(int lines, int every) {
    QByteArray content;
    for (int i = 0; i < lines; ++i)
        content += i % every == every - 1 ? problemLine(i) : plainLines(1, i);
    return content;
}

// The text the operator has selected; empty when nothing is.
inline QString selected(LogTextView* view) {
    return copied(view, {});
}

// What the find bar says, or "(closed)" while it is hidden.
inline QString findResult(const QWidget& view) {
    auto* label = control<QLabel>(view, "lbl_find_status");
    return label->isVisible() ? label->text() : u"(closed)"_s;
}

// Whether the caret stands at the start of the selected text, on screen, as a screen reader is
// told (LogAccessible::install() lets it ask): the offered text from the caret on reads the
// selection, and the caret's rectangle lies inside the text area.
inline bool caretStartsSelection(LogTextView* view, const QString& selection) {
    QAccessibleTextInterface* text = textOf(view);
    if (!text)
        return false;
    const int caret = text->cursorPosition();
    int start = 0;
    int end = 0;
    text->selection(0, &start, &end);
    const QRect area(view->viewport()->mapToGlobal(QPoint(0, 0)), view->viewport()->size());
    return text->text(caret, caret + static_cast<int>(selection.size())) == selection &&
           start == caret && end == caret + selection.size() &&
           area.contains(text->characterRect(caret).center());
}

} // namespace problemlogs
