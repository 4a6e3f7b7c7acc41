#include "app/sidepanel/SidePanelColumn.h"

#include "app/sidepanel/SidePanelHost.h"
#include "app/sidepanel/SidePanelStack.h"
#include "chrome/ChromeAnimation.h"
#include "platform/Geometry.h"
#include "terminalview/TerminalView.h"
#include "webpicker/WebPickerService.h"
#include "webpicker/WebPickerSidebarView.h"

#include <QTimer>
#include <cmath>

namespace {

const QString kGit = QStringLiteral("git");
const QString kPicker = QStringLiteral("picker");
const QString kSSH = QStringLiteral("ssh");

// The move buttons of a side panel, each its own subsystem's view.
void setPanelMoveButtons(QWidget* panel, bool up, bool down) {
    if (auto* git = qobject_cast<GitPanelView*>(panel))
        git->setMoveButtonsEnabled(up, down);
    else if (auto* picker = qobject_cast<WebPickerSidebarView*>(panel))
        picker->setMoveButtonsEnabled(up, down);
    else if (auto* ssh = qobject_cast<SSHManagerView*>(panel))
        ssh->setMoveButtonsEnabled(up, down);
}

// Fades a panel's opacity; `done` runs at the end. A panel fully shown draws without an effect, so
// that its own dimmed buttons (effects of their own) are drawn.
void fadePanel(QWidget* panel, double from, double to, int ms, std::function<void()> done = {}) {
    chrome::setWidgetAlpha(panel, from);
    chrome::fadeWidget(panel, to, ms, chrome::linearCurve(), std::move(done));
}

} // namespace

SidePanelColumn::SidePanelColumn(SidePanelHost& host, Defaults& defaults, QObject* parent)
    : QObject(parent), host_(host), defaults_(defaults) {}

QWidget* SidePanelColumn::panelOf(const QString& id) const {
    if (id == kPicker) return webPickerSidebarView_;
    if (id == kSSH) return sshManagerView_;
    if (id == kGit) return host_.activeGitPanelInColumn();
    return nullptr;
}

QStringList SidePanelColumn::visibleSidebarPanels() const {
    return sidepanels::visiblePanels(sidebarOrder_,
                                     [this](const QString& id) { return panelOf(id) != nullptr; });
}

void SidePanelColumn::restoreOrderAndHeights(const std::optional<QStringList>& order,
                                             const QMap<QString, double>& heights) {
    if (order) sidebarOrder_ = *order;
    for (auto it = heights.begin(); it != heights.end(); ++it)
        sidebarPanelHeights_.insert(it.key(), it.value());
}

void SidePanelColumn::toggleWebPicker() {
    if (webPickerSidebarView_)
        hideWebPickerSidebar();
    else
        showWebPickerSidebar();
}

void SidePanelColumn::showWebPickerSidebar() {
    QWidget* parent = host_.sidePanelParent();
    if (!parent || webPickerSidebarView_) return;
    WebPickerSidebarView* panel = host_.webPicker().createSidebar(parent);
    const QPointer<SidePanelColumn> self(this);
    panel->onClose = [self] {
        if (self) self->toggleWebPicker();
    };
    panel->onConnected = [self] {
        // Once the browser is connected the window takes the right half of the screen.
        if (self) self->host_.snapWindowRightHalf();
    };
    panel->onMoveUp = [self] {
        if (self) self->moveSidebarPanel(kPicker, -1);
    };
    panel->onMoveDown = [self] {
        if (self) self->moveSidebarPanel(kPicker, 1);
    };
    webPickerSidebarView_ = panel;
    panel->show();
    fadePanel(panel, 0, 1, kFadeInMs);
    layout();
    host_.sidePanelShown(kPicker, true);
    panel->connect();
    host_.webPicker().startHoverFocus();
}

void SidePanelColumn::hideWebPickerSidebar() {
    WebPickerSidebarView* panel = webPickerSidebarView_;
    if (!panel || panel->property("closing").toBool()) return;
    panel->setProperty("closing", true);
    host_.webPicker().stopHoverFocus();
    panel->disconnect();
    const QPointer<SidePanelColumn> self(this);
    fadePanel(panel, 1, 0, kFadeOutMs, [self, panel] {
        panel->deleteLater();
        if (!self) return;
        self->webPickerSidebarView_ = nullptr;
        self->host_.sidePanelShown(kPicker, false);
        self->layout();
    });
}

