// Dictation in the running controller: the microphone button starts and ends a session whose audio
// comes from a spoken WAV file through the real recogniser, and the text reaches the pane or the
// editor that was active when the session started.
#include "SpeechFixtures.h"
#include "app/AppTestSupport.h"
#include "app/dictation/DictationServiceAdapter.h"
#include "chrome/HeaderBarView.h"
#include "chrome/SymbolHoverButton.h"
#include "dictation/DictationManager.h"
#include "dictation/PocketSphinxBackend.h"
#include "dictation/WavFileAudioSource.h"
#include "support/Artifacts.h"

#include <QFile>
#include <QPainter>
#include <QTest>

namespace {

using Kind = DictationState::Kind;

class DictationAppTest : public apptest::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        wav = speechfixtures::spokenWav(QStringLiteral("list all files"));
        ASSERT_FALSE(wav.isEmpty());
    }

    // The launched controller with dictation from the WAV file and the command grammar.
    void launchWithSpokenFile() {
        launch();
        // The window comes up a moment after the launch, at its own size.
        ASSERT_TRUE(QTest::qWaitFor([&] { return app->window()->isVisible(); }, 10000));
        settle();
        DictationParts parts;
        parts.backend = std::make_unique<PocketSphinxBackend>(PocketSphinxBackend::Config{
            QStringLiteral("/usr/share/pocketsphinx/model/en-us"), speechfixtures::commandGrammar()});
        parts.audio = std::make_unique<WavFileAudioSource>(wav, WavFileAudioSource::Pace::asFastAsPossible);
        app->services().dictation = makeDictationService(
            *defaults, app->workspace(), internals(*app).headerView(), app->window(), std::move(parts));
        manager = app->services().dictation->manager();
        ASSERT_NE(manager, nullptr);
        // The tip shown at the first recording is not what these tests look at.
        defaults->setValue(QStringLiteral("dictationFnConflictShown"), true);
        const auto show = manager->onTranscriptionUpdate;
        manager->onTranscriptionUpdate = [this, show](const QString& text) {
            heard << text;
            show(text);
        };
    }

    void clickMic() { QTest::mouseClick(internals(*app).headerView()->micButton(), Qt::LeftButton); }

    // Click, speak, and click again once the words are recognised (or hide the window, which ends
    // the session the same way); the session then ends.
    enum class End { click, hideWindow };
    void dictateWithTheButton(const std::function<void()>& duringSession = {}, End end = End::click) {
        clickMic();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return manager->state().kind == Kind::listening ||
                       manager->state().kind == Kind::transcribing;
            },
            10000));
        if (duringSession) duringSession();
        ASSERT_TRUE(QTest::qWaitFor([&] { return heard.contains(QStringLiteral("list all files")); }, 20000))
            << heard.join(QStringLiteral(" | ")).toStdString();
        if (end == End::click)
            clickMic();
        else
            app->window()->hide();
        ASSERT_NE(manager->state().kind, Kind::transcribing);
        ASSERT_TRUE(QTest::qWaitFor([&] { return manager->state().kind == Kind::idle; }, 10000));
    }

    QString wav;
    DictationManager* manager = nullptr;
    QStringList heard;
};

TEST_F(DictationAppTest, TextReachesTheFirstPaneAsABracketedPasteAfterATabSwitch) {
    launchWithSpokenFile();
    TerminalView* first = view(0);
    ASSERT_TRUE(apptest::waitForShell(first));
    // The shell turns bracketed paste on and hands the raw bytes to a file: 26 bytes are the
    // markers around the 14 of the words.
    const QString out = folder(QStringLiteral("paste")) + QStringLiteral("/received");
    first->writePTY(
        QStringLiteral("printf '\\033[?2004h'; stty -icanon -echo; head -c 26 > '%1'; stty sane\n").arg(out));
    ASSERT_TRUE(apptest::waitForForegroundProgram(first, QStringLiteral("head")));

    dictateWithTheButton([&] {
        app->workspace().addTab();
        ASSERT_EQ(app->workspace().activeTab(), 1);
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile(out).size() == 26; }, 10000));
    QFile file(out);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("\x1b[200~list all files\x1b[201~"));
    ASSERT_TRUE(apptest::waitForShellInForeground(first));
}

TEST_F(DictationAppTest, EditorTargetInsertsAtTheSelectionOnceAHiddenWindowIsBack) {
    launchWithSpokenFile();
    app->workspace().createEditorTab();
    const int index = app->workspace().activeTab();
    EditorView* editor = tab(index).editorView;
    ASSERT_NE(editor, nullptr);
    editor->setContent(QStringLiteral("please DELETE now"));
    QTextCursor cursor = editor->textView()->textCursor();
    cursor.setPosition(7);
    cursor.setPosition(13, QTextCursor::KeepAnchor);
    editor->textView()->setTextCursor(cursor);

    // Hiding ends the session; the words are not typed into the hidden window but wait for it.
    dictateWithTheButton({}, End::hideWindow);
    EXPECT_EQ(editor->text(), QStringLiteral("please DELETE now"));
    app->window()->show();
    EXPECT_EQ(editor->text(), QStringLiteral("please list all files now"));
}

TEST_F(DictationAppTest, ArtifactMicrophoneButtonStates) {
    launchWithSpokenFile();
    HeaderBarView* header = internals(*app).headerView();
    QWidget* button = header->micButton();
    QWidget* content = app->contentView();
    const QRect area = QRect(button->mapTo(content, QPoint(0, 0)), button->size()).adjusted(-6, -6, 6, 6);
    const std::vector<DictationState> states = {
        DictationState::idle(), DictationState::of(Kind::listening),
        DictationState::error(DictationManager::kRecognizerUnavailable)};
    QImage strip(area.width() * 2 * int(states.size()), area.height() * 2, QImage::Format_ARGB32);
    strip.fill(Qt::black);
    QPainter painter(&strip);
    for (std::size_t i = 0; i < states.size(); ++i) {
        header->updateMicButton(states[i]);
        ASSERT_TRUE(testsupport::waitForAnimationsToEnd({header}));
        QImage shot = testsupport::snapshot(content, area);
        shot.setDevicePixelRatio(1.0);
        painter.drawImage(int(i) * area.width() * 2, 0, shot);
    }
    painter.end();
    EXPECT_TRUE(strip.save(testsupport::artifactsDir() + QStringLiteral("/dictation-mic-button-states.png")));
}

} // namespace
