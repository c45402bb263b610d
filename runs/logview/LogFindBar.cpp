#include "runs/logview/LogFindBar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

namespace runs::logview {

namespace {

QToolButton* button(QWidget* parent, const QString& name, const QString& text,
                    const QString& accessibleName) {
    auto* made = new QToolButton(parent);
    made->setObjectName(name);
    made->setText(text);
    made->setToolTip(accessibleName);
    made->setAccessibleName(accessibleName);
    made->setAutoRaise(true);
    return made;
}

} // namespace

LogFindBar::LogFindBar(QWidget* parent)
    : QFrame(parent), m_text(new QLineEdit(this)), m_status(new QLabel(this)) {
    setObjectName(u"findBar"_s);
    setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    setAutoFillBackground(true);
    m_text->setObjectName(u"txt_find"_s);
    m_text->setAccessibleName(u"Find in log"_s);
    m_text->setPlaceholderText(u"Find"_s);
    m_text->installEventFilter(this);
    m_status->setObjectName(u"lbl_find_status"_s);
    m_status->setAccessibleName(u"Find result"_s);
    QToolButton* previous = button(this, u"cmd_find_previous"_s, u"\u25B2"_s, u"Find previous"_s);
    QToolButton* next = button(this, u"cmd_find_next"_s, u"\u25BC"_s, u"Find next"_s);
    QToolButton* close = button(this, u"cmd_find_close"_s, u"\u2715"_s, u"Close find"_s);
    connect(previous, &QToolButton::clicked, this, [this] { Q_EMIT findRequested(true); });
    connect(next, &QToolButton::clicked, this, [this] { Q_EMIT findRequested(false); });
    connect(close, &QToolButton::clicked, this, [this] {
        hide();
        Q_EMIT closed();
    });

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 2, 2);
    row->setSpacing(2);
    row->addWidget(m_text, 1);
    row->addWidget(m_status);
    row->addWidget(previous);
    row->addWidget(next);
    row->addWidget(close);
    hide();
}

QString LogFindBar::text() const {
    return m_text->text();
}

void LogFindBar::open() {
    show();
    raise();
    m_text->setFocus(Qt::ShortcutFocusReason);
    m_text->selectAll();
}

void LogFindBar::setStatus(const QString& status) {
    m_status->setText(status);
}

bool LogFindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_text && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool shift = key->modifiers() & Qt::ShiftModifier;
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
            key->key() == Qt::Key_F3) {
            Q_EMIT findRequested(shift);
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            hide();
            Q_EMIT closed();
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace runs::logview
