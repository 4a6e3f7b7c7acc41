#include "bell/BellPreviewQueue.h"

#include "bell/BellHost.h"
#include "bell/BellPane.h"
#include "bell/BellPreviewPanel.h"
#include "bell/DesktopNotifications.h"
#include "chrome/ChromeAnimation.h"
#include "localisation/Loc.h"
#include "localisation/LocBinding.h"

#include <QEvent>
#include <QWidget>
#include <algorithm>

BellPreviewQueue::BellPreviewQueue(DesktopNotifications& notifications, QObject* parent)
    : QObject(parent), notifications_(notifications) {}

BellPreviewQueue::~BellPreviewQueue() {
    // The panels live in the window, but their callbacks lead here.
    delete panel_.data();
    delete closing_.data();
    if (parent_) parent_->removeEventFilter(this);
}

void BellPreviewQueue::setHost(BellHost* host) {
    host_ = host;
}

QString BellPreviewQueue::tabName(const BellHost& host, int index) {
    const QString shown = host.tabShownName(index);
    if (!shown.isEmpty()) return shown;
    return QStringLiteral("Tab ") + QString::number(index + 1);
}

BellPreviewItem BellPreviewQueue::makeItem(const BellHost& host, int tabIndex, BellPane& pane) {
    BellPreviewItem item;
    item.pane = BellPaneRef(&pane);
    item.tabName = tabName(host, tabIndex);
    item.lines = pane.lastScreenLines(BellPreviewItem::kLineCount);
    if (const std::optional<ParsedOptions> parsed = parseOptions(item.lines)) {
        item.options = parsed->options;
        item.currentHighlightedIndex = parsed->highlighted;
    }
    item.appCursorMode = pane.applicationCursorMode();
    return item;
}

void BellPreviewQueue::enqueue(int tabIndex, BellPane& pane) {
    if (!host_) return;
    enqueue(makeItem(*host_, tabIndex, pane));
}

void BellPreviewQueue::enqueue(BellPreviewItem item) {
    BellPane* pane = item.pane.get();
    if (!pane) return;

    // The item on show is being answered; a newer bell of its pane waits behind it, in the one
    // waiting place the pane has.
    const std::size_t firstWaiting = isFrontOnShow() ? 1 : 0;
    const auto waiting =
        std::find_if(items_.begin() + std::ptrdiff_t(firstWaiting), items_.end(),
                     [pane](const BellPreviewItem& queued) { return queued.pane.isSame(pane); });
    if (waiting != items_.end()) {
        *waiting = item;
    } else {
        if (items_.size() >= std::size_t(kMaxItems))
            items_.erase(items_.begin() + std::ptrdiff_t(firstWaiting));
        items_.push_back(item);
    }
    watch(item);

    if (host_ && (!host_->isWindowVisible() || !host_->isWindowOnCurrentDesktop())) deliverNotification(item);
    showNext();
}

void BellPreviewQueue::deliverNotification(const BellPreviewItem& item) {
    BellPane* pane = item.pane.get();
    if (!pane) return;
    QString body;
    for (auto line = item.lines.crbegin(); line != item.lines.crend(); ++line) {
        if (!line->isEmpty()) {
            body = *line;
            break;
        }
    }
    if (body.isEmpty()) body = qs(Loc::inputRequired());
    // Keyed by the pane: a newer preview of the same pane replaces the older notification, and two
    // tabs never share one, whatever their positions.
    const QString key = QStringLiteral("bell-") + pane->bellPaneId();
    QPointer<BellPreviewQueue> self(this);
    BellPaneRef ref = item.pane;
    notifications_.post(QStringLiteral("\u25CF ") + item.tabName, body, key, [self, ref] {
        if (self && self->host_) self->host_->showWindowForNotification(ref.get());
    });
}

