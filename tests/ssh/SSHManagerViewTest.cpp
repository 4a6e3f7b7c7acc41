// The SSH panel offscreen: its list, the add and edit form, delete, connect and the error flash.
#include "ssh/SSHManagerView.h"

#include "platform/Defaults.h"
#include "ssh/SSHProfileRowView.h"
#include "ssh/SSHProfileStore.h"
#include "support/Artifacts.h"
#include "support/Waits.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

class SSHPanel : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        defaults = std::make_unique<Defaults>(dir.filePath("defaults.json"));
    }
    void TearDown() override {
        panel.reset();
        testsupport::drainEvents();
    }
    void open() {
        panel = std::make_unique<SSHManagerView>(*defaults);
        panel->resize(260, 400);
        panel->show();
        testsupport::drainEvents();
    }
    // Fills the form and presses its save button.
    void fillAndSave(const QString& name, const QString& conn, const QString& key = {}) {
        panel->nameField()->setText(name);
        panel->connField()->setText(conn);
        panel->keyField()->setText(key);
        panel->findChild<QPushButton*>("save")->click();
        testsupport::drainEvents();
    }
    QString rowText(int row, const char* label) const {
        auto* l = panel->rows().at(row)->findChild<QLabel*>(label);
        return l ? l->text() : QString();
    }

    QTemporaryDir dir;
    std::unique_ptr<Defaults> defaults;
    std::unique_ptr<SSHManagerView> panel;
};

} // namespace

TEST_F(SSHPanel, AddingTheFirstProfileReplacesTheEmptyListText) {
    open();
    EXPECT_TRUE(panel->rows().isEmpty());
    auto* empty = panel->listStack()->findChild<QWidget*>("emptyList");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->findChild<QLabel*>()->text(), "No saved connections");

    panel->addButton()->click();
    EXPECT_TRUE(panel->isFormVisible());
    EXPECT_EQ(panel->addButton()->text(), QString(QChar(0x2212)));
    EXPECT_EQ(panel->formTitle()->text(), "NEW CONNECTION");
    fillAndSave("", "ops@host:2200", "  ~/.ssh/id_ed25519\t");
    EXPECT_FALSE(panel->isFormVisible());
    EXPECT_EQ(panel->addButton()->text(), "+");
    ASSERT_EQ(panel->rows().size(), 1);
    EXPECT_EQ(rowText(0, "name"), "host") << "without a label the host names the row";
    EXPECT_EQ(rowText(0, "detail"), "ops@host:2200");
    EXPECT_EQ(rowText(0, "key"), QString::fromUtf8("⚿ id_ed25519"));
    EXPECT_EQ(panel->listStack()->findChild<QWidget*>("emptyList", Qt::FindDirectChildrenOnly), nullptr);
    const QList<SSHProfile> stored = sshprofiles::load(*defaults);
    ASSERT_EQ(stored.size(), 1);
    EXPECT_EQ(stored[0].keyFile, "~/.ssh/id_ed25519") << "trimmed, stored as written";
}

TEST_F(SSHPanel, EditKeepsIdAndPlaceDeleteRewritesTheList) {
    sshprofiles::save(*defaults, {SSHProfile::make("A", "u", "a"), SSHProfile::make("B", "u", "b", 2022),
                                  SSHProfile::make("C", "u", "c")});
    open();
    ASSERT_EQ(panel->rows().size(), 3);
    const QString idOfB = panel->profiles()[1].id;

    panel->rows()[1]->editButton()->click();
    EXPECT_EQ(panel->formTitle()->text(), "EDIT CONNECTION");
    EXPECT_EQ(panel->connField()->text(), "u@b:2022");
    EXPECT_EQ(panel->nameField()->text(), "B");
    fillAndSave("B2", "root@b2");
    ASSERT_EQ(panel->profiles().size(), 3);
    EXPECT_EQ(panel->profiles()[1].id, idOfB);
    EXPECT_EQ(panel->profiles()[1].label, "B2");
    EXPECT_EQ(panel->profiles()[1].port, 22);
    EXPECT_EQ(rowText(1, "detail"), "root@b2");

    panel->rows()[0]->deleteButton()->click();
    testsupport::drainEvents();
    ASSERT_EQ(panel->rows().size(), 2);
    EXPECT_EQ(rowText(0, "name"), "B2");
    EXPECT_EQ(sshprofiles::load(*defaults), panel->profiles());

    // A row deleted while the form edits another: the save lands on the profile it was opened for.
    panel->rows()[1]->editButton()->click();   // C, now at 1
    panel->rows()[0]->deleteButton()->click(); // B2 goes; C moves to 0
    testsupport::drainEvents();
    fillAndSave("C2", "u@c");
    ASSERT_EQ(panel->profiles().size(), 1);
    EXPECT_EQ(panel->profiles()[0].label, "C2");
    // Opened for a profile that is gone by the save: the values make a new one.
    panel->rows()[0]->editButton()->click();
    panel->rows()[0]->deleteButton()->click();
    testsupport::drainEvents();
    fillAndSave("D", "u@d");
    ASSERT_EQ(panel->profiles().size(), 1);
    EXPECT_EQ(panel->profiles()[0].label, "D");
}

