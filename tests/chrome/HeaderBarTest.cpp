#include "ChromeTestSupport.h"
#include "chrome/ChromeController.h"
#include "chrome/HeaderBarView.h"
#include "chrome/HorizontalScrollArea.h"
#include "chrome/HoverButton.h"
#include "chrome/SplitIconButton.h"
#include "chrome/SymbolHoverButton.h"
#include "localisation/LanguageNotifier.h"
#include "localisation/Loc.h"
#include "localisation/LocBinding.h"

#include <QDragEnterEvent>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace chrometest;

namespace {

struct FakeController : ChromeController {
    bool detached = false;
    int quitRequests = 0;
    bool isWindowDetached() const override { return detached; }
    void handleQuitRequest() override { ++quitRequests; }
};

struct FakeDictation : DictationControl {
    DictationState current;
    QStringList calls;
    DictationState state() const override { return current; }
    void start() override { calls << QStringLiteral("start"); }
    void stopAndCommit() override { calls << QStringLiteral("stop"); }
};

// A header in a window of its own, as the controller places it.
struct HeaderFixture {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    HeaderBarView* header = new HeaderBarView(window.get());
    HeaderFixture(int width = 900) {
        window->resize(width, 400);
        header->setGeometry(0, 0, width, HeaderBarView::barHeight);
        window->show();
    }
};

QStringList shownNames(const HeaderBarView& h) {
    QStringList out;
    for (QWidget* b : h.toolButtons())
        if (!b->isHidden()) out << b->accessibleName();
    return out;
}

} // namespace

TEST(HeaderBar, ButtonSetSwapsBetweenTerminalAndEditorTabs) {
    HeaderFixture f;
    HeaderBarView& h = *f.header;
    const QStringList terminal{"Split Vertically",         "Split Horizontally", "GIT", "</>", "SSH",
                               QStringLiteral("Push-to-Talk Dictation (hold Right Ctrl)")};
    EXPECT_EQ(shownNames(h), terminal);

    h.setFileButtonsVisible(true);
    // The file buttons name the chords that work here.
    EXPECT_EQ(shownNames(h), (QStringList{QStringLiteral("Push-to-Talk Dictation (hold Right Ctrl)"), qs(Loc::tooltipOpenFile()),
                                          qs(Loc::tooltipSave()) + QStringLiteral(" (Ctrl+Shift+S)"),
                                          qs(Loc::tooltipSaveAs()) + QStringLiteral(" (Ctrl+Shift+Alt+S)")}));
    h.setPreviewButtonVisible(true);
    EXPECT_FALSE(h.previewButton()->isHidden());
    // Back on a terminal tab the preview button goes too, even though it was shown.
    h.setFileButtonsVisible(false);
    EXPECT_EQ(shownNames(h), terminal);
    EXPECT_FALSE(h.addButton()->isHidden());

    // Hidden buttons take no room: the row ends 6 pixels before "+", 4 pixels apart.
    const QRect add = h.addButton()->frame();
    EXPECT_EQ(add, QRect(900 - 12 - 24, 5, 24, 24));
    EXPECT_EQ(h.micButton()->frame().right() + 1, add.left() - 6);
    EXPECT_EQ(h.sshButton()->frame().right() + 1 + 4, h.micButton()->frame().left());
    EXPECT_EQ(h.tabScrollView()->geometry().right() + 1 + 4, h.splitVButton()->frame().left());
}

TEST(HeaderBar, SplitAndToggleStates) {
    HeaderFixture f;
    HeaderBarView& h = *f.header;
    struct Case {
        bool vertical, active, expectV, expectH;
    };
    for (const Case& c :
         {Case{false, true, false, true}, Case{true, false, false, false}, Case{true, true, true, false}}) {
        h.setSplitActive(c.vertical, c.active);
        EXPECT_EQ(h.splitVButton()->isActive(), c.expectV);
        EXPECT_EQ(h.splitHButton()->isActive(), c.expectH);
    }
    h.resetSplitButtons();
    EXPECT_FALSE(h.splitVButton()->isActive());
    h.setGitActive(true);
    h.setSSHActive(true);
    h.setWebPickerActive(false);
    EXPECT_TRUE(h.gitButton()->isActive());
    EXPECT_TRUE(h.sshButton()->isActive());
    EXPECT_FALSE(h.webPickerButton()->isActive());

    h.setPreviewActive(true);
    EXPECT_TRUE(h.previewButton()->isActive());
    EXPECT_EQ(h.previewButton()->toolTip(), qs(Loc::tooltipClosePreview()));
    h.setPreviewActive(false);
    EXPECT_EQ(h.previewButton()->toolTip(), qs(Loc::tooltipTogglePreview()));
}

