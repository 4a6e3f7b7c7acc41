#pragma once

#include <QString>
#include <QWidget>
#include <functional>

// Stand-ins for the git panel and its divider until the git subsystem provides them. They keep
// what the tabs store about a git panel (that one exists, where it sits, which folder it follows)
// so that a saved tab with a git panel keeps it across starts, and they never show anything.
class GitPanelView : public QWidget {
    Q_OBJECT
public:
    explicit GitPanelView(QWidget* parent = nullptr);

    // Follows `cwd`; the real panel refreshes its view of the repository there.
    void startRefreshing(const QString& cwd);
    void stopRefreshing();

    bool isRefreshing() const { return refreshing_; }
    QString directory() const { return directory_; }

private:
    bool refreshing_ = false;
    QString directory_;
};

class GitPanelDividerView : public QWidget {
    Q_OBJECT
public:
    explicit GitPanelDividerView(QWidget* parent = nullptr);

    bool isVertical = false; // the panel sits on the right (true) or at the bottom
    std::function<void(double delta)> onDrag;
};
