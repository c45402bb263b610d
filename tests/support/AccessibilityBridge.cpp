// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/AccessibilityBridge.h"

#include <QAccessibleBridge>
#include <QAccessibleBridgePlugin>
#include <QtPlugin>

namespace accessibilitybridge {

QList<Heard>& heard() {
    static QList<Heard> all;
    return all;
}

namespace {

class Bridge : public QAccessibleBridge {
public:
    void setRootObject(QAccessibleInterface*) override {}
    void notifyAccessibilityUpdate(QAccessibleEvent* event) override {
        QAccessibleInterface* face = event->accessibleInterface();
        heard().append({event->type(), event->object(),
                        face ? face->text(QAccessible::Name) : QString(),
                        face ? face->text(QAccessible::Description) : QString()});
    }
};

} // namespace

} // namespace accessibilitybridge

class TestAccessibilityBridge : public QAccessibleBridgePlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QAccessibleBridgeFactoryInterface_iid FILE "AccessibilityBridge.json")
public:
    // The toolkit keeps the bridge for the program's life and never deletes it.
    QAccessibleBridge* create(const QString&) override {
        static accessibilitybridge::Bridge bridge;
        return &bridge;
    }
};

Q_IMPORT_PLUGIN(TestAccessibilityBridge)

#include "AccessibilityBridge.moc"
