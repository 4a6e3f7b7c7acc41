// The column of side panels at the right of the window: the picker and the SSH manager shown and
// hidden, their order and heights, the column's width, and their move buttons.
#include "app/AppDelegate.h"
#include "app/ContentView.h"
#include "app/SidePanelStack.h"
#include "app/SidePanelViews.h"
#include "chrome/HeaderBarView.h"

#include <QGraphicsOpacityEffect>
#include <QPropertyAnimation>
#include <cmath>

namespace {

const QString kGit = QStringLiteral("git");
const QString kPicker = QStringLiteral("picker");
const QString kSSH = QStringLiteral("ssh");
constexpr int kDividerThickness = 4;

// Fades a panel's opacity; `done` runs at the end.
void fadePanel(QWidget* panel, double from, double to, int ms, std::function<void()> done = {}) {
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(panel->graphicsEffect());
    if (!effect) {
        effect = new QGraphicsOpacityEffect(panel);
        panel->setGraphicsEffect(effect);
    }
    effect->setOpacity(from);
    auto* animation = new QPropertyAnimation(effect, "opacity", panel);
    animation->setDuration(ms);
    animation->setStartValue(from);
    animation->setEndValue(to);
    QObject::connect(animation, &QPropertyAnimation::finished, panel, [done = std::move(done)] {
        if (done) done();
    });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

// The widget the side panels go into: the content view that holds the active tab's page.
QWidget* panelParent(const TabList& tabs) {
    const TabState* tab = tabs.active();
    QWidget* page = tab ? tab->page() : nullptr;
    return page ? page->parentWidget() : nullptr;
}

} // namespace

QStringList AppDelegate::visibleSidebarPanels() const {
    return sidepanels::visiblePanels(sidebarOrder_, [this](const QString& id) {
        if (id == kGit) {
            const TabState* tab = tabs_.active();
            return tab && tab->gitPosition == GitPanelPosition::right && tab->gitPanel;
        }
        if (id == kPicker) return !webPickerSidebarView_.isNull();
        if (id == kSSH) return !sshManagerView_.isNull();
        return false;
    });
}

void AppDelegate::toggleWebPicker() {
    if (webPickerSidebarView_)
        hideWebPickerSidebar();
    else
        showWebPickerSidebar();
}

void AppDelegate::showWebPickerSidebar() {
    QWidget* parent = panelParent(tabs_);
    if (!parent || webPickerSidebarView_) return;
    auto* panel = new WebPickerSidebarView(parent);
    const QPointer<AppDelegate> self(this);
    panel->onClose = [self] {
        if (self) self->toggleWebPicker();
    };
    panel->onConnected = [self] {
        // Once the browser is connected the window takes the right half of the screen.
        if (self) self->windowController_->snapping().snapRightFull();
    };
    panel->onMoveUp = [self] {
        if (self) self->moveSidebarPanel(kPicker, -1);
    };
    panel->onMoveDown = [self] {
        if (self) self->moveSidebarPanel(kPicker, 1);
    };
    webPickerSidebarView_ = panel;
    panel->show();
    fadePanel(panel, 0, 1, kSidePanelFadeInMs);
    layoutGitPanel();
    if (headerView_) headerView_->setWebPickerActive(true);
    panel->connect();
}

void AppDelegate::hideWebPickerSidebar() {
    WebPickerSidebarView* panel = webPickerSidebarView_;
    if (!panel || panel->property("closing").toBool()) return;
    panel->setProperty("closing", true);
    panel->disconnect();
    const QPointer<AppDelegate> self(this);
    fadePanel(panel, 1, 0, kSidePanelFadeOutMs, [self, panel] {
        panel->deleteLater();
        if (!self) return;
        self->webPickerSidebarView_ = nullptr;
        if (self->headerView_) self->headerView_->setWebPickerActive(false);
        self->layoutGitPanel();
    });
}

void AppDelegate::toggleSSHManager() {
    if (sshManagerView_)
        hideSSHManager();
    else
        showSSHManager();
}

void AppDelegate::showSSHManager() {
    QWidget* parent = panelParent(tabs_);
    if (!parent || sshManagerView_) return;
    auto* panel = new SSHManagerView(parent);
    const QPointer<AppDelegate> self(this);
    panel->onClose = [self] {
        if (self) self->hideSSHManager();
    };
    panel->onMoveUp = [self] {
        if (self) self->moveSidebarPanel(kSSH, -1);
    };
    panel->onMoveDown = [self] {
        if (self) self->moveSidebarPanel(kSSH, 1);
    };
    panel->onConnect = [self](const QString& command) {
        // The manager stays open.
        if (self) self->openSSHConnection(command);
    };
    sshManagerView_ = panel;
    panel->show();
    fadePanel(panel, 0, 1, kSidePanelFadeInMs);
    layoutGitPanel();
    if (headerView_) headerView_->setSSHActive(true);
}

void AppDelegate::hideSSHManager() {
    SSHManagerView* panel = sshManagerView_;
    if (!panel || panel->property("closing").toBool()) return;
    panel->setProperty("closing", true);
    const QPointer<AppDelegate> self(this);
    fadePanel(panel, 1, 0, kSidePanelFadeOutMs, [self, panel] {
        panel->deleteLater();
        if (!self) return;
        self->sshManagerView_ = nullptr;
        if (self->headerView_) self->headerView_->setSSHActive(false);
        self->layoutGitPanel();
    });
}

void AppDelegate::openSSHConnection(const QString& connectCommand) {
    addTab();
    const TabState* tab = tabs_.active();
    if (!tab || !tab->termView) return;
    // The command goes to the tab made for it, even when another tab is on show by the time the
    // shell is ready for it.
    const QPointer<TerminalView> view = tab->termView;
    QTimer::singleShot(kSSHCommandDelayMs, this, [view, connectCommand] {
        if (view) view->writePTY(connectCommand + QLatin1Char('\n'));
    });
}

void AppDelegate::handleWebPickerDividerDrag(double delta) {
    TabState* tab = tabs_.active();
    if (!tab) return;
    tab->gitRatioV = sidepanels::columnShare(tab->gitRatioV, delta, termFrame().width());
    layoutGitPanel();
}

void AppDelegate::handleSidebarHDividerDrag(const QString& topId, const QString& botId, double delta) {
    sidepanels::shareHeights(sidebarPanelHeights_, topId, botId, delta);
    layoutGitPanel();
    if (const TabState* tab = tabs_.active(); tab && tab->splitContainer) tab->splitContainer->layoutSplit();
}

void AppDelegate::moveSidebarPanel(const QString& id, int direction) {
    if (sidepanels::movePanel(sidebarOrder_, visibleSidebarPanels(), id, direction)) layoutGitPanel();
}

void AppDelegate::updateSidebarMoveButtons() {
    const QStringList visible = visibleSidebarPanels();
    auto panelOf = [this](const QString& id) -> QWidget* {
        if (id == kPicker) return webPickerSidebarView_;
        if (id == kSSH) return sshManagerView_;
        return nullptr; // the git panel's buttons come with the git panel
    };
    for (int i = 0; i < visible.size(); ++i) {
        const sidepanels::MoveButtons buttons = sidepanels::moveButtons(i, static_cast<int>(visible.size()));
        if (auto* panel = qobject_cast<SidePanelView*>(panelOf(visible[i])))
            panel->setMoveButtonsEnabled(buttons.up, buttons.down);
    }
    if (visible.size() <= 1) {
        // With one panel or none there is nowhere to move: the first that exists gets both off.
        for (QWidget* candidate : {static_cast<QWidget*>(webPickerSidebarView_.data()),
                                   static_cast<QWidget*>(sshManagerView_.data())}) {
            if (auto* panel = qobject_cast<SidePanelView*>(candidate)) {
                panel->setMoveButtonsEnabled(false, false);
                break;
            }
        }
    }
}

QRect AppDelegate::pageFrame() const {
    QRect frame = termFrame();
    const TabState* tab = tabs_.active();
    if (visibleSidebarPanels().isEmpty() || !tab) return frame;
    const int column = static_cast<int>(std::lround(frame.width() * tab->gitRatioV));
    frame.setWidth(std::max(0, frame.width() - column - kDividerThickness));
    return frame;
}

void AppDelegate::layoutGitPanel() {
    layoutSidebarColumn();
    updateSidebarMoveButtons();
}

void AppDelegate::layoutSidebarColumn() {
    if (!contentView_) return;
    const QRect area = termFrame();
    const QRect pages = pageFrame();
    for (const TabState& tab : tabs_.tabs())
        if (QWidget* page = tab.page()) page->setGeometry(pages);
    const QStringList visible = visibleSidebarPanels();
    if (visible.isEmpty()) {
        if (webPickerRightDivider_) webPickerRightDivider_->hide();
        for (const auto& divider : sidebarHDividers_)
            if (divider) divider->hide();
        return;
    }
    // The column: right of the pages, past a vertical divider that resizes it.
    const int left = pages.right() + 1 + kDividerThickness;
    const QRect column(left, area.top(), area.right() + 1 - left, area.height());
    if (!webPickerRightDivider_) {
        webPickerRightDivider_ = new GitPanelDividerView(contentView_);
        webPickerRightDivider_->isVertical = true;
        const QPointer<AppDelegate> self(this);
        webPickerRightDivider_->onDrag = [self](double delta) {
            if (self) self->handleWebPickerDividerDrag(delta);
        };
    }
    webPickerRightDivider_->setGeometry(pages.right() + 1, area.top(), kDividerThickness, area.height());
    webPickerRightDivider_->show();

    // The panels top to bottom with their heights; the last one takes what is left.
    int y = column.top();
    for (int i = 0; i < visible.size(); ++i) {
        const QString& id = visible[i];
        QWidget* panel = id == kPicker ? static_cast<QWidget*>(webPickerSidebarView_.data())
                         : id == kSSH  ? static_cast<QWidget*>(sshManagerView_.data())
                                       : static_cast<QWidget*>(tabs_.active()->gitPanel.data());
        const bool last = i == visible.size() - 1;
        const int height = last ? column.bottom() + 1 - y
                                : static_cast<int>(std::lround(sidebarPanelHeights_.value(id, 260)));
        if (panel) {
            panel->setGeometry(column.left(), y, column.width(), std::max(0, height));
            panel->raise();
        }
        y += height;
        if (last) break;
        const QString key = id + QLatin1Char('/') + visible[i + 1];
        QPointer<GitPanelDividerView>& divider = sidebarHDividers_[key];
        if (!divider) {
            divider = new GitPanelDividerView(contentView_);
            const QPointer<AppDelegate> self(this);
            const QString top = id, bottom = visible[i + 1];
            divider->onDrag = [self, top, bottom](double delta) {
                if (self) self->handleSidebarHDividerDrag(top, bottom, delta);
            };
        }
        divider->setGeometry(column.left(), y, column.width(), kDividerThickness);
        divider->show();
        y += kDividerThickness;
    }
    // Dividers between panels that are no longer neighbours go.
    for (auto it = sidebarHDividers_.begin(); it != sidebarHDividers_.end();) {
        const QStringList pair = it.key().split(QLatin1Char('/'));
        const qsizetype at = visible.indexOf(pair.value(0));
        if (at >= 0 && visible.value(at + 1) == pair.value(1)) {
            ++it;
            continue;
        }
        if (it.value()) it.value()->deleteLater();
        it = sidebarHDividers_.erase(it);
    }
}
