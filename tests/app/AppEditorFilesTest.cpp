// Editor tabs and their files end to end: a load that does not finish never binds the tab to the
// file, saves keep the file's spelling and fail loudly, saved tabs come back with their files, and
// the header's preview and the footer's print reach the editor's commands.
#include "AppTestSupport.h"
#include "chrome/AlertSheetView.h"
#include "chrome/ChromeAnimation.h"
#include "chrome/BaseHoverButton.h"
#include "chrome/HeaderBarView.h"
#include "editor/EditorAlertOverlay.h"
#include "editor/EditorCommands.h"
#include "editor/TextFileCheck.h"
#include "support/FullDisk.h"

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QTest>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace apptest;

namespace {

// A folder nothing can be written into: a read-only mount as root (who may write anywhere else),
// the folder's permissions otherwise. Root without the right to mount gets /proc, where no one
// can make a file.
class ReadOnlyFolder {
public:
    ReadOnlyFolder() {
        path_ = dir_.path() + QStringLiteral("/ro");
        QDir().mkpath(path_);
        const QByteArray p = QFile::encodeName(path_);
        mounted_ = ::geteuid() == 0 && ::mount("tmpfs", p.constData(), "tmpfs", 0, "size=64k") == 0 &&
                   ::mount(nullptr, p.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
        if (!mounted_) ::chmod(p.constData(), 0555);
    }
    ~ReadOnlyFolder() {
        const QByteArray p = QFile::encodeName(path_);
        if (mounted_) ::umount2(p.constData(), MNT_DETACH);
        ::chmod(p.constData(), 0755);
    }
    QString filePath(const QString& name) const {
        if (!mounted_ && ::geteuid() == 0) return QStringLiteral("/proc/") + name;
        return path_ + u'/' + name;
    }

private:
    QTemporaryDir dir_;
    QString path_;
    bool mounted_ = false;
};

class AppEditorFiles : public AppTest {
protected:
    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }
    QString write(const QString& name, const QByteArray& bytes) {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path(name);
    }
    static QByteArray read(const QString& p) {
        QFile f(p);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
    }
    QString large(const QString& name, const QByteArray& tail = {}) {
        QByteArray bytes;
        while (bytes.size() <= textfile::kReadAtOnceLimit) bytes += "a line of a large file\n";
        return write(name, bytes + tail);
    }
    void cancelLoad(EditorView* view) {
        ASSERT_TRUE(view->isLoading());
        QPointer<EditorAlertOverlay> overlay = view->loadingOverlay();
        ASSERT_TRUE(overlay);
        static_cast<BaseHoverButton*>(overlay->actionButton())->onClick();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !view->isLoading() && !overlay; }, 10000));
    }
};

} // namespace

TEST_F(AppEditorFiles, LoadsThatDoNotFinishNeverBindTheTab) {
    launch();
    // Cancelled in a new tab: the tab goes again.
    ASSERT_TRUE(app->workspace().createEditorTabInternal(large("big.log")));
    ASSERT_EQ(app->workspace().tabs().count(), 2);
    EXPECT_TRUE(tab(1).editorURL.isEmpty()) << "bound before the text was in";
    cancelLoad(tab(1).editorView);
    ASSERT_TRUE(QTest::qWaitFor([&] { return app->workspace().tabs().count() == 1; }, 5000));

    // A file that vanished before it was read: a warning that fades in, no tab. A second warning
    // in the middle of that fade takes the first one's place.
    EXPECT_FALSE(app->workspace().createEditorTabInternal(path("gone.txt")));
    EXPECT_EQ(app->workspace().tabs().count(), 1);
    QPointer<EditorAlertOverlay> first = app->contentView()->findChild<EditorAlertOverlay*>();
    ASSERT_TRUE(first);
    EXPECT_LT(chrome::widgetAlpha(first), 1.0) << "it fades in";
    EXPECT_FALSE(app->workspace().createEditorTabInternal(path("gone too.txt")));
    settle();
    const QList<EditorAlertOverlay*> shown = app->contentView()->findChildren<EditorAlertOverlay*>();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_NE(shown.front(), first.data());
    EXPECT_DOUBLE_EQ(chrome::widgetAlpha(shown.front()), 1.0);

    // Cancelled into the current tab: the tab keeps its own text and file.
    const QString mine = write("mine.txt", "my text\n");
    ASSERT_TRUE(app->workspace().createEditorTabInternal(mine));
    fileAnswers << large("other.log");
    app->workspace().openEditorFile();
    EditorView* editor = tab(1).editorView;
    cancelLoad(editor);
    EXPECT_EQ(editor->text(), "my text\n");
    EXPECT_EQ(tab(1).editorURL, QUrl::fromLocalFile(mine));
    EXPECT_EQ(tab(1).customName, QString("mine.txt"));

    // A load superseded by another: only the newer one lands, and its panel stays until it does.
    fileAnswers << large("first.log") << large("second.log", "the second\n");
    app->workspace().openEditorFile();
    app->workspace().openEditorFile();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !editor->isLoading(); }, 10000));
    testsupport::drainEvents();
    EXPECT_TRUE(editor->text().endsWith(QStringLiteral("the second\n")));
    EXPECT_EQ(tab(1).editorURL, QUrl::fromLocalFile(path("second.log")));
    EXPECT_FALSE(tab(1).editorDirty);

    // The same file saved unchanged is the same bytes.
    app->workspace().saveCurrentEditor();
    EXPECT_EQ(read(path("second.log")).right(11), "the second\n");
    settle();
    expectTabsInStep();
}

