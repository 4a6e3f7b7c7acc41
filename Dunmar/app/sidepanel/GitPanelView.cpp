#include "app/sidepanel/GitPanelView.h"

GitPanelView::GitPanelView(QWidget* parent) : QWidget(parent) {
    setGeometry(0, 0, 0, 0);
    hide();
}

void GitPanelView::startRefreshing(const QString& cwd) {
    refreshing_ = true;
    directory_ = cwd;
}

void GitPanelView::stopRefreshing() {
    refreshing_ = false;
}

GitPanelDividerView::GitPanelDividerView(QWidget* parent) : QWidget(parent) {
    setGeometry(0, 0, 0, 0);
    hide();
}
