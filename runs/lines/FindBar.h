// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFrame>

class QLabel;
class QLineEdit;

namespace runs::lines {

// The bar that Ctrl+F opens over a text: a text to look for, next and previous, and what the
// search found. Enter looks further down, Shift+Enter further up, Escape closes the bar. It
// wears the desktop's colours, not those of the window it stands in, with its text always clear
// to read. The search itself is its owner's: the bar asks for it and shows what it found.
class FindBar : public QFrame {
    Q_OBJECT
public:
    // `fieldName` is what screen readers call the text field ("Find in log").
    FindBar(QWidget* parent, const QString& fieldName);

    QString text() const;
    void open();
    // What a search found, shown beside the text ("Not found", "Wrapped", nothing for a match
    // that needs no word) and told to screen readers, for whom a match is "Found". The result
    // label reads it, and the text field, which keeps the focus while the operator searches,
    // describes it, so that a screen reader says it there. `told` empty: the same as shown.
    void setResult(const QString& shown, const QString& told = {});
    // No result: a new text, or none asked for yet.
    void clearResult();
    // A search under way; its result is told afresh, even when it is the last one again.
    void showSearching();

Q_SIGNALS:
    void findRequested(bool backward);
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyColours();

    QLineEdit* m_text;
    QLabel* m_status;
};

} // namespace runs::lines
