// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader hears: every control of the three windows has a name, the fields their
// labels' texts.
#include "app/FrmMain.h"
#include "dialogs/FrmORAParams.h"
#include "runs/console/UtilityConsole.h"
#include "runs/logview/FrmLogView.h"
#include "support/WindowTest.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

std::unique_ptr<QWidget> createWindow(const QString& name) {
    if (name == u"frmORAParams"_s)
        return std::make_unique<frmORAParams>();
    if (name == u"frmLogView"_s)
        return std::make_unique<runs::logview::frmLogView>();
    if (name == u"UtilityConsole"_s)
        return std::make_unique<runs::console::UtilityConsole>();
    return std::make_unique<frmMain>();
}

// What the operator types into, ticks, picks or presses.
bool isControl(const QWidget* widget) {
    return qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QPlainTextEdit*>(widget) ||
           qobject_cast<const QAbstractButton*>(widget) || qobject_cast<const QComboBox*>(widget);
}

// The name a screen reader announces: the label that Qt reports as labelling the control (on
// Linux a combo box's own name is its current text), else the control's own name.
QString accessibleName(QWidget* widget) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    if (!face)
        return {};
    const auto labels = face->relations(QAccessible::Label);
    return labels.isEmpty() ? face->text(QAccessible::Name)
                            : labels.first().first->text(QAccessible::Name);
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup();
    void everyControlNamed_data();
    void everyControlNamed();
    void names_data();
    void names();
};

void TestAccessibility::cleanup() {
    QTRY_VERIFY(noWindowLeft());
}

void TestAccessibility::everyControlNamed_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("atLeast");
    QTest::newRow("frmMain") << u"frmMain"_s << 50;
    QTest::newRow("frmORAParams") << u"frmORAParams"_s << 10;
    QTest::newRow("frmLogView") << u"frmLogView"_s << 3;
    QTest::newRow("UtilityConsole") << u"UtilityConsole"_s << 1;
}

void TestAccessibility::everyControlNamed() {
    QFETCH(QString, window);
    QFETCH(int, atLeast);
    const std::unique_ptr<QWidget> form = createWindow(window);
    QStringList unnamed;
    int controls = 0;
    for (QWidget* widget : form->findChildren<QWidget*>()) {
        if (!isControl(widget))
            continue;
        ++controls;
        if (accessibleName(widget).trimmed().isEmpty())
            unnamed.append(widget->objectName() + u'/' +
                           QLatin1StringView(widget->metaObject()->className()));
    }
    QVERIFY(controls >= atLeast);
    QVERIFY2(unnamed.isEmpty(), qPrintable(u"unnamed: "_s + unnamed.join(u", "_s)));
}

// Each field is named by the label beside it, not by a neighbour's label or by its own value.
void TestAccessibility::names_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("name");
    const QString main = u"frmMain"_s;
    QTest::newRow("SID") << main << u"txt_sid_e"_s << u"SID"_s;
    QTest::newRow("statistics") << main << u"cmb_statistics_e"_s << u"Statistics"_s;
    QTest::newRow("other") << main << u"txt_other_i"_s << u"Other"_s;
    QTest::newRow("read-back") << main << u"txt_exp_params"_s << u"Export command line"_s;
    QTest::newRow("VL") << main << u"cmd_view_implog"_s << u"View Import Log"_s;
    QTest::newRow("fixed variable")
        << u"frmORAParams"_s << u"txt_nls_lang_val"_s << u"NLS_LANG value"_s;
    QTest::newRow("free variable") << u"frmORAParams"_s << u"txt_name_3"_s << u"Variable 4 name"_s;
    QTest::newRow("Set") << u"frmORAParams"_s << u"cmd_set_1"_s << u"Set ORA_HOME"_s;
    QTest::newRow("log") << u"frmLogView"_s << u"txt_logtext"_s << u"Log text"_s;
    QTest::newRow("console") << u"UtilityConsole"_s << u"txt_console"_s << u"Utility output"_s;
}

void TestAccessibility::names() {
    QFETCH(QString, window);
    QFETCH(QString, control);
    QFETCH(QString, name);
    const std::unique_ptr<QWidget> form = createWindow(window);
    QCOMPARE(accessibleName(::control<QWidget>(*form, control.toLatin1().constData())), name);
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
