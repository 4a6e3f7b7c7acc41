#pragma once

#include "chrome/EditorInputMode.h"
#include "chrome/UsageBadge.h"

#include <QList>
#include <QPointer>
#include <QWidget>
#include <optional>
#include <functional>

class BadgeButton;
class EdgeStrip;
class GearButton;
class HorizontalScrollArea;
class QuitButton;
class ShellButton;
class SymbolHoverButton;

// The strip at the bottom of the window: the usage badge and the shell or editor-mode buttons on
// the left; the shortcut badges, print, format, settings and quit on the right. Each group scrolls
// sideways when the window is too narrow; the right group keeps the quit button in view.
class FooterBarView : public QWidget {
    Q_OBJECT
public:
    static constexpr int barHeight = 44;
    static constexpr int kEdge = 10;

    explicit FooterBarView(QWidget* parent = nullptr);

    std::function<void(int)> onSwitchShell;
    std::function<void(EditorInputMode)> onEditorModeChange;
    std::function<void()> onSettings;
    std::function<void()> onNewTab;
    std::function<void()> onNewEditorTab;
    std::function<void()> onCloseTab;
    std::function<void()> onSplitV;
    std::function<void()> onSplitH;
    std::function<void()> onToggleWindow;
    std::function<void()> onSwitchSplitPane;
    std::function<void()> onPrevTab; // kept for the controller; no footer control runs it
    std::function<void()> onNextTab; // likewise
    std::function<void()> onPrint;
    std::function<void()> onFormatDocument;
    std::function<void()> onUsageBadgeClick;

    // The shell paths the three shell buttons stand for, in order.
    static const QStringList& shellPaths();

    using QWidget::update;
    // Marks the button of the running shell; a path outside the table marks none.
    void update(const QString& shell, qint32 pid);
    // True for an editor tab: the editor-mode and format buttons instead of the shell buttons and the
    // terminal-only shortcuts.
    void setEditorMode(bool editor);
    void setActiveEditorMode(EditorInputMode mode);

    // The usage monitor's badge; the footer takes it over, sets its onClick and shows it while
    // "showAIUsage" is on. Replaces an earlier one.
    void setUsageBadge(UsageBadge* badge);
    UsageBadge* usageBadge() const { return usageBadge_; }
    // Reads "showAIUsage" again and shows or hides the badge.
    void refreshUsageBadgeVisibility();

    // True where a press belongs to the window's resize handling rather than the bar.
    bool passesThrough(const QPointF& point) const;

    // Read access for the owner and for tests.
    const QList<ShellButton*>& shellButtons() const { return shellButtons_; }
    const QList<ShellButton*>& editorModeButtons() const { return editorModeButtons_; }
    BadgeButton* toggleBadge() const { return toggleBadge_; }
    const QList<BadgeButton*>& tabShortcutBadges() const { return tabShortcutBadges_; }
    SymbolHoverButton* printerButton() const { return printerBtn_; }
    SymbolHoverButton* formatButton() const { return formatBtn_; }
    GearButton* gearButton() const { return gearBtn_; }
    QuitButton* quitButton() const { return quitBtn_; }
    HorizontalScrollArea* leftScroll() const { return linksScroll_; }
    HorizontalScrollArea* rightScroll() const { return rechtsScroll_; }
    QWidget* leftContent() const { return linksContent_; }
    QWidget* rightContent() const { return rechtsContent_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What setEditorMode last showed; the controller repeats it every two seconds.
    std::optional<bool> editorMode_;
    void build();
    void layoutBar();
    void runCallback(std::function<void()> FooterBarView::*callback);

    QList<ShellButton*> shellButtons_;
    QList<ShellButton*> editorModeButtons_;
    BadgeButton* toggleBadge_ = nullptr;
    QList<BadgeButton*> tabShortcutBadges_;
    GearButton* gearBtn_ = nullptr;
    QuitButton* quitBtn_ = nullptr;
    SymbolHoverButton* printerBtn_ = nullptr;
    SymbolHoverButton* formatBtn_ = nullptr;
    QPointer<UsageBadge> usageBadge_;
    HorizontalScrollArea* linksScroll_ = nullptr;
    QWidget* linksContent_ = nullptr;
    HorizontalScrollArea* rechtsScroll_ = nullptr;
    QWidget* rechtsContent_ = nullptr;
    QList<EdgeStrip*> edgeStrips_;
};
