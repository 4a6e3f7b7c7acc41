#include "app/sidepanel/SidePanelColumn.h"

#include "app/sidepanel/SidePanelHost.h"
#include "app/sidepanel/SidePanelStack.h"
#include "terminalview/TerminalView.h"
#include "webpicker/WebPickerService.h"
#include "webpicker/WebPickerSidebarView.h"

#include <QGraphicsOpacityEffect>
#include <QPropertyAnimation>
#include <QTimer>
#include <cmath>

namespace {

const QString kGit = QStringLiteral("git");
const QString kPicker = QStringLiteral("picker");
const QString kSSH = QStringLiteral("ssh");

// The move buttons of a picker or SSH panel, each its own subsystem's view; the git panel's come
// with the git panel.
void setPanelMoveButtons(QWidget* panel, bool up, bool down) {
    if (auto* picker = qobject_cast<WebPickerSidebarView*>(panel))
        picker->setMoveButtonsEnabled(up, down);
    else if (auto* ssh = qobject_cast<SSHManagerView*>(panel))
        ssh->setMoveButtonsEnabled(up, down);
}

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
        // The manager stays open.
        if (self) self->openSSHConnection(profile.connectCommand());
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
        for (QWidget* candidate : {static_cast<QWidget*>(webPickerSidebarView_.data()),
                                   static_cast<QWidget*>(sshManagerView_.data())}) {
            if (candidate) {
                setPanelMoveButtons(candidate, false, false);
                break;
            }
        }
    }
}

QRect SidePanelColumn::pageFrame() const {
    QRect frame = host_.terminalFrame();
    const std::optional<double> share = host_.activeColumnShare();
    if (visibleSidebarPanels().isEmpty() || !share) return frame;
    const int column = static_cast<int>(std::lround(frame.width() * *share));
    frame.setWidth(std::max(0, frame.width() - column - kDividerThickness));
    return frame;
}

void SidePanelColumn::layout() {
    layoutColumn();
    updateSidebarMoveButtons();
}

void SidePanelColumn::layoutColumn() {
    QWidget* dividerParent = host_.sidePanelDividerParent();
    if (!dividerParent) return;
    const QRect area = host_.terminalFrame();
    const QRect pages = pageFrame();
    host_.placeTabPages(pages);
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
        webPickerRightDivider_ = new GitPanelDividerView(dividerParent);
        webPickerRightDivider_->isVertical = true;
        const QPointer<SidePanelColumn> self(this);
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
        QWidget* panel = panelOf(id);
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
            divider = new GitPanelDividerView(dividerParent);
            const QPointer<SidePanelColumn> self(this);
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
