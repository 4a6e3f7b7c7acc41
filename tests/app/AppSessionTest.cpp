// The saved tabs with the running controller: restored at launch, written after every opened and
// closed tab, and once more at the end.
#include "AppTestSupport.h"
#include "app/session/SessionFormat.h"
#include "chrome/HeaderBarView.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTest>
#include <sys/stat.h>

using namespace apptest;

namespace {

class AppSession : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        QObject::connect(defaults.get(), &Defaults::valueChanged, [this](const QString& key) {
            if (key == QLatin1String("sessionTabs")) ++sessionWrites;
        });
    }
    QVariantList savedTabs() const { return defaults->array("sessionTabs"); }
    QString writeFile(const QString& name, const QByteArray& content) const {
        const QString path = QDir(dir.path()).filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(content);
        return path;
    }
    int sessionWrites = 0;
};

} // namespace

TEST_F(AppSession, ALaunchRestoresFoldersSplitsNamesEditorsAndTheActiveTab) {
    const QString a = folder("alpha"), b = folder("beta");
    const QString notes = writeFile("notes.md", "# Notes\n");
    const QString missing = QDir(dir.path()).filePath("gone/todo.txt");
    defaults->setValue(
        "sessionTabs",
        QVariantList{
            QVariantMap{{"shell", "/bin/bash"},
                        {"cwd", a},
                        {"tabId", "id-a"},
                        {"colorHue", 0.25},
                        {"customName", "alpha"},
                        {"splitVertical", false},
                        {"splitRatio", 0.7},
                        {"splitShell", "/bin/sh"},
                        {"splitCwd", b},
                        {"splitTabId", "id-b"}},
            42, // not an entry: skipped
            QVariantMap{{"type", "editor"}, {"editorURL", notes}, {"editorMode", "vim"}},
            QVariantMap{{"type", "editor"}, {"editorURL", missing}, {"customName", "todo"}},
            QVariantMap{{"shell", "/bin/bash"}, {"cwd", "/"}, {"gitPosition", "left"}, {"gitRatioV", 0.4}},
        });
    defaults->setValue("sessionActiveTab", 2); // the stored list's third element: the notes
    sessionWrites = 0;
    launch();

    ASSERT_EQ(app->workspace().tabs().count(), 4);
    EXPECT_EQ(names(), (QStringList{"alpha", "notes.md", "todo", ""}));
    EXPECT_EQ(app->workspace().activeTab(), 1);
    EXPECT_EQ(sessionWrites, 1) << "one save, at the end of the restore";
    EXPECT_FALSE(bell->isSuppressed());

    // The split tab: both shells in their folders, stacked, the stored share.
    EXPECT_TRUE(waitForCwd(view(0), a));
    EXPECT_EQ(view(0)->tabId(), "id-a");
    EXPECT_NEAR(*tabColorHue(tab(0).color), 0.25, 1e-4);
    SplitContainer* c = tab(0).splitContainer;
    ASSERT_TRUE(c->isSplit());
    EXPECT_FALSE(c->isVerticalSplit());
    EXPECT_DOUBLE_EQ(c->splitRatio(), 0.7);
    EXPECT_TRUE(c->activePaneIsPrimary());
    EXPECT_EQ(c->secondaryView()->currentShell(), "/bin/sh");
    EXPECT_EQ(c->secondaryView()->tabId(), "id-b");
    EXPECT_TRUE(waitForCwd(c->secondaryView(), b));
    EXPECT_FALSE(defaults->hasStoredValue("splitRatioH"))
        << "the remembered share of new splits is untouched";

    // The editors: one with its file, one whose file is gone but keeps it for the next save.
    EXPECT_EQ(tab(1).editorView->textView()->toPlainText(), "# Notes\n");
    EXPECT_EQ(tab(1).editorView->language(), SyntaxLanguage::markdown) << "by the file's name";
    EXPECT_EQ(tab(1).editorMode, EditorInputMode::vim);
    EXPECT_FALSE(tab(1).editorDirty);
    EXPECT_TRUE(tab(2).editorView->textView()->toPlainText().isEmpty());

    // "/" is no folder to restore; "left" is a right-hand git panel, kept until the panel exists.
    EXPECT_TRUE(waitForCwd(view(3), QDir::homePath()));
    EXPECT_EQ(tab(3).gitPosition, GitPanelPosition::right);
    EXPECT_DOUBLE_EQ(tab(3).gitRatioV, 0.4);
    ASSERT_NE(tab(3).gitPanel, nullptr);
    EXPECT_EQ(tab(3).gitPanel->lastCwd(), "/") << "the panel follows the stored folder text";
    EXPECT_TRUE(tab(3).gitDivider->isVertical);
    EXPECT_FALSE(tab(3).gitPanel->isVisible());

    settle();
    expectTabsInStep();
    const QVariantList saved = savedTabs();
    ASSERT_EQ(saved.size(), 4);
    EXPECT_EQ(saved[0].toMap().value("splitVertical"), false);
    EXPECT_EQ(saved[0].toMap().value("splitCwd"), b);
    EXPECT_EQ(saved[1].toMap().value("editorMode"), "vim");
    EXPECT_EQ(saved[2].toMap().value("editorURL"), missing) << "the unreadable file's entry is kept";
    EXPECT_EQ(saved[3].toMap().value("gitPosition"), "right");
    EXPECT_EQ(defaults->integer("sessionActiveTab"), 1);
}

