// SPDX-License-Identifier: GPL-3.0-or-later
// The ">" and ">>" buttons: which export fields reach the import panel, what stays, and the
// warning about the SID.
#include "app/FrmMain.h"
#include "support/MessageRecorder.h"
#include "support/WindowTest.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString sidWarning = u"You have just copied the Export SID as Import SID - this can cause "
                           u"an import to the same destination as export"_s;

// The value a control holds, whatever its kind.
QVariant valueOf(const QWidget& window, const QString& name) {
    auto* widget = window.findChild<QWidget*>(name);
    if (!widget)
        qFatal("no control named %s", qPrintable(name));
    if (auto* line = qobject_cast<QLineEdit*>(widget))
        return line->text();
    if (auto* check = qobject_cast<QCheckBox*>(widget))
        return check->isChecked();
    if (auto* combo = qobject_cast<QComboBox*>(widget))
        return combo->currentText();
    if (auto* area = qobject_cast<QPlainTextEdit*>(widget))
        return area->toPlainText();
    qFatal("unexpected kind of control %s", qPrintable(name));
}

// Gives every field of both panels a value of its own, each check box the opposite of its
// value at start, so that a copy shows in every field it reaches.
void fillDistinct(const QWidget& window) {
    for (QLineEdit* line : window.findChildren<QLineEdit*>()) {
        if (line->objectName().startsWith(u"txt_"_s))
            line->setText(line->objectName().mid(4));
    }
    for (QCheckBox* check : window.findChildren<QCheckBox*>())
        check->setChecked(!check->isChecked());
    for (QComboBox* combo : window.findChildren<QComboBox*>())
        combo->setCurrentText(combo->objectName());
    control<QPlainTextEdit>(window, "txt_imp_params")->setPlainText(u"earlier line"_s);
}

QMap<QString, QVariant> importPanel(const QWidget& window) {
    QMap<QString, QVariant> values;
    for (const QWidget* widget : window.findChildren<QWidget*>()) {
        const QString name = widget->objectName();
        if ((name.endsWith(u"_i"_s) || name == u"txt_importfile"_s ||
             name == u"txt_imp_params"_s) &&
            !qobject_cast<const QPushButton*>(widget))
            values.insert(name, valueOf(window, name));
    }
    return values;
}

// The import panel holds these values and no others.
void compareImportPanel(const QWidget& window, const QMap<QString, QVariant>& expected) {
    const QMap<QString, QVariant> actual = importPanel(window);
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QCOMPARE(std::pair(it.key(), actual.value(it.key())), std::pair(it.key(), it.value()));
    QCOMPARE(actual.size(), expected.size());
}

const std::pair<const char*, const char*> copiedPairs[] = {
    {"txt_username_e", "txt_username_i"},   {"txt_password_e", "txt_password_i"},
    {"txt_directory_e", "txt_directory_i"}, {"txt_exportfile", "txt_importfile"},
    {"txt_buffer_e", "txt_buffer_i"},       {"txt_tables_e", "txt_tables_i"},
    {"chk_full_e", "chk_full_i"},           {"chk_rows_e", "chk_rows_i"},
    {"chk_indexes_e", "chk_indexes_i"},     {"txt_feedback_e", "txt_feedback_i"}};

} // namespace

class TestFieldCopy : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup();
    void copiesExactlyTheseFields_data();
    void copiesExactlyTheseFields();
    void copiesEachFieldAwayFromItsDefault_data();
    void copiesEachFieldAwayFromItsDefault();
    void copiesValuesAtStart();
    void importLogButtonFollowsCopiedName_data();
    void importLogButtonFollowsCopiedName();
    void copyAllWithoutSid();
    void copyAllWithSid_data();
    void copyAllWithSid();
};

void TestFieldCopy::cleanup() {
    QTRY_VERIFY(noWindowLeft());
}

void TestFieldCopy::copiesExactlyTheseFields_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("sidCopied");
    QTest::newRow(">") << u"cmd_copy"_s << false;
    QTest::newRow(">>") << u"cmd_copyall"_s << true;
}

void TestFieldCopy::copiesExactlyTheseFields() {
    QFETCH(QString, button);
    QFETCH(bool, sidCopied);
    frmMain window;
    fillDistinct(window);
    QMap<QString, QVariant> expected = importPanel(window);
    for (const auto& [from, to] : copiedPairs)
        expected[QLatin1StringView(to)] = valueOf(window, QLatin1StringView(from));
    if (sidCopied)
        expected[u"txt_sid_i"_s] = u"sid_e"_s;
    const QVariant exportSid = valueOf(window, u"txt_sid_e"_s);

    MessageRecorder recorder;
    control<QPushButton>(window, button.toLatin1().constData())->click();

    compareImportPanel(window, expected);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(valueOf(window, u"txt_sid_e"_s), exportSid);
    QCOMPARE(recorder.boxes.size(), sidCopied ? 1 : 0);
}

void TestFieldCopy::copiesEachFieldAwayFromItsDefault_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    for (const char* button : {"cmd_copy", "cmd_copyall"}) {
        for (const auto& [from, to] : copiedPairs)
            QTest::addRow("%s %s", button, from)
                << QString::fromLatin1(button) << QString::fromLatin1(from)
                << QString::fromLatin1(to);
    }
}

