#pragma once

#include <QString>

// What the settings panel and the reset to defaults need of the rest of the program. The
// application controller implements it and hands it to every panel it builds; the settings layer
// never includes the controller's headers. Everything is called on the main thread.
class SettingsHost {
public:
    virtual ~SettingsHost() = default;

    // --- Used by the panel -------------------------------------------------------------------

    // Shows colour theme `index` (0 dark, 1 light, 2 OLED black, 3 the desktop's, anything else
    // dark) on every terminal without storing it. The colour-theme row calls it when the pointer
    // enters a chip and again with the stored index when the pointer leaves.
    virtual void previewTheme(int index) = 0;

    // Whether the AI command-line tool's sign-in token can be read; asked once per panel.
    virtual bool hasAIUsageToken() const = 0;

    // Starts streaming to a remote viewer, registering with `pairingCode`; and stops it.
    virtual void startRemoteStreaming(const QString& pairingCode) = 0;
    virtual void stopRemoteStreaming() = 0;

    // Plays the bell sound with the status-icon flash, without cooldown, tab mark or
    // notification, and only while the bell is enabled ("bellEnabled", absent counts as on).
    virtual void ringBellForTest() = 0;
    // Loads the sound named by the stored "bellSoundName".
    virtual void reloadBellSound() = 0;

    // Tells the user of a failure that left a setting other than they asked (for example a
    // launch-at-login entry that could not be written). A toast is enough.
    virtual void showSettingsMessage(const QString& text) = 0;

    // --- Used by the reset to defaults, in this order --------------------------------------
    // `settings::resetToDefaults` has already emptied the configuration folder, removed the
    // launch-at-login entry and rewritten every setting when the second step runs.

    // Deletes the stored code-hosting token (the keychain item "oauth-token"); a missing one is
    // not an error.
    virtual void deleteCodeHostingToken() = 0;

    // Unsplits every split tab, hanging up the shell of each second pane first, then empties the
    // scrollback and screen of every remaining terminal.
    virtual void resetPanes() = 0;

    // Closes every tab but the first, hanging up their shells, and makes the first tab active and
    // shown. Editor tabs with unsaved changes are NOT closed and never asked about: the user's
    // work survives a reset. All per-tab state of a closed tab goes with it.
    virtual void closeTabsForReset() = 0;

    // When the first tab is a terminal: hangs up its shell and starts a fresh default shell in the
    // same view.
    virtual void restartFirstShell() = 0;

    // Returns the running window to its first-start state: window opacity 0.99, background 0.96,
    // kept above other windows, cursor style 0 and font size 10 on every terminal, an 860 × 480
    // frame under the tray icon (animated) and its mask. An installed click-outside monitor is
    // removed and none is installed: the reset has turned "hideOnClickOutside" off, and a window
    // that still hid on outside clicks would contradict the switch the user sees.
    virtual void resetWindow() = 0;

    // Refreshes the header and footer and closes the settings panel.
    virtual void finishReset() = 0;
};