void SidePanelColumn::toggleSSHManager() {
    if (sshManagerView_)
        hideSSHManager();
    else
        showSSHManager();
}

void SidePanelColumn::showSSHManager() {
    QWidget* parent = host_.sidePanelParent();
    if (!parent || sshManagerView_) return;
    auto* panel = new SSHManagerView(defaults_, parent);
    panel->sidebarMenuHost = sidebarMenuHost_;
    const QPointer<SidePanelColumn> self(this);
    panel->onClose = [self] {
        if (self) self->hideSSHManager();
    };
    panel->onMoveUp = [self] {
        if (self) self->moveSidebarPanel(kSSH, -1);
    };
    panel->onMoveDown = [self] {
        if (self) self->moveSidebarPanel(kSSH, 1);
    };
    panel->onConnect = [self](const SSHProfile& profile) {
        // The manager stays open. A profile with no command (one that would type controls or
        // options into the shell) opens no tab either.
        const std::optional<QString> command = profile.connectCommand();
        if (self && command) self->openSSHConnection(*command);
    };
    sshManagerView_ = panel;
    panel->show();
    fadePanel(panel, 0, 1, kFadeInMs);
    layout();
    host_.sidePanelShown(kSSH, true);
}

void SidePanelColumn::hideSSHManager() {
    SSHManagerView* panel = sshManagerView_;
    if (!panel || panel->property("closing").toBool()) return;
    panel->setProperty("closing", true);
    const QPointer<SidePanelColumn> self(this);
    fadePanel(panel, 1, 0, kFadeOutMs, [self, panel] {
        panel->deleteLater();
        if (!self) return;
        self->sshManagerView_ = nullptr;
        self->host_.sidePanelShown(kSSH, false);
        self->layout();
    });
}

void SidePanelColumn::openSSHConnection(const QString& connectCommand) {
    // The command goes to the tab made for it, even when another tab is on show by the time the
    // shell is ready for it.
    const QPointer<TerminalView> view = host_.openTerminalTab();
    if (!view) return;
    QTimer::singleShot(kSSHCommandDelayMs, this, [view, connectCommand] {
        if (view) view->writePTY(connectCommand + QLatin1Char('\n'));
    });
}

void SidePanelColumn::handleWebPickerDividerDrag(double delta) {
    const std::optional<double> share = host_.activeColumnShare();
    if (!share) return;
    host_.setActiveColumnShare(sidepanels::columnShare(*share, delta, host_.terminalFrame().width()));
    layout();
}

void SidePanelColumn::handleSidebarHDividerDrag(const QString& topId, const QString& botId, double delta) {
    sidepanels::shareHeights(sidebarPanelHeights_, topId, botId, delta);
    layout();
    host_.relayoutActiveTab();
}

void SidePanelColumn::moveSidebarPanel(const QString& id, int direction) {
    if (sidepanels::movePanel(sidebarOrder_, visibleSidebarPanels(), id, direction)) layout();
}

void SidePanelColumn::updateSidebarMoveButtons() {
    const QStringList visible = visibleSidebarPanels();
    for (int i = 0; i < visible.size(); ++i) {
        const sidepanels::MoveButtons buttons = sidepanels::moveButtons(i, static_cast<int>(visible.size()));
        setPanelMoveButtons(panelOf(visible[i]), buttons.up, buttons.down);
    }
    if (visible.size() <= 1) {
        // With one panel or none there is nowhere to move: the first that exists gets both off.
        const TabState* tab = host_.activeTabState();
        for (QWidget* candidate : {static_cast<QWidget*>(tab ? tab->gitPanel.data() : nullptr),
                                   static_cast<QWidget*>(webPickerSidebarView_.data()),
                                   static_cast<QWidget*>(sshManagerView_.data())}) {
            if (candidate) {
                setPanelMoveButtons(candidate, false, false);
                break;
            }
        }
    }
}

gitlayout::Output SidePanelColumn::computeLayout(const TabState* tab, qreal parentHeight) const {
    gitlayout::Input in;
    in.frame = geometry::flipped(QRectF(host_.terminalFrame()), parentHeight);
    if (tab) {
        in.position = tab->gitPosition;
        in.hasPanel = !tab->gitPanel.isNull();
        in.ratio = tab->gitRatio;
        in.ratioV = tab->gitRatioV;
    }
    in.order = sidebarOrder_;
    in.isOpen = [this](const QString& id) {
        return (id == kPicker && webPickerSidebarView_) || (id == kSSH && sshManagerView_);
    };
    in.preferredHeight = [this](const QString& id) {
        return sidebarPanelHeights_.value(id, gitlayout::kDefaultPanelHeight);
    };
    return gitlayout::layout(in);
}