// One export field changed from the value it opens with, so that the import field differs from
// it, every other field as it opens: the copy carries it over with the others, and nothing else.
void TestFieldCopy::copiesEachFieldAwayFromItsDefault() {
    QFETCH(QString, button);
    QFETCH(QString, from);
    QFETCH(QString, to);
    frmMain window;
    QVariant changed;
    if (auto* check = window.findChild<QCheckBox*>(from)) {
        check->setChecked(!check->isChecked());
        changed = check->isChecked();
    } else {
        changed = u"copied %1"_s.arg(from);
        control<QLineEdit>(window, from.toLatin1().constData())->setText(changed.toString());
    }
    QVERIFY(valueOf(window, to) != changed);
    QMap<QString, QVariant> expected = importPanel(window);
    for (const auto& [exported, imported] : copiedPairs)
        expected[QLatin1StringView(imported)] = valueOf(window, QLatin1StringView(exported));
    QCOMPARE(expected.value(to), changed);

    MessageRecorder recorder;
    control<QPushButton>(window, button.toLatin1().constData())->click();
    compareImportPanel(window, expected);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(recorder.boxes.size(), 0);
}

void TestFieldCopy::copiesValuesAtStart() {
    frmMain window;
    control<QPushButton>(window, "cmd_copy")->click();
    QCOMPARE(control<QLineEdit>(window, "txt_buffer_i")->text(), u"999999"_s);
    QCOMPARE(control<QLineEdit>(window, "txt_feedback_i")->text(), u"1000"_s);
    QCOMPARE(control<QLineEdit>(window, "txt_importfile")->text(), QString());
    QVERIFY(!control<QCheckBox>(window, "chk_full_i")->isChecked());
    QVERIFY(control<QCheckBox>(window, "chk_rows_i")->isChecked());
    QVERIFY(!control<QCheckBox>(window, "chk_indexes_i")->isChecked());
    // Import-only switches keep their own values at start.
    QVERIFY(control<QCheckBox>(window, "chk_compile_i")->isChecked());
    QVERIFY(control<QCheckBox>(window, "chk_grants_i")->isChecked());
    QVERIFY(!control<QPushButton>(window, "cmd_view_implog")->isEnabled());
}

void TestFieldCopy::importLogButtonFollowsCopiedName_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("exportFile");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("name copied") << QString() << u"cr1_scott_05032004.dump"_s << true;
    QTest::newRow("empty name copied") << u"old.dump"_s << QString() << false;
}

void TestFieldCopy::importLogButtonFollowsCopiedName() {
    QFETCH(QString, before);
    QFETCH(QString, exportFile);
    QFETCH(bool, enabled);
    frmMain window;
    control<QLineEdit>(window, "txt_importfile")->setText(before);
    QCOMPARE(control<QPushButton>(window, "cmd_view_implog")->isEnabled(), !enabled);
    control<QLineEdit>(window, "txt_exportfile")->setText(exportFile);
    control<QPushButton>(window, "cmd_copy")->click();
    QCOMPARE(control<QLineEdit>(window, "txt_importfile")->text(), exportFile);
    QCOMPARE(control<QPushButton>(window, "cmd_view_implog")->isEnabled(), enabled);
}

void TestFieldCopy::copyAllWithoutSid() {
    frmMain window;
    control<QLineEdit>(window, "txt_sid_i")->setText(u"TEST"_s);
    control<QLineEdit>(window, "txt_username_e")->setText(u"scott"_s);
    MessageRecorder recorder;
    control<QPushButton>(window, "cmd_copyall")->click();
    QCOMPARE(recorder.boxes.size(), 0);
    QCOMPARE(control<QLineEdit>(window, "txt_sid_i")->text(), u"TEST"_s);
    QCOMPARE(control<QLineEdit>(window, "txt_username_i")->text(), u"scott"_s);
}

void TestFieldCopy::copyAllWithSid_data() {
    QTest::addColumn<QString>("sid");
    QTest::newRow("name") << u"PROD"_s;
    // Only an empty field counts as no SID.
    QTest::newRow("a blank") << u" "_s;
}

void TestFieldCopy::copyAllWithSid() {
    QFETCH(QString, sid);
    frmMain window;
    fillDistinct(window);
    control<QLineEdit>(window, "txt_sid_e")->setText(sid);

    QList<platform::MessageBoxRequest> boxes;
    QStringList notYetCopied;
    platform::MessageBox::setInterceptor([&](const platform::MessageBoxRequest& request) {
        boxes.append(request);
        for (const auto& [from, to] : copiedPairs) {
            if (valueOf(window, QLatin1StringView(to)) != valueOf(window, QLatin1StringView(from)))
                notYetCopied.append(QLatin1StringView(to));
        }
        if (valueOf(window, u"txt_sid_i"_s) != sid)
            notYetCopied.append(u"txt_sid_i"_s);
        return QMessageBox::Ok;
    });
    control<QPushButton>(window, "cmd_copyall")->click();
    platform::MessageBox::setInterceptor({});

    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].title, u"Warning:"_s);
    QCOMPARE(boxes[0].text, sidWarning);
    QCOMPARE(boxes[0].icon, QMessageBox::Information);
    QCOMPARE(boxes[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(notYetCopied, QStringList());
    QCOMPARE(control<QLineEdit>(window, "txt_sid_i")->text(), sid);
}

QTEST_MAIN(TestFieldCopy)
#include "tst_fieldcopy.moc"
