#include "app/git/GitPanelPlacement.h"

#include "app/tabs/TabState.h"
#include "app/sidepanel/GitPanelLayout.h"
#include "app/sidepanel/SidePanelColumn.h"
#include "app/workspace/Workspace.h"

#include <QGraphicsOpacityEffect>
#include <QPropertyAnimation>

namespace {

void fade(QWidget* w, double to, int ms, std::function<void()> done = {}) {
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(w->graphicsEffect());
    if (!effect) {
        effect = new QGraphicsOpacityEffect(w);
        effect->setOpacity(0);
        w->setGraphicsEffect(effect);
    }
    auto* animation = new QPropertyAnimation(effect, "opacity", w);
    animation->setDuration(ms);
    animation->setStartValue(effect->opacity());
    animation->setEndValue(to);
    animation->setEasingCurve(QEasingCurve::OutCubic);
    QObject::connect(animation, &QPropertyAnimation::finished, w, [effect, to, done = std::move(done)] {
        // A fully shown panel draws without the effect, which would cost an offscreen pass per paint.
        if (to >= 1.0) effect->setEnabled(false);
        if (done) done();
    });
    effect->setEnabled(true);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

} // namespace

GitPanelPlacement::GitPanelPlacement(Workspace& workspace, SidePanelColumn& column,
                                     std::function<QRect()> termFrame, QObject* parent)
    : QObject(parent), workspace_(workspace), column_(column), termFrame_(std::move(termFrame)) {
    workspace_.attachGitPanel = [this](TabState& tab) { attachPanel(tab); };
}

void GitPanelPlacement::attachPanel(TabState& tab) {
    QWidget* parent = tab.page() ? tab.page()->parentWidget() : nullptr;
    if (!parent || tab.gitPanel) return;
    auto* panel = new GitPanelView(parent);
    const QPointer<GitPanelPlacement> self(this);
    panel->onMoveUp = [self] {
        if (self) self->column_.moveSidebarPanel(QStringLiteral("git"), -1);
    };
    panel->onMoveDown = [self] {
        if (self) self->column_.moveSidebarPanel(QStringLiteral("git"), 1);
    };
    panel->sidebarMenuHost = this;
    auto* divider = new GitPanelDividerView(parent);
    divider->isVertical = tab.gitPosition == GitPanelPosition::right;
    divider->onDrag = [self](double delta) {
        if (self) self->handleGitDividerDrag(delta);
    };
    tab.gitPanel = panel;
    tab.gitDivider = divider;
}

void GitPanelPlacement::toggleGitPanel() {
    TabState* tab = workspace_.tabs().active();
    if (!tab) return;
    switch (tab->gitPosition) {
    case GitPanelPosition::none:
        tab->gitPosition = GitPanelPosition::bottom;
        break;
    case GitPanelPosition::bottom:
        tab->gitRatioH = tab->gitRatio;
        tab->gitPosition = GitPanelPosition::right;
        break;
    case GitPanelPosition::right:
        tab->gitRatioV = tab->gitRatio;
        tab->gitPosition = GitPanelPosition::none;
        break;
    }

    if (tab->gitPosition != GitPanelPosition::none) {
        tab->gitRatio = tab->gitPosition == GitPanelPosition::bottom ? tab->gitRatioH : tab->gitRatioV;
        const bool fresh = !tab->gitPanel;
        if (fresh) attachPanel(*tab);
        column_.layout();
        if (tab->gitPanel) tab->gitPanel->startRefreshing(workspace_.gitFolderOf(*tab));
        if (fresh || tab->gitPanel->graphicsEffect()) {
            for (QWidget* w :
                 {static_cast<QWidget*>(tab->gitPanel.data()), static_cast<QWidget*>(tab->gitDivider.data())})
                if (w) fade(w, 1.0, kFadeInMs);
        }
        workspace_.setGitButtonActive(true);
    } else {
        if (tab->gitPanel) tab->gitPanel->stopRefreshing();
        // The panel that fades out is this tab's, whichever tab is active when the fade ends.
        const QPointer<GitPanelView> panel = tab->gitPanel;
        const QPointer<GitPanelDividerView> divider = tab->gitDivider;
        const QPointer<GitPanelPlacement> self(this);
        const auto done = [self, panel, divider] {
            if (!self) return;
            TabList& tabs = self->workspace_.tabs();
            for (int i = 0; i < tabs.count(); ++i) {
                TabState& t = tabs.at(i);
                if (!panel || t.gitPanel != panel) continue;
                if (t.gitPosition != GitPanelPosition::none) return; // opened again during the fade
                t.gitPanel = nullptr;
                t.gitDivider = nullptr;
            }
            if (panel) panel->deleteLater();
            if (divider) divider->deleteLater();
            self->column_.layout();
        };
        if (panel)
            fade(panel, 0.0, kFadeOutMs, done);
        else
            done();
        if (divider) fade(divider, 0.0, kFadeOutMs);
        workspace_.setGitButtonActive(false);
        column_.layout();
    }
    workspace_.saveSession();
}

void GitPanelPlacement::handleGitDividerDrag(double delta) {
    TabState* tab = workspace_.tabs().active();
    if (!tab || tab->gitPosition == GitPanelPosition::none) return;
    const QRect frame = termFrame_();
    const bool right = tab->gitPosition == GitPanelPosition::right;
    const double r = gitlayout::draggedRatio(tab->gitPosition, tab->gitRatio, delta,
                                             right ? frame.width() : frame.height());
    tab->gitRatio = r;
    (right ? tab->gitRatioV : tab->gitRatioH) = r;
    column_.layout();
    if (tab->splitContainer) tab->splitContainer->layoutSplit();
}

bool GitPanelPlacement::isSidebarPanelShown(const QString& id) const {
    if (id == QLatin1String("git")) return workspace_.isGitPanelShown();
    if (id == QLatin1String("picker")) return column_.isWebPickerShown();
    if (id == QLatin1String("ssh")) return column_.isSSHManagerShown();
    return false;
}

void GitPanelPlacement::toggleSidebarPanel(const QString& id) {
    if (id == QLatin1String("git"))
        toggleGitPanel();
    else if (id == QLatin1String("picker"))
        column_.toggleWebPicker();
    else if (id == QLatin1String("ssh"))
        column_.toggleSSHManager();
}