TEST_F(AppSession, NothingUsableStoredOpensTheFirstTab) {
    for (const QVariant& stored : {QVariant(), QVariant(QVariantList{}), QVariant(QVariantList{1, "x"}),
                                   QVariant(QStringLiteral("tabs"))}) {
        SCOPED_TRACE(stored.toString().toStdString());
        TearDown();
        QFile::remove(dir.filePath("defaults.json")); // each case starts from nothing stored
        SetUp();
        if (stored.isValid()) defaults->setValue("sessionTabs", stored);
        launch();
        EXPECT_EQ(app->workspace().tabs().count(), 1);
        EXPECT_EQ(tab(0).type, TabType::terminal);
        EXPECT_EQ(savedTabs().size(), 1);
    }
}

TEST_F(AppSession, EveryOpenedAndClosedTabIsSaved) {
    launch();
    const int afterLaunch = sessionWrites;
    app->workspace().addTab();
    EXPECT_EQ(savedTabs().size(), 2);
    app->workspace().createEditorTab();
    EXPECT_EQ(savedTabs().size(), 3);
    EXPECT_EQ(savedTabs()[2].toMap().value("type"), "editor");
    app->workspace().closeTab(0);
    EXPECT_EQ(savedTabs().size(), 2);
    EXPECT_EQ(sessionWrites, afterLaunch + 3);
    EXPECT_EQ(defaults->integer("sessionActiveTab"), app->workspace().activeTab());
}

TEST_F(AppSession, TheEndSavesTabsAndGeometryAndEndsTheShells) {
    launch();
    app->workspace().toggleSplit(true);
    app->workspace().addTab();
    QList<pid_t> shells;
    for (TerminalView* pane : app->workspace().allTerminalViews()) {
        ASSERT_TRUE(waitForShell(pane));
        shells << pane->childPid();
    }
    ASSERT_EQ(shells.size(), 3);
    int quits = 0;
    int status = -1;
    internals(*app).termination().quitApplication = [&](int s) {
        ++quits;
        status = s;
    };
    app->terminateWithoutConfirmation();
    EXPECT_EQ(quits, 1);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(savedTabs().size(), 2);
    EXPECT_EQ(savedTabs()[0].toMap().value("splitVertical"), true);
    EXPECT_TRUE(defaults->hasStoredValue("windowWidth"));
    EXPECT_TRUE(defaults->hasStoredValue("dockedWindowX"));
    EXPECT_FALSE(internals(*app).footerTimer().isActive());
    for (pid_t pid : shells) EXPECT_TRUE(waitForProcessEnd(pid)) << "shell " << pid;
}

TEST_F(AppSession, ClosingTabsWithAndWithoutAGitPanelKeepsTheGitColumnsInStep) {
    defaults->setValue(
        "sessionTabs",
        QVariantList{QVariantMap{{"shell", "/bin/bash"}, {"gitPosition", "bottom"}, {"gitRatioH", 0.45}},
                     QVariantMap{{"shell", "/bin/bash"}},
                     QVariantMap{{"shell", "/bin/bash"}, {"gitPosition", "right"}}});
    launch();
    nameTabsInOrder();
    QPointer<GitPanelView> lastPanel = tab(2).gitPanel;
    app->workspace().closeTab(1); // no git panel
    settle();
    expectTabsInStep();
    EXPECT_EQ(app->workspace().tabs().tabGitPositions(),
              (std::vector<GitPanelPosition>{GitPanelPosition::bottom, GitPanelPosition::right}));
    EXPECT_DOUBLE_EQ(tab(0).gitRatioH, 0.45);
    EXPECT_EQ(tab(1).gitPanel, lastPanel);
    app->workspace().closeTab(1); // with a git panel
    settle();
    expectTabsInStep();
    EXPECT_EQ(lastPanel, nullptr) << "the closed tab's git panel goes with it";
    EXPECT_EQ(names(), QStringList{"t0"});
}

TEST_F(AppSession, SavedEditorTabsOnFifosAndDevicesAreLeftOutWithAToast) {
    const QString fifo = QDir(dir.path()).filePath("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString notes = writeFile("notes.md", "# Notes\n");
    defaults->setValue("sessionTabs", QVariantList{
                                          QVariantMap{{"shell", "/bin/bash"}},
                                          QVariantMap{{"type", "editor"}, {"editorURL", fifo}},
                                          QVariantMap{{"type", "editor"}, {"editorURL", "/dev/zero"}},
                                          QVariantMap{{"type", "editor"}, {"editorURL", notes}},
                                      });
    defaults->setValue("sessionActiveTab", 3);
    launch(); // hung here at the FIFO's open, and read /dev/zero without end

    ASSERT_EQ(app->workspace().tabs().count(), 2);
    EXPECT_EQ(tab(1).editorView->textView()->toPlainText(), "# Notes\n");
    EXPECT_EQ(app->workspace().activeTab(), 1);
    QWidget* toast = app->toasts().toast(QStringLiteral("filesSkippedToast"));
    ASSERT_NE(toast, nullptr);
    QString shown;
    for (const QLabel* label : toast->findChildren<QLabel*>()) shown += label->text();
    EXPECT_TRUE(shown.contains(fifo) && shown.contains("/dev/zero")) << shown.toStdString();
    EXPECT_EQ(savedTabs().size(), 2) << "the skipped tabs are not saved again";
}

TEST_F(AppSession, ABrokenSettingsFileIsMovedAsideAndTheToastSaysWhere) {
    TearDown();
    {
        QFile broken(dir.filePath("defaults.json"));
        ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
        broken.write("{\"sessionTabs\": [");
    }
    SetUp();
    const QString aside = defaults->quarantinedPath();
    ASSERT_FALSE(aside.isEmpty());
    launch();
    QWidget* toast = app->toasts().toast(QStringLiteral("settingsMovedAsideToast"));
    ASSERT_NE(toast, nullptr);
    QString shown;
    for (const QLabel* label : toast->findChildren<QLabel*>()) shown += label->text();
    EXPECT_TRUE(shown.contains(aside)) << shown.toStdString();
}