TEST_F(SSHPanel, AnInvalidConnectionFlashesTheFieldAndKeepsTheForm) {
    open();
    panel->toggleForm();
    for (const QString text : {"   ", "@host", "ops@", ":"}) {
        fillAndSave("kept", text);
        EXPECT_TRUE(panel->isFormVisible()) << text.toStdString();
        EXPECT_TRUE(panel->isConnFieldFlashing()) << text.toStdString();
        EXPECT_EQ(panel->connField()->text(), text);
        EXPECT_TRUE(panel->profiles().isEmpty());
    }
    EXPECT_TRUE(testsupport::waitForTimerStartedBefore(SSHManagerView::kErrorFlashMs));
    EXPECT_FALSE(panel->isConnFieldFlashing()) << "the red border goes after its time";
    EXPECT_FALSE(defaults->hasStoredValue(sshprofiles::kSSHProfilesKey));
}

TEST_F(SSHPanel, FieldsRefuseControlCharactersTypedOrPasted) {
    open();
    panel->toggleForm();
    for (QLineEdit* field : {panel->nameField(), panel->connField(), panel->keyField()}) {
        field->setText("ok");
        field->end(false);
        // The paste of the report: the line editor would have run `touch F` on connect.
        QGuiApplication::clipboard()->setText("x\x15touch F\r@127.0.0.1:2222");
        field->paste();
        EXPECT_EQ(field->text(), "ok") << "a paste with a control in it is not taken";
        for (const QString& bad : QStringList{"\x03", "\x1b[201~", "\x7f", "\t", QString(QChar(0x9b))}) {
            QGuiApplication::clipboard()->setText(bad);
            field->paste();
            EXPECT_EQ(field->text(), "ok") << bad.toUtf8().toHex().toStdString();
        }
        // Keys that make control characters do not type them either.
        QTest::keyClick(field, Qt::Key_C, Qt::ControlModifier);
        QTest::keyClick(field, Qt::Key_Escape);
        QTest::keyClicks(field, "-1");
        EXPECT_EQ(field->text(), "ok-1");
        QGuiApplication::clipboard()->setText(QString::fromUtf8(" $(id) `id` 'q' ; café"));
        field->paste();
        EXPECT_EQ(field->text(), QString::fromUtf8("ok-1 $(id) `id` 'q' ; café")) << "other text is taken";
    }
}

TEST_F(SSHPanel, AStoredProfileWithControlsOrOptionsIsShownInvalidAndNeverConnects) {
    sshprofiles::save(*defaults, {SSHProfile::make("Ctrl-C", "u\x03touch F", "h"),
                                  SSHProfile::make("", "-oProxyCommand=touch F", "h"),
                                  SSHProfile::make("", "u", "-oProxyCommand=touch F"),
                                  SSHProfile::make("Key", "u", "h", 22, "k\rtouch F\r"),
                                  SSHProfile::make("Good", "u", "h")});
    open();
    ASSERT_EQ(panel->rows().size(), 5);
    QList<SSHProfile> connected;
    panel->onConnect = [&](const SSHProfile& p) { connected << p; };
    for (int i = 0; i < 5; ++i) {
        SSHProfileRowView* row = panel->rows()[i];
        const bool valid = i == 4;
        EXPECT_EQ(row->connectButton()->isEnabled(), valid) << i;
        EXPECT_EQ(row->toolTip().isEmpty(), valid) << i;
        // Even a click that reaches the row's callback does not connect.
        row->onConnect(i);
    }
    ASSERT_EQ(connected.size(), 1);
    EXPECT_EQ(connected[0].label, "Good");

    // Editing one keeps what it holds in the form, and saving it back is refused.
    panel->rows()[3]->editButton()->click();
    panel->findChild<QPushButton*>("save")->click();
    EXPECT_EQ(panel->flashingField(), panel->keyField());
    panel->rows()[1]->editButton()->click();
    panel->findChild<QPushButton*>("save")->click();
    EXPECT_TRUE(panel->isConnFieldFlashing());
    EXPECT_TRUE(panel->isFormVisible());
    EXPECT_EQ(panel->profiles()[1].user, "-oProxyCommand=touch F") << "nothing was written over it";

    // A new profile whose user or host would be an option is refused as the connection's fault.
    panel->toggleForm();
    panel->toggleForm();
    for (const QString text : {"-oProxyCommand=touch F@h", "u@-h", "-l@h:22"}) {
        fillAndSave("", text);
        EXPECT_TRUE(panel->isConnFieldFlashing()) << text.toStdString();
        EXPECT_EQ(panel->profiles().size(), 5) << text.toStdString();
    }
    fillAndSave("", "u-1@h-2");
    EXPECT_EQ(panel->profiles().size(), 6) << "a dash inside is fine";
}

