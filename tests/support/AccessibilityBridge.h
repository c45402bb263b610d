// SPDX-License-Identifier: GPL-3.0-or-later
// What the toolkit hands on to assistive technology. The suite that compiles
// AccessibilityBridge.cpp holds a bridge of the toolkit's own kind, as a static plugin: the
// toolkit loads it as it loads a platform's screen-reader bridge and passes it every
// announcement that no screen reader takes first, which on the offscreen platform is all of
// them. So a test hears what a screen reader would be sent, by the toolkit's own road.
#pragma once

#include <QAccessible>
#include <QList>
#include <QPointer>
#include <QString>

namespace accessibilitybridge {

// One announcement, with what the object it is about said of itself when it was made.
struct Heard {
    QAccessible::Event type;
    QPointer<QObject> object;
    QString name;
    QString description;
};

// Everything heard so far, oldest first; a test clears it before it listens.
QList<Heard>& heard();

} // namespace accessibilitybridge