TEST_F(AppEditorFiles, AFailedSaveKeepsTheMarkThePathAndSaysWhy) {
    launch();
    const QString notes = write("notes.txt", "x\r\n");
    ASSERT_TRUE(app->workspace().createEditorTabInternal(notes));
    tab(1).editorView->textView()->insertPlainText(QStringLiteral("typed "));
    ReadOnlyFolder readOnly;
    fileAnswers << readOnly.filePath("copy.txt");
    app->workspace().saveCurrentEditorAs();
    EXPECT_TRUE(tab(1).editorDirty);
    EXPECT_EQ(tab(1).editorURL, QUrl::fromLocalFile(notes));
    EXPECT_EQ(tab(1).customName, QString("notes.txt"));
    EXPECT_NE(app->toasts().toast(QStringLiteral("editorFileToast")), nullptr);

    app->workspace().saveCurrentEditor();
    EXPECT_EQ(read(notes), "typed x\r\n");
    EXPECT_FALSE(tab(1).editorDirty);
}

TEST_F(AppEditorFiles, QuittingNamesTheEditorsWithUnsavedText) {
    launch();
    ASSERT_TRUE(app->workspace().createEditorTabInternal(write("notes.txt", "x\n")));
    app->workspace().createEditorTab();
    ASSERT_EQ(app->workspace().tabs().count(), 3);
    tab(1).editorView->textView()->insertPlainText(QStringLiteral("typed "));
    internals(*app).termination().quitApplication = [](int) {};
    app->handleQuitRequest();
    AlertSheetView* sheet = internals(*app).termination().confirmation();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->message(), "Unsaved Changes: notes.txt") << "the new, untouched editor is not named";
    QTest::keyClick(app->window(), Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return internals(*app).termination().confirmation() == nullptr; }, 5000));
}

TEST_F(AppEditorFiles, SavedTabsComeBackWithTheirFilesSpelledAsBefore) {
    const QString latin1 = write("old.txt", "gr\xfc\xdf\r\nzwei\r\n");
    defaults->setValue("sessionTabs", QVariantList{
                                          QVariantMap{{"shell", "/bin/bash"}},
                                          QVariantMap{{"type", "editor"}, {"editorURL", latin1}},
                                          QVariantMap{{"type", "editor"}, {"editorURL", large("big.log")}},
                                      });
    launch();
    ASSERT_EQ(app->workspace().tabs().count(), 3);
    EXPECT_EQ(tab(1).editorView->text(), QStringLiteral("grüß\nzwei\n"));
    EXPECT_EQ(tab(1).editorURL, QUrl::fromLocalFile(latin1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !tab(2).editorView->isLoading(); }, 10000));
    EXPECT_EQ(tab(2).editorURL, QUrl::fromLocalFile(path("big.log")));
    EXPECT_EQ(tab(2).customName, QString("big.log"));
    EXPECT_FALSE(tab(2).editorDirty);

    app->workspace().switchToTab(1);
    app->workspace().saveCurrentEditor();
    EXPECT_EQ(read(latin1), "gr\xfc\xdf\r\nzwei\r\n");
}

TEST_F(AppEditorFiles, HeaderPreviewAndFooterPrintReachTheEditor) {
    launch();
    ASSERT_TRUE(app->workspace().createEditorTabInternal(write("README.md", "# Title\n")));
    app->workspace().updateHeaderTabs();
    HeaderBarView* header = internals(*app).headerView();
    ASSERT_TRUE(header->onPreviewToggle);
    header->onPreviewToggle();
    EXPECT_TRUE(tab(1).previewActive);
    EXPECT_TRUE(tab(1).editorView->isPreviewActive());
    header->onPreviewToggle();
    EXPECT_FALSE(tab(1).previewActive);

    // Saved under a name without a preview, the preview goes rather than staying stuck.
    header->onPreviewToggle();
    fileAnswers << path("README.txt");
    app->workspace().saveCurrentEditorAs();
    EXPECT_FALSE(tab(1).previewActive);
    EXPECT_FALSE(tab(1).editorView->isPreviewActive());

    // The terminal's screen, printed to a PDF.
    app->workspace().switchToTab(0);
    ASSERT_TRUE(waitForShell(view(0)));
    view(0)->writePTY(QStringLiteral("echo '<b>'printed-marker\r"));
    ASSERT_TRUE(waitForScreenText(view(0), QStringLiteral("<b>printed-marker")));
    EditorCommands* commands = app->services().editor->commands();
    ASSERT_NE(commands, nullptr);
    const QString pdf = path("screen.pdf");
    commands->choosePrinter = [&](QPrinter& printer, QWidget*) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    commands->executePrintAction({PrintAction::Kind::terminal, {}});
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(20000));
    EXPECT_TRUE(
        QString::fromUtf8(text.readAllStandardOutput()).contains(QStringLiteral("<b>printed-marker")));
}
