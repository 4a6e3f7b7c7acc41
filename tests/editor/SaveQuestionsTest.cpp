// Saving never loses anything without asking: a file read as ISO Latin-1 keeps its bytes and asks
// before it becomes UTF-8 (never encoding UTF-8 twice), a file another program changed is not
// overwritten unasked, and a tab shown again notices such a change. The questions take the
// keyboard: Return gives the default answer, Escape cancels, and no key reaches the text.
#include "chrome/AlertSheetView.h"
#include "EditorTestSupport.h"
#include "editor/EditorView.h"
#include "support/Waits.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <fcntl.h>

using namespace editortest;

namespace {

using Result = EditorView::SaveResult;

struct Outcome {
    std::optional<Result> result;
    QString error;
};

// Starts a save; the outcome fills in when it ends, at once or after the answer.
std::shared_ptr<Outcome> startSave(EditorView& view, const QString& path) {
    auto outcome = std::make_shared<Outcome>();
    view.save(path, [outcome](Result result, const QString& error) {
        EXPECT_FALSE(outcome->result) << "done runs once";
        outcome->result = result;
        outcome->error = error;
    });
    return outcome;
}

bool waitFor(const std::shared_ptr<Outcome>& outcome) {
    return QTest::qWaitFor([&] { return outcome->result.has_value(); }, 5000);
}

void append(EditorView& view, const QString& text) {
    view.textView()->moveCursor(QTextCursor::End);
    view.textView()->insertPlainText(text);
}

// Presses `key` where the user's keyboard is: the focused widget, else the text.
void press(EditorView& view, Qt::Key key) {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : view.textView();
    QTest::keyClick(target, key);
}

void click(AlertSheetView* question, const QString& label) {
    ASSERT_NE(question, nullptr);
    for (QWidget* button : question->answerButtons())
        if (button->accessibleName() == label) {
            QTest::mouseClick(button, Qt::LeftButton);
            return;
        }
    FAIL() << "no answer " << label.toStdString();
}

// The file's modification time, put back after another program's write to hide it.
timespec mtimeOf(const QString& path) {
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mtim;
}

void setMtime(const QString& path, timespec mtime) {
    const timespec times[2] = {mtime, mtime};
    ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
}

} // namespace

TEST(SaveQuestions, AMisreadUtf8FileSaysSoKeepsItsBytesAndIsNeverEncodedTwice) {
    QTemporaryDir dir;
    const QString path = dir.filePath("notes.txt");
    // UTF-8 with one byte that is not: the whole file reads as ISO Latin-1.
    const QByteArray original = "gr\xc3\xbc\xc3\x9f \xff\n";
    writeAll(path, original);
    EditorView view;
    QStringList notices;
    view.onNotice = [&](const QString& notice) { notices << notice; };
    ASSERT_TRUE(view.loadFile(path));
    testsupport::drainEvents();
    ASSERT_EQ(notices.size(), 1) << "the fallback says so when the file opens";
    EXPECT_TRUE(notices[0].contains(QStringLiteral("ISO Latin-1"))) << notices[0].toStdString();
    EXPECT_TRUE(notices[0].contains(QStringLiteral("notes.txt")));

    // Edits that Latin-1 can hold are written back in it: the file's own bytes stay as they were.
    append(view, QStringLiteral("x"));
    auto plain = startSave(view, path);
    ASSERT_TRUE(plain->result);
    EXPECT_EQ(*plain->result, Result::saved);
    EXPECT_EQ(readAll(path), original + "x");

    // A character Latin-1 cannot hold asks; Escape cancels and nothing is written.
    append(view, QStringLiteral("✓"));
    auto cancelled = startSave(view, path);
    ASSERT_NE(view.question(), nullptr);
    QTest::keyClicks(view.textView(), QStringLiteral("zz"));
    press(view, Qt::Key_Escape);
    ASSERT_TRUE(waitFor(cancelled));
    EXPECT_EQ(*cancelled->result, Result::cancelled);
    EXPECT_EQ(readAll(path), original + "x");
    EXPECT_TRUE(view.isDirty());
    EXPECT_FALSE(view.text().contains(QStringLiteral("zz"))) << "no key reached the text behind";

    // Return saves as UTF-8: the UTF-8 that was there stays as it was, the stray byte becomes its
    // character, and the tab now shows the text as UTF-8 reads it.
    auto converted = startSave(view, path);
    ASSERT_NE(view.question(), nullptr);
    press(view, Qt::Key_Return);
    ASSERT_TRUE(waitFor(converted));
    EXPECT_EQ(*converted->result, Result::saved);
    const QByteArray utf8 = "gr\xc3\xbc\xc3\x9f \xc3\xbf\nx\xe2\x9c\x93";
    EXPECT_EQ(readAll(path), utf8);
    EXPECT_FALSE(readAll(path).contains("\xc3\x83")) << "never encoded twice";
    EXPECT_EQ(view.text(), QStringLiteral("grüß ÿ\nx✓"));
    EXPECT_EQ(view.fileFormat().encoding, textfile::Encoding::utf8);
    EXPECT_FALSE(view.isDirty());
    EXPECT_FALSE(view.textView()->document()->isUndoAvailable()) << "no undo leads back to the misread text";
    ASSERT_EQ(*startSave(view, path)->result, Result::saved);
    EXPECT_EQ(readAll(path), utf8);
}

