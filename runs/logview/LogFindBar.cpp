// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/logview/LogFindBar.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include <cmath>

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

// Relative luminance as the web's accessibility guidelines define it.
double luminance(const QColor& colour) {
    const auto channel = [](double value) {
        return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) +
           0.0722 * channel(colour.blueF());
}

double contrast(const QColor& a, const QColor& b) {
    const double one = luminance(a);
    const double two = luminance(b);
    return (qMax(one, two) + 0.05) / (qMin(one, two) + 0.05);
}

// The text colour as it is when it reads clearly on the background, or else black or white.
QColor readable(const QColor& text, const QColor& background) {
    constexpr double Enough = 4.5;
    if (contrast(text, background) >= Enough)
        return text;
    return contrast(Qt::black, background) >= contrast(Qt::white, background) ? QColor(Qt::black)
                                                                              : QColor(Qt::white);
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
    applyColours();
    QCoreApplication::instance()->installEventFilter(this);
    hide();
}

// Every role set here, so none comes from the log window's own palette.
void LogFindBar::applyColours() {
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

QString LogFindBar::text() const {
    return m_text->text();
}

void LogFindBar::open() {
    show();
    raise();
    m_text->setFocus(Qt::ShortcutFocusReason);
    m_text->selectAll();
}

// Setting a name or a description tells assistive technology of the change.
void LogFindBar::setResult(const QString& shown, const QString& told) {
    m_status->setText(shown);
    const QString result = told.isEmpty() ? shown : told;
    m_status->setAccessibleName(result);
    m_text->setAccessibleDescription(result);
}

void LogFindBar::clearResult() {
    m_status->setText({});
    m_status->setAccessibleName(u"Find result"_s);
    m_text->setAccessibleDescription({});
}

void LogFindBar::showSearching() {
    m_status->setText(u"Searching\u2026"_s);
    m_status->setAccessibleName(m_status->text());
    m_text->setAccessibleDescription({});
}

bool LogFindBar::eventFilter(QObject* watched, QEvent* event) {
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

} // namespace runs::logview
