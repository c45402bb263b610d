// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/lines/FindBar.h"

#include "runs/lines/ProblemColours.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

namespace runs::lines {

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

// The text colour as it is when it reads clearly on the background, or else black or white.
QColor readable(const QColor& text, const QColor& background) {
    if (contrastRatio(text, background) >= minimumContrast)
        return text;
    return contrastRatio(Qt::black, background) >= contrastRatio(Qt::white, background)
               ? QColor(Qt::black)
               : QColor(Qt::white);
}

} // namespace

FindBar::FindBar(QWidget* parent, const QString& fieldName)
    : QFrame(parent), m_text(new QLineEdit(this)), m_status(new QLabel(this)) {
    setObjectName(u"findBar"_s);
    setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    setAutoFillBackground(true);
    m_text->setObjectName(u"txt_find"_s);
    m_text->setAccessibleName(fieldName);
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
    applyColours();
    QCoreApplication::instance()->installEventFilter(this);
    hide();
}

// Every role set here, so none comes from the palette of the window the bar stands in.
void FindBar::applyColours() {
    const QPalette desktop = QApplication::palette();
    QPalette colours;
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            const auto which = static_cast<QPalette::ColorRole>(role);
            colours.setBrush(group, which, desktop.brush(group, which));
        }
        const QColor window = desktop.color(group, QPalette::Window);
        const QColor base = desktop.color(group, QPalette::Base);
        colours.setColor(group, QPalette::WindowText,
                         readable(desktop.color(group, QPalette::WindowText), window));
        // The buttons are raised only under the mouse: their text stands on the bar.
        colours.setColor(group, QPalette::ButtonText,
                         readable(desktop.color(group, QPalette::ButtonText), window));
        colours.setColor(group, QPalette::Text,
                         readable(desktop.color(group, QPalette::Text), base));
    }
    setPalette(colours);
}

QString FindBar::text() const {
    return m_text->text();
}

void FindBar::open() {
    show();
    raise();
    m_text->setFocus(Qt::ShortcutFocusReason);
    m_text->selectAll();
}

// Setting a name or a description tells assistive technology of the change.
void FindBar::setResult(const QString& shown, const QString& told) {
    m_status->setText(shown);
    const QString result = told.isEmpty() ? shown : told;
    m_status->setAccessibleName(result);
    m_text->setAccessibleDescription(result);
}

void FindBar::clearResult() {
    m_status->setText({});
    m_status->setAccessibleName(u"Find result"_s);
    m_text->setAccessibleDescription({});
}

void FindBar::showSearching() {
    m_status->setText(u"Searching\u2026"_s);
    m_status->setAccessibleName(m_status->text());
    m_text->setAccessibleDescription({});
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    // A change of the desktop's theme is told to the application, not to the bar.
    if (watched == QCoreApplication::instance() &&
        event->type() == QEvent::ApplicationPaletteChange)
        applyColours();
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

} // namespace runs::lines
