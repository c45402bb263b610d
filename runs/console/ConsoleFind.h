// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QPlainTextEdit;
class QRect;

namespace runs::lines {
class FindBar;
}

namespace runs::console {

// Find in the console's kept rows, as a terminal finds in its scroll-back, and F8 from problem
// line to problem line: the bar over the text, and what each found, selected in the text,
// scrolled into view and told in the bar. A line the screen wrapped is found as the one line it
// is, across its rows.
class ConsoleFind : public QObject {
    Q_OBJECT
public:
    // The bar is a child of the view; searches start at the view's selection.
    explicit ConsoleFind(QPlainTextEdit* view);

    void open();
    // A new text: what was found in the last one is told no more.
    void forget();
    void find(bool backward);
    // Selects the next problem line after the caret's line (the one before it, backward), the
    // caret at its start, going round the text's end when there is none that way.
    void stepToProblem(bool backward);
    // Places the bar at the top right of the text area.
    void place(const QRect& textArea, int averageCharWidth);
    // Whether the keyboard focus is in the bar.
    bool hasFocus() const;

private:
    // Selects from anchor to caret and brings both into view.
    void select(int anchor, int caret);
    // Tells in the bar what F8 found, opening the bar for it but leaving the focus in the text.
    void tellStep(const QString& result);

    QPlainTextEdit* m_view;
    lines::FindBar* m_bar;
};

} // namespace runs::console
