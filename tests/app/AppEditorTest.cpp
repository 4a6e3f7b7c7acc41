// Editor tabs as the tabs need them: a file opened, modified, saved, and the question before a
// modified editor closes.
#include "AppTestSupport.h"
#include "chrome/FooterBarView.h"
#include "chrome/HeaderBarView.h"
#include "chrome/UnsavedAlertView.h"
#include "editor/EditorAlertOverlay.h"
#include "localisation/Loc.h"
#include "localisation/LocBinding.h"
#include "support/FullDisk.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace apptest;

namespace {

class AppEditor : public AppTest {
protected:
    UnsavedAlertView* alert() const { return app->contentView()->findChild<UnsavedAlertView*>(); }
    // Clicks one of the alert's answers and waits until the alert has gone.
    void answer(const std::string& label) {
        ASSERT_NE(alert(), nullptr);
        QWidget* button = nullptr;
        for (QWidget* w : alert()->panel()->findChildren<QWidget*>())
            if (w->accessibleName() == QString::fromStdString(label)) button = w;
        ASSERT_NE(button, nullptr) << label;
        QTest::mouseClick(button, Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return alert() == nullptr; }, 5000));
        testsupport::drainEvents();
    }
    // A modified editor tab, behind a terminal tab that is on show.
    void openModifiedEditor(const QString& text) {
        app->workspace().createEditorTab();
        app->workspace().tabs().active()->editorView->textView()->insertPlainText(text);
        ASSERT_TRUE(app->workspace().tabs().active()->editorDirty);
        app->workspace().switchToTab(0);
    }
    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }
    static QByteArray read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }
};

} // namespace

TEST_F(AppEditor, SaveInTheQuestionClosesTheTabOnlyOnceTheFileIsWritten) {
    launch();
    openModifiedEditor(QStringLiteral("keep me"));
    const std::string save = Loc::unsavedSave();

    // The user cancels the name: nothing is written and the tab stays, still modified.
    app->workspace().closeTab(1);
    answer(save);
    EXPECT_EQ(fileQuestions, 1);
    ASSERT_EQ(app->workspace().tabs().count(), 2);
    EXPECT_TRUE(tab(1).editorDirty);

    // The file cannot be written: the tab stays and a toast says why.
    fileAnswers << path("no-such-folder/draft.txt");
    app->workspace().closeTab(1);
    answer(save);
    ASSERT_EQ(app->workspace().tabs().count(), 2);
    EXPECT_TRUE(tab(1).editorDirty);
    EXPECT_NE(app->toasts().toast(QStringLiteral("editorFileToast")), nullptr);

    // Written: the tab goes.
    fileAnswers << path("draft.txt");
    app->workspace().closeTab(1);
    answer(save);
    EXPECT_EQ(read(path("draft.txt")), "keep me");
    EXPECT_EQ(app->workspace().tabs().count(), 1);
    settle();
    expectTabsInStep();
}

TEST_F(AppEditor, DiscardClosesUnsavedAndCancelKeepsEverything) {
    launch();
    openModifiedEditor(QStringLiteral("scratch"));
    app->workspace().closeTab(1);
    answer(Loc::unsavedCancel());
    EXPECT_EQ(app->workspace().tabs().count(), 2);
    EXPECT_TRUE(tab(1).editorDirty);
    EXPECT_EQ(tab(1).editorView->textView()->toPlainText(), "scratch");
    app->workspace().closeTab(1);
    answer(Loc::unsavedDiscard());
    EXPECT_EQ(app->workspace().tabs().count(), 1);
    EXPECT_EQ(fileQuestions, 0) << "nothing was saved";
}