TEST(HeaderBar, ButtonsRunTheirCallbacks) {
    HeaderFixture f;
    HeaderBarView& h = *f.header;
    QStringList ran;
    h.onSplitVertical = [&] { ran << "splitV"; };
    h.onSplitHorizontal = [&] { ran << "splitH"; };
    h.onGitToggle = [&] { ran << "git"; };
    h.onWebPickerToggle = [&] { ran << "picker"; };
    h.onSSHToggle = [&] { ran << "ssh"; };
    h.onFileOpen = [&] { ran << "open"; };
    for (QWidget* b : QList<QWidget*>{h.splitVButton(), h.splitHButton(), h.gitButton(), h.webPickerButton(),
                                      h.sshButton(), h.fileOpenButton()})
        click(b);
    EXPECT_EQ(ran, (QStringList{"splitV", "splitH", "git", "picker", "ssh", "open"}));
    // Unset callbacks do nothing.
    click(h.fileSaveButton());
}

TEST(HeaderBar, NewTabMenuOffersTerminalAndEditor) {
    HeaderFixture f;
    HeaderBarView& h = *f.header;
    int terminals = 0, editors = 0;
    h.onAddTab = [&] { ++terminals; };
    h.onAddEditorTab = [&] { ++editors; };
    click(h.addButton());
    QMenu* menu = h.newTabMenu();
    ASSERT_NE(menu, nullptr);
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 2);
    EXPECT_EQ(actions[0]->text(), qs(Loc::newTabMenuTerminal()));
    EXPECT_EQ(actions[1]->text(), qs(Loc::newTabMenuEditor()));
    actions[1]->trigger();
    actions[0]->trigger();
    EXPECT_EQ(terminals, 1);
    EXPECT_EQ(editors, 1);
    menu->close();
}

TEST(HeaderBar, MicrophoneShowsTheDictationState) {
    HeaderFixture f;
    HeaderBarView& h = *f.header;
    using K = DictationState::Kind;
    struct Case {
        DictationState state;
        const char* symbol;
        QColor tint;
    };
    const QColor normal = h.micButton()->normalColor();
    for (const Case& c :
         {Case{DictationState::idle(), "mic", normal}, Case{DictationState::of(K::requesting), "mic", normal},
          Case{DictationState::of(K::starting), "mic.fill", chrome::systemRed()},
          Case{DictationState::of(K::listening), "mic.fill", chrome::systemRed()},
          Case{DictationState::of(K::transcribing), "mic.fill", chrome::systemRed()},
          Case{DictationState::of(K::stopping), "mic", normal},
          Case{DictationState::error("no microphone"), "mic.slash", chrome::systemOrange()}}) {
        h.updateMicButton(c.state);
        EXPECT_EQ(h.micButton()->symbolName(), QLatin1String(c.symbol));
        EXPECT_EQ(h.micButton()->tint(), c.tint);
    }
}

TEST(HeaderBar, MicrophoneClickStartsFromRestAndFromAFailure) {
    HeaderFixture f;
    HeaderBarView& h = *f.header;
    click(h.micButton()); // no dictation manager: nothing happens

    FakeDictation dictation;
    DictationControl::install(&dictation);
    using K = DictationState::Kind;
    struct Case {
        DictationState state;
        const char* call;
    };
    // After a failure stopping does nothing, so the button starts dictation again there.
    for (const Case& c :
         {Case{DictationState::idle(), "start"}, Case{DictationState::error("denied"), "start"},
          Case{DictationState::of(K::requesting), "stop"}, Case{DictationState::of(K::starting), "stop"},
          Case{DictationState::of(K::listening), "stop"}, Case{DictationState::of(K::transcribing), "stop"},
          Case{DictationState::of(K::stopping), "stop"}}) {
        dictation.calls.clear();
        dictation.current = c.state;
        click(h.micButton());
        EXPECT_EQ(dictation.calls, QStringList{QLatin1String(c.call)}) << static_cast<int>(c.state.kind);
    }
    DictationControl::install(nullptr);
}

