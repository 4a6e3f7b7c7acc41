#include "PaletteTestSupport.h"
#include "settings/SettingsDefaults.h"

namespace {

QStringList titles(const std::vector<PaletteCommand>& list) {
    QStringList out;
    for (const PaletteCommand& c : list) out << c.title;
    return out;
}

} // namespace

class PaletteCommands : public PaletteTest {
protected:
    void SetUp() override {
        PaletteTest::SetUp();
        defaults->registerDefaults(settings::defaultSettingsMap());
    }
    // Runs the command with that title from a freshly opened palette.
    void run(const QString& title) {
        CommandPaletteView* palette = open();
        for (const PaletteCommand& c : subsystem->paletteCommands())
            if (c.title == title) {
                palette->setup({c});
                type(title.left(1));
                press(Qt::Key_Return);
                return;
            }
        ADD_FAILURE() << "no command " << title.toStdString();
    }
};

TEST_F(PaletteCommands, FortyFourCommandsWithTheStoredValuesInTheirTitles) {
    defaults->setValue(QStringLiteral("windowOpacity"), 0.29);
    defaults->setValue(QStringLiteral("blurIntensity"), 0.5);
    defaults->setValue(QStringLiteral("terminalFontSize"), 12.9);
    defaults->setValue(QStringLiteral("promptTheme"), QStringLiteral("retro"));
    defaults->setValue(QStringLiteral("fontFamily"), 4);
    defaults->setValue(QStringLiteral("defaultShellIndex"), 1);
    defaults->setValue(QStringLiteral("alwaysOnTop"), false);
    const QStringList expected{"Quit",
                               "New Tab",
                               "Close Tab",
                               "Settings",
                               "Split Vertical",
                               "Split Horizontal",
                               "Reset Window",
                               "Always on Top (off)",
                               "Auto-Dim (off)",
                               "Clear",
                               "Hide",
                               "Fullscreen",
                               "Horizont",
                               "Defaultsize",
                               "Vertical",
                               "Left",
                               "Right",
                               "Cursor Block",
                               "Cursor Beam",
                               "Cursor Underline",
                               "Cursor Blink (on)",
                               "Kill Process",
                               "Reset TTY",
                               "Resetsystem",
                               "Opacity (28%)",
                               "Blur (50%)",
                               "Fontsize (12pt)",
                               "Theme (retro)",
                               "Font (System)",
                               "Shell (bash)",
                               "Syntax Highlighting (on)",
                               "Copy on Select (on)",
                               "Hide on Click Outside (off)",
                               "Hide on Deactivate (off)",
                               "Launch at Login (off)",
                               "Search",
                               "Perf",
                               "Parser",
                               "Check for Updates",
                               "Install Update",
                               "Auto-Check Updates (on)",
                               "Bell Notification (on)",
                               "WebPicker",
                               "Git"};
    EXPECT_EQ(titles(subsystem->paletteCommands()), expected);

    // The list is built afresh: a changed setting and a found release show at the next opening.
    defaults->setValue(QStringLiteral("windowOpacity"), 0.85);
    host->releaseTag = QStringLiteral("v2.0.0");
    const QStringList again = titles(subsystem->paletteCommands());
    EXPECT_EQ(again[24], QStringLiteral("Opacity (85%)"));
    EXPECT_EQ(again[39], QStringLiteral("Install Update (v2.0.0)"));
}

TEST_F(PaletteCommands, EachCommandCallsItsOperation) {
    const std::vector<std::pair<QString, QString>> cases{
        {"Quit", "quit"},
        {"New Tab", "newTab"},
        {"Close Tab", "closeTab"},
        {"Settings", "toggleSettings"},
        {"Split Vertical", "splitSideBySide"},
        {"Split Horizontal", "splitStacked"},
        {"Reset Window", "resetWindowSize"},
        {"Defaultsize", "resetWindowSize"},
        {"Hide", "toggleWindow"},
        {"Fullscreen", "toggleFullscreen"},
        {"Horizont", "toggleHorizont"},
        {"Vertical", "toggleVertical"},
        {"Left", "snapLeft"},
        {"Right", "snapRight"},
        {"Cursor Block", "setCursorStyle 2"},
        {"Cursor Beam", "setCursorStyle 1"},
        {"Cursor Underline", "setCursorStyle 0"},
        {"Check for Updates", "manualCheckForUpdate"},
        {"Install Update", "installPendingUpdate"},
        {"WebPicker", "toggleWebPicker"},
        {"Git", "toggleGitPanel"},
    };
    for (const auto& [title, call] : cases) {
        SCOPED_TRACE(title.toStdString());
        host->calls.clear();
        run(title);
        EXPECT_EQ(host->calls.value(0), call);
        ASSERT_TRUE(waitClosed());
    }
}

TEST_F(PaletteCommands, SettingCommandsAskInThePalette) {
    defaults->setValue(QStringLiteral("windowOpacity"), 0.85);
    const std::vector<std::pair<QString, QString>> cases{
        {"Always on Top (on)", "Always on Top? (on) [on/off]"},
        {"Opacity (85%)", "Opacity? (85%) [30-100]"},
        {"Fontsize (10pt)", "Fontsize? (10pt) [8-18]"},
        {"Font (Fira Code)", "Font? (Fira Code) [Fira Code, JetBrains Mono, Monocraft, Iosevka Thin]"},
        {"Shell (zsh)", "Shell? (zsh) [zsh, bash, sh]"},
        {"Resetsystem", "Sure? (y/n)"},
        {"Search", "Search scrollback..."},
    };
    for (const auto& [title, prompt] : cases) {
        SCOPED_TRACE(title.toStdString());
        run(title);
        CommandPaletteView* palette = subsystem->commandPalette();
        ASSERT_NE(palette, nullptr);
        EXPECT_FALSE(palette->isDismissing()) << "the palette stays open for the answer";
        const QString shown =
            palette->marqueeLabel() ? palette->marqueeFullText() : palette->searchField()->placeholderText();
        EXPECT_EQ(shown, prompt);
        press(Qt::Key_Escape);
        ASSERT_TRUE(waitClosed());
    }
    EXPECT_TRUE(host->applied.isEmpty()) << "Escape abandons a prompt";
}

TEST_F(PaletteCommands, TerminalCommandsDoNothingOnAnEditorTab) {
    host->terminal = nullptr;
    for (const QString& title :
         {QStringLiteral("Clear"), QStringLiteral("Kill Process"), QStringLiteral("Reset TTY")}) {
        host->calls.clear();
        run(title);
        ASSERT_TRUE(waitClosed());
        EXPECT_EQ(host->calls, QStringList{QStringLiteral("activateAfterSnap")});
    }
}
