#pragma once

#include "aiusage/AIUsageData.h"

#include <QDateTime>
#include <QWidget>
#include <functional>
#include <optional>

class QPushButton;

// The small panel above the footer: one bar per usage window with its reset time, the age of the
// data and a refresh button; without data, one status line for the last HTTP status.
class AIUsagePopover : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 220;

    explicit AIUsagePopover(QWidget* parent = nullptr);

    std::function<void()> onRefresh;

    // Rebuilds the panel from `data` (or the status line for `statusCode`) and sets its height; the
    // bottom edge stays where it is.
    void update(const std::optional<AIUsageData>& data, int statusCode);
    // Ends the refresh button's busy look.
    void setRefreshDone();

    QPushButton* refreshButton() const { return refreshBtn_; }
    QWidget* contentStack() const { return contentStack_; }

    // "jetzt", "in 2h 5m", "in 0m", or from 25 hours on the German date "E, d. MMM HH:mm" in the
    // local time zone.
    static QString formatReset(const QDateTime& resetsAt, const QDateTime& now);
    // "↻ gerade eben" under 5 seconds, else "↻ vor <seconds>s".
    static QString ageText(const QDateTime& fetchedAt, const QDateTime& now);
    // The status line without data, and its colour.
    static QString statusText(int statusCode);

    // The clock the texts are computed against; the tests fix it.
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTimeUtc(); };

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    struct Item;
    double addCategory(std::vector<Item>& items, double y, double w, const QString& title, double util,
                       const std::optional<QDateTime>& resetsAt);
    void doRefresh();
    void setRefreshTint(double level);

    QWidget* contentStack_ = nullptr;
    QPushButton* refreshBtn_ = nullptr;
};
