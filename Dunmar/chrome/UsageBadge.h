#pragma once

#include <QWidget>
#include <functional>

// The AI usage badge the footer shows before its shell buttons. The usage monitor supplies the real
// badge; the footer only places it by its size hint, shows it while "showAIUsage" is on, and runs
// `onClick` on a click.
class UsageBadge : public QWidget {
    Q_OBJECT
public:
    explicit UsageBadge(QWidget* parent = nullptr) : QWidget(parent) {}

    std::function<void()> onClick;
};
