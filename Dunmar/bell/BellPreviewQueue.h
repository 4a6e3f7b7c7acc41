#pragma once

#include "bell/BellPreviewItem.h"
#include "bell/BellPreviewPanel.h"

#include <QObject>
#include <QPointer>
#include <QSet>
#include <deque>
#include <optional>

class BellHost;
class BellPane;
class DesktopNotifications;

// The previews of ringing background tabs: queued in the order of their bells, shown one at a time
// in a panel under the header, each posted as a desktop notification too while the window cannot
// be seen. Items belong to their pane, not to a tab position: a pane that goes away takes its items
// with it, and a tab that moves keeps its items with their names renumbered. Each pane has at most
// one item waiting (the newest) besides the one on show, and at most kMaxItems wait in all, so a
// program that rings forever cannot fill the queue. Main thread only.
class BellPreviewQueue : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxItems = 16;
    static constexpr int kShowMs = 200;
    static constexpr int kDismissMs = 150;

    explicit BellPreviewQueue(DesktopNotifications& notifications, QObject* parent = nullptr);
    ~BellPreviewQueue() override;

    void setHost(BellHost* host);

    // The name of tab `index`: its custom name, else "Tab <index + 1>".
    static QString tabName(const BellHost& host, int index);
    // The preview of `pane`, the primary pane of tab `tabIndex`, as its screen reads now.
    static BellPreviewItem makeItem(const BellHost& host, int tabIndex, BellPane& pane);

    // Queues a preview of `pane`'s bell; posts it as a notification while the window is hidden
    // or on another desktop; shows it when no panel is on show.
    void enqueue(int tabIndex, BellPane& pane);
    void enqueue(BellPreviewItem item);
    // Shows the first queued item when there is one and no panel is on show or closing.
    void showNext();
    // Closes the panel on show; with `reply`, first writes it and a carriage return to its shell.
    void dismiss(const std::optional<QString>& reply = std::nullopt);

    // The pane closed (its tab closed, or it left a split): its items go; its panel, if on show,
    // is dismissed without writing anything.
    void paneClosed(const BellPane* pane);
    // The tabs were reordered or renamed: items take the name of their tab's new place, and
    // items whose pane no longer heads a tab go.
    void tabsReordered();

    const std::deque<BellPreviewItem>& items() const { return items_; }
    BellPreviewPanel* panel() const { return panel_; }
    // The panel on its way out, while its closing animation runs.
    BellPreviewPanel* closingPanel() const { return closing_; }
    int panelHeight() const { return panelHeight_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void deliverNotification(const BellPreviewItem& item);
    void watch(const BellPreviewItem& item);
    void removeWaiting(const std::function<bool(const BellPreviewItem&)>& drop);
    bool isFrontOnShow() const { return panel_ != nullptr && !items_.empty(); }

    DesktopNotifications& notifications_;
    BellHost* host_ = nullptr;
    std::deque<BellPreviewItem> items_;
    QPointer<BellPreviewPanel> panel_;
    QPointer<BellPreviewPanel> closing_;
    QPointer<QWidget> parent_;
    int panelHeight_ = 0;
    QSet<QObject*> watched_;
};
