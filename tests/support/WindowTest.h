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

// No window may outlive the test that opened it.
inline bool noWindowLeft() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (const QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible())
            return false;
    }
    return true;
}