void BellPreviewQueue::watch(const BellPreviewItem& item) {
    QObject* anchor = item.pane.anchor();
    if (!anchor || watched_.contains(anchor)) return;
    watched_.insert(anchor);
    const BellPane* identity = item.pane.identity();
    connect(anchor, &QObject::destroyed, this, [this, anchor, identity] {
        watched_.remove(anchor);
        paneClosed(identity);
    });
}

void BellPreviewQueue::showNext() {
    if (items_.empty() || panel_ || closing_ || !host_) return;
    QWidget* parent = host_->bellPreviewParent();
    if (!parent) return; // stays queued until there is a window to show it in

    const BellPreviewItem& item = items_.front();
    auto* panel = new BellPreviewPanel(item, parent);
    panel_ = panel;
    if (parent_ != parent) {
        if (parent_) parent_->removeEventFilter(this);
        parent_ = parent;
        parent->installEventFilter(this);
    }
    panelHeight_ = panel->fullHeight();
    panel->onSubmit = [this](const QString& text) { dismiss(text); };
    panel->onDismiss = [this] { dismiss(); };
    panel->onArrow = [this](const QByteArray& sequence) {
        if (!items_.empty()) items_.front().writePTY(sequence);
    };

    panel->setGeometry(0, host_->bellPreviewTop(), parent->width(), 0);
    panel->show();
    panel->raise();
    host_->bellPreviewHeightChanged(panelHeight_, kShowMs, chrome::easeOutCurve());
    panel->animateOpen(kShowMs, chrome::easeOutCurve());
    panel->focusReplyField();
}

void BellPreviewQueue::dismiss(const std::optional<QString>& reply) {
    if (!panel_) return;
    BellPreviewPanel* panel = panel_;
    panel_ = nullptr;
    closing_ = panel;
    if (!items_.empty()) {
        if (reply) items_.front().writePTY(reply->toUtf8() + '\r');
        items_.pop_front();
    }
    panelHeight_ = 0;
    if (host_) host_->bellPreviewHeightChanged(0, kDismissMs, chrome::easeInCurve());
    panel->animateClose(kDismissMs, chrome::easeInCurve(), [this, panel] {
        panel->deleteLater();
        if (closing_ == panel) closing_ = nullptr;
        if (host_) host_->focusActiveTerminal();
        // A bell that came during the slide-out waited for it; the next panel opens now.
        showNext();
    });
}

void BellPreviewQueue::removeWaiting(const std::function<bool(const BellPreviewItem&)>& drop) {
    const std::size_t firstWaiting = isFrontOnShow() ? 1 : 0;
    items_.erase(std::remove_if(items_.begin() + std::ptrdiff_t(firstWaiting), items_.end(), drop),
                 items_.end());
}

void BellPreviewQueue::paneClosed(const BellPane* pane) {
    if (!pane) return;
    if (isFrontOnShow() && items_.front().pane.isSame(pane)) dismiss();
    removeWaiting([pane](const BellPreviewItem& item) { return item.pane.isSame(pane); });
}

void BellPreviewQueue::tabsReordered() {
    if (!host_) return;
    QSet<const BellPane*> gone;
    for (BellPreviewItem& item : items_) {
        BellPane* pane = item.pane.get();
        const std::optional<int> index = pane ? host_->tabIndexOfPrimaryPane(*pane) : std::nullopt;
        if (index)
            item.tabName = tabName(*host_, *index);
        else
            gone.insert(item.pane.identity());
    }
    for (const BellPane* pane : gone) paneClosed(pane);
    if (panel_ && !items_.empty()) panel_->setTabName(items_.front().tabName);
}

bool BellPreviewQueue::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent_ && event->type() == QEvent::Resize && host_) {
        for (BellPreviewPanel* panel : {panel_.data(), closing_.data()}) {
            if (panel) panel->setGeometry(0, host_->bellPreviewTop(), parent_->width(), panel->height());
        }
    }
    return QObject::eventFilter(watched, event);
}
