// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/BusyScope.h"

#include <QApplication>
#include <QEvent>
#include <QWindow>

namespace runs {

bool BusyScope::s_active = false;

namespace {

bool isOperatorInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
    case QEvent::InputMethod:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

// The top-level widget that an event for this object belongs to: input reaches a window's
// system window first, then its widgets.
const QWidget* windowOf(const QObject* watched) {
    if (watched->isWidgetType())
        return static_cast<const QWidget*>(watched)->window();
    if (watched->isWindowType()) {
        for (const QWidget* window : QApplication::topLevelWidgets()) {
            if (static_cast<const QObject*>(window->windowHandle()) == watched)
                return window;
        }
    }
    return nullptr;
}

} // namespace

BusyScope::BusyScope(QWidget* inputWindow) : m_inputWindow(inputWindow) {
    s_active = true;
    showBusyCursor(true);
    qApp->installEventFilter(this);
}

BusyScope::~BusyScope() {
    qApp->removeEventFilter(this);
    showBusyCursor(false);
    s_active = false;
    for (const QPointer<QWidget>& window : std::as_const(m_closeRequests)) {
        if (window)
            window->close();
    }
}

void BusyScope::showBusyCursor(bool busy) {
    if (busy == m_busyCursor)
        return;
    m_busyCursor = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

bool BusyScope::takesInput(const QObject* watched) const {
    const QWidget* window = windowOf(watched);
    if (!window)
        return false;
    // A popup can only have been opened from the window that takes input.
    return (m_inputWindow && window == m_inputWindow) || window->windowType() == Qt::Popup;
}

bool BusyScope::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::Enter && watched->isWidgetType()) {
        // The console shows its own cursor; the other windows show that they are busy.
        showBusyCursor(!takesInput(watched));
        return false;
    }
    if (isOperatorInput(type))
        return !takesInput(watched);
    if (type == QEvent::Close && watched->isWidgetType() && !takesInput(watched)) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->isWindow()) {
            if (!m_closeRequests.contains(widget))
                m_closeRequests.append(widget);
            event->ignore();
            return true;
        }
    }
    return false;
}

} // namespace runs