TEST(SaveQuestions, ARealLatin1FileBecomesTheSameTextInUtf8) {
    EXPECT_EQ(textfile::reinterpretAsUtf8(QStringLiteral("Grüße ✓")), QStringLiteral("Grüße ✓"));
    EXPECT_EQ(textfile::reinterpretAsUtf8(QString::fromLatin1("a\xc3\xa9z")), QStringLiteral("aéz"));
    // Half a sequence at the end, and a lead byte followed by a plain one, stay Latin-1.
    EXPECT_EQ(textfile::reinterpretAsUtf8(QString::fromLatin1("\xe2\x9c")), QString::fromLatin1("\xe2\x9c"));
    EXPECT_EQ(textfile::reinterpretAsUtf8(QString::fromLatin1("\xc3" "a")), QString::fromLatin1("\xc3" "a"));
}

// However the other program changed the file, the save asks; a file only touched is no change.
TEST(SaveQuestions, AFileChangedByAnotherProgramIsNotOverwrittenWithoutAsking) {
    const struct {
        const char* name;
        std::function<void(const QString& path)> change;
        bool asks;
    } cases[] = {
        {"appended to", [](const QString& p) { writeAll(p, "one\ntwo\nmore\n"); }, true},
        {"same size, modification time put back",
         [](const QString& p) {
             const timespec before = mtimeOf(p);
             writeAll(p, "ONE\nTWO\n");
             setMtime(p, before);
         },
         true},
        {"replaced by a rename, as editors save",
         [](const QString& p) {
             writeAll(p + ".new", "one\ntwo\n\n");
             ASSERT_EQ(::rename(QFile::encodeName(p + ".new").constData(), QFile::encodeName(p).constData()), 0);
         },
         true},
        {"touched only",
         [](const QString& p) {
             const timespec later = {mtimeOf(p).tv_sec + 60, 0};
             setMtime(p, later);
         },
         false},
        {"rewritten with the same bytes", [](const QString& p) { writeAll(p, "one\ntwo\n"); }, false},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath("shared.txt");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeAll(path, "one\ntwo\n");
        EditorView view;
        ASSERT_TRUE(view.loadFile(path));
        append(view, QStringLiteral("mine\n"));
        c.change(path);
        const QByteArray theirs = readAll(path);
        auto outcome = startSave(view, path);
        if (!c.asks) {
            ASSERT_TRUE(outcome->result);
            EXPECT_EQ(*outcome->result, Result::saved);
            EXPECT_EQ(readAll(path), "one\ntwo\nmine\n");
            continue;
        }
        ASSERT_FALSE(outcome->result);
        ASSERT_NE(view.question(), nullptr);
        EXPECT_EQ(readAll(path), theirs);
        // Return is Cancel here: both other answers throw a version away.
        press(view, Qt::Key_Return);
        ASSERT_TRUE(waitFor(outcome));
        EXPECT_EQ(*outcome->result, Result::cancelled);
        EXPECT_EQ(readAll(path), theirs);
        EXPECT_TRUE(view.isDirty());
    }
}

TEST(SaveQuestions, OverwriteOrReload) {
    QTemporaryDir dir;
    const QString path = dir.filePath("shared.txt");
    writeAll(path, "one\n");
    EditorView view;
    ASSERT_TRUE(view.loadFile(path));
    append(view, QStringLiteral("mine\n"));
    writeAll(path, "theirs\n");

    auto overwritten = startSave(view, path);
    click(view.question(), QStringLiteral("Überschreiben"));
    ASSERT_TRUE(waitFor(overwritten));
    EXPECT_EQ(*overwritten->result, Result::saved);
    EXPECT_EQ(readAll(path), "one\nmine\n");
    EXPECT_FALSE(view.isDirty());
    // What was written is what the next save compares with: no question.
    append(view, QStringLiteral("more\n"));
    ASSERT_EQ(*startSave(view, path)->result, Result::saved);

    writeAll(path, "theirs again\n");
    append(view, QStringLiteral("lost on reload\n"));
    auto reloaded = startSave(view, path);
    click(view.question(), QStringLiteral("Neu laden"));
    ASSERT_TRUE(waitFor(reloaded));
    EXPECT_EQ(*reloaded->result, Result::reloaded);
    EXPECT_EQ(view.text(), "theirs again\n");
    EXPECT_FALSE(view.isDirty());
    EXPECT_EQ(readAll(path), "theirs again\n");
}

TEST(SaveQuestions, ATabShownAgainNoticesTheChange) {
    QTemporaryDir dir;
    const QString path = dir.filePath("shared.txt");
    writeAll(path, "one\n");
    EditorView view;
    view.resize(600, 400);
    ASSERT_TRUE(view.loadFile(path));
    view.show();
    testsupport::drainEvents();
    EXPECT_EQ(view.question(), nullptr) << "nothing changed";

    // Clean: Return reloads.
    view.hide();
    writeAll(path, "two\n");
    view.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.question() != nullptr; }, 5000));
    press(view, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.text() == "two\n"; }, 5000));
    EXPECT_FALSE(view.isDirty());

    // With unsaved text, Return keeps it; that version of the file is not asked about again, and
    // the save still asks before it overwrites it.
    append(view, QStringLiteral("mine\n"));
    view.hide();
    writeAll(path, "three\n");
    view.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.question() != nullptr; }, 5000));
    press(view, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.question() == nullptr; }, 5000));
    EXPECT_EQ(view.text(), "two\nmine\n");
    view.hide();
    view.show();
    testsupport::drainEvents();
    EXPECT_EQ(view.question(), nullptr);
    auto outcome = startSave(view, path);
    ASSERT_NE(view.question(), nullptr);
    press(view, Qt::Key_Escape);
    ASSERT_TRUE(waitFor(outcome));
    EXPECT_EQ(readAll(path), "three\n");
}