TEST_F(SSHPanel, TabGoesRoundTheFormsFieldsAndNeverLeavesIt) {
    open();
    // Something else that takes the keyboard, as the terminal beside the panel does.
    auto* outside = new QLineEdit(panel.get());
    outside->show();
    panel->toggleForm();
    panel->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(panel.get()));
    panel->nameField()->setFocus();
    const QList<QWidget*> forward{panel->connField(), panel->keyField(), panel->nameField()};
    for (QWidget* expected : forward) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), expected);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), panel->keyField()) << "Shift+Tab goes round the other way";
    EXPECT_FALSE(outside->hasFocus());
}

TEST_F(SSHPanel, TheAddButtonTogglesAnEmptyFormAndConnectReportsTheProfile) {
    sshprofiles::save(*defaults, {SSHProfile::make("A", "u", "a", 2200)});
    open();
    panel->rows()[0]->editButton()->click();
    ASSERT_TRUE(panel->isFormVisible());
    panel->addButton()->click();
    EXPECT_FALSE(panel->isFormVisible());
    EXPECT_EQ(panel->nameField()->text(), "A") << "closing keeps the fields";
    panel->addButton()->click();
    EXPECT_TRUE(panel->isFormVisible());
    EXPECT_EQ(panel->formTitle()->text(), "NEW CONNECTION");
    EXPECT_TRUE(panel->nameField()->text().isEmpty());
    EXPECT_FALSE(panel->editingIndex().has_value());

    QList<SSHProfile> connected;
    panel->onConnect = [&](const SSHProfile& p) { connected << p; };
    panel->rows()[0]->connectButton()->click();
    ASSERT_EQ(connected.size(), 1);
    EXPECT_EQ(connected[0].connectCommand("/h"), "ssh -p 2200 -- u@a");

    EXPECT_EQ(panel->rows()[0]->hoverButtonsOpacity(), 0.0) << "edit and delete wait for the pointer";
    panel->setMoveButtonsEnabled(false, false);
    EXPECT_TRUE(panel->moveUpButton()->isHidden());
    panel->setMoveButtonsEnabled(true, false);
    EXPECT_FALSE(panel->moveUpButton()->isHidden());
    EXPECT_TRUE(panel->isMoveUpEnabled());
    EXPECT_FALSE(panel->isMoveDownEnabled());
}

TEST_F(SSHPanel, ArtifactPanelWithProfilesAndTheForm) {
    sshprofiles::save(
        *defaults, {SSHProfile::make("Production", "deploy", "prod.example.net", 2222, "~/.ssh/id_ed25519"),
                    SSHProfile::make("", "root", "build-box"),
                    SSHProfile::make("A rather long label that does not fit", "o'neil", "10.0.0.7")});
    open();
    testsupport::snapshot(panel.get()).save(testsupport::artifactsDir() + "/ssh-panel-list.png");
    panel->rows()[0]->editButton()->click();
    ASSERT_TRUE(testsupport::waitForAnimationsToEnd({panel.get()}));
    testsupport::snapshot(panel.get()).save(testsupport::artifactsDir() + "/ssh-panel-form.png");
    EXPECT_EQ(panel->findChild<QWidget*>("formInner")->parentWidget()->height(), SSHManagerView::kFormHeight);
}
