#include "runs/BusyScope.h"

#include <QApplication>
#include <QEvent>

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
        return true;
    default:
        return false;
    }
}

} // namespace

BusyScope::BusyScope() {
    s_active = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    qApp->installEventFilter(this);
}

void BusyScope::releaseInput() {
    if (!std::exchange(m_inputBlocked, false))
        return;
    qApp->removeEventFilter(this);
    QApplication::restoreOverrideCursor();
}

BusyScope::~BusyScope() {
    releaseInput();
    s_active = false;
    for (const QPointer<QWidget>& window : std::as_const(m_closeRequests)) {
        if (window)
            window->close();
    }
}

bool BusyScope::eventFilter(QObject* watched, QEvent* event) {
    if (isOperatorInput(event->type()))
        return true;
    if (event->type() == QEvent::Close && watched->isWidgetType()) {
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
