#pragma once

#include <QString>
#include <optional>

// What the dictation manager needs of the controller: a look at the active tab when a session
// starts, and the two places its text can go. The controller implements it; the manager never
// sees tabs, panes or editors themselves.
class DictationHost {
public:
    virtual ~DictationHost() = default;

    // The active tab as the session's target is chosen from it.
    struct ActiveTab {
        int index = -1;
        bool isEditor = false;
        // Editor tabs: whether the tab has its editor view.
        bool hasEditorView = false;
        // Terminal tabs: the `tabId` of the focused pane (the second pane when it has the keyboard,
        // else the first); none when the tab has no pane container.
        std::optional<QString> focusedPaneTabId;
    };
    // None when the active index is not below the number of tabs.
    virtual std::optional<ActiveTab> activeTab() const = 0;

    // Whether the window that holds the panes and editors is on the screen. Text is never typed
    // into a hidden window: the user cannot see where it lands, nor that it landed at all.
    virtual bool isShown() const = 0;

    // Pastes `text` into the first pane, in tab order (each tab's first pane, then its second),
    // whose `tabId` is `tabId`; nothing when no pane has it any more.
    virtual void pasteIntoPane(const QString& tabId, const QString& text) = 0;
    // Inserts `text` at the selection of the editor of tab `tabIndex`, replacing the selection;
    // nothing when that tab has no editor view.
    virtual void insertIntoEditor(int tabIndex, const QString& text) = 0;

    // The two notices of this subsystem: no microphone to record from, and the one-time tip about
    // the push-to-talk key. Neither blocks: the session goes on while one is shown.
    virtual void showPermissionAlert() = 0;
    virtual void showPushToTalkTip() = 0;
};
