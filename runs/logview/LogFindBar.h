// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFrame>

class QLabel;
class QLineEdit;

namespace runs::logview {

// The bar that Ctrl+F opens over the log: a text to look for, next and previous, and what the
// search found. Enter looks further down, Shift+Enter further up, Escape closes the bar. It
// wears the desktop's colours, not the window's navy, with its text always clear to read.
class LogFindBar : public QFrame {
    Q_OBJECT
public:
    explicit LogFindBar(QWidget* parent);

    QString text() const;
    void open();
    void setStatus(const QString& status);

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

} // namespace runs::logview
