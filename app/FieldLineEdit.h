// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFocusEvent>
#include <QLineEdit>

// A text box that tells when the operator moves the focus into it or out of it. Focus that
// leaves only for a popup or because another window became active is not a move of the
// operator's within the window, and is not reported.
class FieldLineEdit : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

Q_SIGNALS:
    void focusEntered();
    void focusLeft();

protected:
    void focusInEvent(QFocusEvent* event) override {
        QLineEdit::focusInEvent(event);
        if (isOperatorMove(event->reason()))
            Q_EMIT focusEntered();
    }
    void focusOutEvent(QFocusEvent* event) override {
        QLineEdit::focusOutEvent(event);
        if (isOperatorMove(event->reason()))
            Q_EMIT focusLeft();
    }

private:
    static bool isOperatorMove(Qt::FocusReason reason) {
        return reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason;
    }
};