TEST_F(AppEditor, AnEditorTabOpensSavesAndRenamesItsFile) {
    launch();
    const QString notes = path("notes.txt");
    {
        QFile file(notes);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("line one\n");
    }
    // The open command reads a file into the editor tab on show; a terminal tab asks nothing.
    fileAnswers << notes;
    app->workspace().openEditorFile();
    EXPECT_EQ(fileQuestions, 0);
    app->workspace().createEditorTab();
    app->workspace().tabs().active()->editorView->textView()->insertPlainText(QStringLiteral("replaced"));
    app->workspace().openEditorFile();
    ASSERT_EQ(app->workspace().tabs().count(), 2);
    TabState& editor = tab(1);
    EXPECT_EQ(editor.type, TabType::editor);
    EXPECT_EQ(editor.editorView->textView()->toPlainText(), "line one\n");
    EXPECT_FALSE(editor.editorDirty) << "a dirty tab takes the file without asking, and is clean";
    EXPECT_EQ(editor.customName, QString("notes.txt"));
    EXPECT_EQ(editor.editorURL, QUrl::fromLocalFile(notes));
    EXPECT_EQ(app->window()->focusWidget(), editor.editorView->textView());

    editor.editorView->textView()->moveCursor(QTextCursor::End);
    editor.editorView->textView()->insertPlainText(QStringLiteral("line two\n"));
    EXPECT_TRUE(tab(1).editorDirty);
    app->workspace().saveCurrentEditor();
    EXPECT_EQ(fileQuestions, 1) << "a file of its own: no question";
    EXPECT_EQ(read(notes), "line one\nline two\n");
    EXPECT_FALSE(tab(1).editorDirty);

    fileAnswers << path("renamed.txt");
    app->workspace().saveCurrentEditorAs();
    EXPECT_EQ(read(path("renamed.txt")), "line one\nline two\n");
    EXPECT_EQ(tab(1).customName, QString("renamed.txt"));
    EXPECT_EQ(tab(1).editorURL, QUrl::fromLocalFile(path("renamed.txt")));

    // The footer's mode buttons set the tab's input mode, which the next save keeps.
    internals(*app).footerView()->onEditorModeChange(EditorInputMode::nano);
    EXPECT_EQ(tab(1).editorMode, EditorInputMode::nano);
    EXPECT_EQ(tab(1).editorView->inputMode(), EditorInputMode::nano);

    // A name the user gave the tab stays when the file changes.
    app->workspace().renameTab(1, QStringLiteral("mine"));
    fileAnswers << path("third.txt");
    app->workspace().saveCurrentEditorAs();
    EXPECT_EQ(tab(1).customName, QString("mine"));

    // A binary file is refused in a warning panel; the tab stays exactly as it was.
    const QString binary = path("image.bin");
    {
        QFile file(binary);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("\xff\xfe\x00\x81", 4);
    }
    tab(1).editorView->textView()->insertPlainText(QStringLiteral("!"));
    fileAnswers << binary;
    app->workspace().openEditorFile();
    EXPECT_EQ(app->workspace().tabs().count(), 2);
    EXPECT_NE(app->contentView()->findChild<EditorAlertOverlay*>(), nullptr);
    EXPECT_EQ(tab(1).editorURL, QUrl::fromLocalFile(path("third.txt")));
    EXPECT_TRUE(tab(1).editorDirty);
    EXPECT_TRUE(tab(1).editorView->text().endsWith(u'!'));

    // A file dropped on the header opens in a tab of its own.
    internals(*app).headerView()->onFileDropped(QUrl::fromLocalFile(notes));
    EXPECT_EQ(app->workspace().tabs().count(), 3);
    EXPECT_EQ(app->workspace().tabs().active()->customName, QString("notes.txt"));
    EXPECT_EQ(defaults->array("sessionTabs").size(), 3) << "the new tab was saved";
    settle();
    expectTabsInStep();
}

TEST_F(AppEditor, AFullDiskKeepsTheFileAndTheUnsavedMark) {
    launch();
    FullDisk disk;
    const QString notes = disk.filePath(QStringLiteral("notes.txt"));
    {
        QFile file(notes);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("short\n");
    }
    ASSERT_TRUE(app->workspace().createEditorTabInternal(notes));
    ASSERT_EQ(app->workspace().tabs().count(), 2);
    tab(1).editorView->textView()->selectAll();
    tab(1).editorView->textView()->insertPlainText(QString(5800, QLatin1Char('x')));
    ASSERT_TRUE(tab(1).editorDirty);

    disk.fill();
    app->workspace().saveCurrentEditor();
    disk.release();
    EXPECT_EQ(read(notes), "short\n") << "the file was cut short and the save reported success";
    EXPECT_TRUE(tab(1).editorDirty);
    EXPECT_NE(app->toasts().toast(QStringLiteral("editorFileToast")), nullptr);

    app->workspace().saveCurrentEditor();
    EXPECT_EQ(read(notes).size(), 5800);
    EXPECT_FALSE(tab(1).editorDirty);
}
