// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QTest>
#include <QWidget>

// Finds a control of a window by its object name, failing the test when it is missing.
template <typename T> T* control(const QWidget& window, const char* name) {
    auto* found = window.findChild<T*>(QLatin1StringView(name));
    if (!found)
        qFatal("no control named %s", name);
    return found;
}

// A run's console stays open after the utility has ended, as it should for the operator; a test
// closes it as the operator would.
inline void closeConsoles() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1StringView("UtilityConsole"))
            widget->close();
    }
}

// No window may outlive the test that opened it.
inline bool noWindowLeft() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (const QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible())
            return false;
    }
    return true;
}