QRect SidePanelColumn::pageFrame() const {
    QWidget* parent = host_.sidePanelDividerParent();
    if (!parent) return host_.terminalFrame();
    return geometry::flippedPixels(computeLayout(host_.activeTabState(), parent->height()).terminal,
                                   parent->height());
}

void SidePanelColumn::layout() {
    layoutColumn();
    updateSidebarMoveButtons();
}

void SidePanelColumn::layoutColumn() {
    QWidget* dividerParent = host_.sidePanelDividerParent();
    if (!dividerParent) return;
    const qreal parentHeight = dividerParent->height();
    const auto place = [parentHeight](QWidget* w, const QRectF& bottomUp) {
        w->setGeometry(geometry::flippedPixels(bottomUp, parentHeight));
    };
    TabState* tab = host_.activeTabState();
    const gitlayout::Output out = computeLayout(tab, parentHeight);
    if (tab && out.movedToRight) {
        tab->gitPosition = GitPanelPosition::right;
        tab->gitRatio = out.ratio;
    }
    host_.placeTabPages(geometry::flippedPixels(out.terminal, parentHeight));

    // The active tab's git panel and its divider, below the terminal or in the column.
    GitPanelDividerView* gitDivider = tab ? tab->gitDivider.data() : nullptr;
    if (tab && tab->gitPanel && tab->gitPosition != GitPanelPosition::none) {
        if (out.bottomPanel) place(tab->gitPanel, *out.bottomPanel);
        tab->gitPanel->show();
        tab->gitPanel->raise();
    }
    if (gitDivider && out.gitDivider) {
        gitDivider->isVertical = out.gitDividerVertical;
        place(gitDivider, *out.gitDivider);
        gitDivider->show();
    }

    if (out.column.isEmpty()) {
        delete webPickerRightDivider_.data();
        for (const auto& divider : std::as_const(sidebarHDividers_)) delete divider.data();
        sidebarHDividers_.clear();
        if (gitDivider) gitDivider->raise();
        return;
    }
    if (out.columnDivider) {
        if (!webPickerRightDivider_) {
            webPickerRightDivider_ = new GitPanelDividerView(dividerParent);
            const QPointer<SidePanelColumn> self(this);
            webPickerRightDivider_->onDrag = [self](double delta) {
                if (self) self->handleWebPickerDividerDrag(delta);
            };
        }
        webPickerRightDivider_->isVertical = true;
        place(webPickerRightDivider_, *out.columnDivider);
        webPickerRightDivider_->show();
    } else {
        delete webPickerRightDivider_.data();
    }

    QStringList pairs;
    for (qsizetype i = 0; i < out.column.size(); ++i) {
        if (QWidget* panel = panelOf(out.column[i])) {
            place(panel, out.columnPanels[i]);
            panel->raise();
        }
        if (i + 1 >= out.column.size()) break;
        const QString top = out.column[i], bottom = out.column[i + 1];
        const QString key = top + QLatin1Char('-') + bottom;
        pairs << key;
        QPointer<GitPanelDividerView>& divider = sidebarHDividers_[key];
        if (!divider) {
            divider = new GitPanelDividerView(dividerParent);
            const QPointer<SidePanelColumn> self(this);
            divider->onDrag = [self, top, bottom](double delta) {
                if (self) self->handleSidebarHDividerDrag(top, bottom, delta);
            };
        }
        divider->isVertical = false;
        place(divider, out.columnDividers[i]);
        divider->show();
    }
    // Dividers between panels that are no longer neighbours go.
    for (auto it = sidebarHDividers_.begin(); it != sidebarHDividers_.end();) {
        if (pairs.contains(it.key())) {
            ++it;
            continue;
        }
        delete it.value().data();
        it = sidebarHDividers_.erase(it);
    }
    // The dividers lie over the edges of what they divide.
    for (const auto& divider : std::as_const(sidebarHDividers_))
        if (divider) divider->raise();
    if (webPickerRightDivider_) webPickerRightDivider_->raise();
    if (gitDivider) gitDivider->raise();
}