TEST(HeaderBar, FileDropsReportTheFirstExistingFileOnly) {
    HeaderFixture f;
    HeaderBarView& h = *f.header;
    QList<QUrl> dropped;
    h.onFileDropped = [&](const QUrl& u) { dropped << u; };
    QTemporaryDir dir;
    const QString a = dir.filePath("a.txt"), b = dir.filePath("b.md");
    for (const QString& path : {a, b}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    auto drop = [&](QMimeData* mime) {
        QDragEnterEvent enterEvent(QPoint(100, 10), Qt::CopyAction | Qt::MoveAction, mime, Qt::LeftButton,
                                   {});
        QApplication::sendEvent(&h, &enterEvent);
        const bool accepted = enterEvent.isAccepted();
        const bool highlighted = h.dropHighlight();
        QDropEvent dropEvent(QPointF(100, 10), Qt::CopyAction | Qt::MoveAction, mime, Qt::LeftButton, {});
        QApplication::sendEvent(&h, &dropEvent);
        EXPECT_FALSE(h.dropHighlight());
        return std::make_pair(accepted, highlighted);
    };

    QMimeData text;
    text.setText(QStringLiteral("just words"));
    EXPECT_EQ(drop(&text), std::make_pair(false, false));

    QMimeData two;
    two.setUrls({QUrl::fromLocalFile(a), QUrl::fromLocalFile(b)});
    EXPECT_EQ(drop(&two), std::make_pair(true, true));
    QMimeData folder;
    folder.setUrls({QUrl::fromLocalFile(dir.path())});
    drop(&folder);
    QMimeData missing;
    missing.setUrls({QUrl::fromLocalFile(dir.filePath("gone.txt"))});
    drop(&missing);
    EXPECT_EQ(dropped, QList<QUrl>{QUrl::fromLocalFile(a)});

    // Leaving takes the highlight away.
    QDragEnterEvent enterEvent(QPoint(100, 10), Qt::CopyAction, &two, Qt::LeftButton, {});
    QApplication::sendEvent(&h, &enterEvent);
    EXPECT_TRUE(h.dropHighlight());
    QDragLeaveEvent leaveEvent;
    QApplication::sendEvent(&h, &leaveEvent);
    EXPECT_FALSE(h.dropHighlight());
}

TEST(HeaderBar, BackgroundDragMovesOnlyADetachedWindow) {
    HeaderFixture f;
    HeaderBarView& h = *f.header;
    FakeController controller;
    ChromeController::install(&controller);
    const QPoint start = f.window->geometry().topLeft();
    const QPointF grab(300, 15);
    const QPointF grabGlobal = h.mapToGlobal(grab);

    press(&h, grab);
    mouse(&h, QEvent::MouseMove, grab + QPointF(40, 30), Qt::LeftButton, grabGlobal + QPointF(40, 30));
    release(&h, grab);
    EXPECT_EQ(f.window->geometry().topLeft(), start);

    controller.detached = true;
    press(&h, grab);
    mouse(&h, QEvent::MouseMove, grab + QPointF(40, 30), Qt::LeftButton, grabGlobal + QPointF(40, 30));
    EXPECT_EQ(f.window->geometry().topLeft(), start + QPoint(40, 30));
    ChromeController::install(nullptr);
}

TEST(HeaderBar, DoubleClickOnTheBackgroundAndEdgeStrips) {
    HeaderFixture f;
    HeaderBarView& h = *f.header;
    int doubles = 0;
    h.onDoubleClick = [&] { ++doubles; };
    mouse(&h, QEvent::MouseButtonDblClick, {300, 15});
    EXPECT_EQ(doubles, 1);
    // A third click arrives as a plain press.
    press(&h, {300, 15});
    EXPECT_EQ(doubles, 1);

    // Near either end the press belongs to the window's resize handling.
    for (QPointF p : {QPointF(4, 15), QPointF(895, 15)}) {
        QWidget* target = f.window->childAt(p.toPoint());
        ASSERT_NE(target, nullptr);
        EXPECT_EQ(target->cursor().shape(), Qt::SizeHorCursor);
        EXPECT_FALSE(mouse(&h, QEvent::MouseButtonPress, p));
    }
    EXPECT_TRUE(mouse(&h, QEvent::MouseButtonPress, {300, 15}));
}

TEST(HeaderBar, RelabelsWhenTheLanguageChanges) {
    std::string stored = "en";
    Loc::setEnvironment({[&] { return stored; }, [&](const std::string& c) { stored = c; },
                         [] { return std::vector<std::string>{"en"}; }});
    HeaderFixture f;
    HeaderBarView& h = *f.header;
    stored = "de";
    LanguageNotifier::shared().post();
    LanguageNotifier::shared().post(); // the settings panel announces twice; relabelling is idempotent
    EXPECT_EQ(h.micButton()->toolTip(), QStringLiteral("Push-to-Talk-Diktat (Right Ctrl gedrückt halten)"));
    // The key the user chose is named, in the language shown.
    h.setPushToTalkKeyName(QStringLiteral("F13"));
    EXPECT_EQ(h.micButton()->toolTip(), QStringLiteral("Push-to-Talk-Diktat (F13 gedrückt halten)"));
    EXPECT_EQ(h.fileSaveButton()->toolTip(), QStringLiteral("Sichern (Ctrl+Shift+S)"));
    EXPECT_EQ(h.previewButton()->toolTip(), qs(Loc::tooltipTogglePreview()));
    Loc::setEnvironment({});
}
