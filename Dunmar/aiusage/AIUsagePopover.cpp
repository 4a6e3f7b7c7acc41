#include "aiusage/AIUsagePopover.h"

#include "aiusage/AIUsageLevel.h"
#include "chrome/ChromeStyle.h"
#include "localisation/Loc.h"
#include "platform/PlainText.h"

#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <cmath>

// The layout below is worked out upwards from the panel's bottom edge, as the panel grows upwards
// from its place above the footer; each item is turned into widget coordinates once the height is
// known.
struct AIUsagePopover::Item {
    enum Kind { label, track } kind;
    QRectF frame; // y measured upwards from the bottom edge
    QString text;
    QFont font;
    QColor color;
    double fill = 0; // tracks: the filled width
};

namespace {

constexpr double kResetLineHeight = 14;

// Plain text: lines may carry what the usage service answered.
QLabel* makeLabel(const QString& text, const QFont& font, const QColor& color, QWidget* parent) {
    auto* label = new QLabel(parent);
    plaintext::setLabelText(label, text, plaintext::Lines::kept);
    label->setFont(font);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, color);
    label->setPalette(p);
    return label;
}

// A bar's track with its filled part.
class UsageTrack : public QWidget {
public:
    UsageTrack(double fill, const QColor& color, QWidget* parent)
        : QWidget(parent), fill_(fill), color_(color) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(chrome::white(1.0, 0.08));
        p.drawRoundedRect(QRectF(rect()), 2.5, 2.5);
        if (fill_ <= 0) return;
        p.setBrush(color_);
        p.drawRoundedRect(QRectF(0, 0, fill_, height()), 2.5, 2.5);
    }

private:
    double fill_;
    QColor color_;
};

} // namespace

AIUsagePopover::AIUsagePopover(QWidget* parent) : QWidget(parent) {
    auto* shadow = new QGraphicsDropShadowEffect(this);
    shadow->setColor(QColor(0, 0, 0, 128));
    shadow->setBlurRadius(12);
    shadow->setOffset(0, 4);
    setGraphicsEffect(shadow);
    contentStack_ = new QWidget(this);
    refreshBtn_ = new QPushButton(QStringLiteral("\u21BB"), this);
    refreshBtn_->setFlat(true);
    refreshBtn_->setFocusPolicy(Qt::NoFocus);
    refreshBtn_->setCursor(Qt::PointingHandCursor);
    refreshBtn_->setFont(chrome::systemFont(13, QFont::Medium));
    refreshBtn_->setToolTip(QString::fromStdString(Loc::t("tooltipRefreshNow")));
    setRefreshTint(0.45);
    connect(refreshBtn_, &QPushButton::clicked, this, &AIUsagePopover::doRefresh);
}

void AIUsagePopover::setRefreshTint(double level) {
    refreshBtn_->setStyleSheet(
        QStringLiteral("QPushButton { color: %1; border: none; background: transparent; padding: 0px; }")
            .arg(chrome::white(level).name()));
}

void AIUsagePopover::doRefresh() {
    refreshBtn_->setEnabled(false);
    setRefreshTint(0.25);
    if (onRefresh) onRefresh();
}

void AIUsagePopover::setRefreshDone() {
    refreshBtn_->setEnabled(true);
    setRefreshTint(0.45);
}

void AIUsagePopover::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(chrome::white(1.0, 0.1), 1));
    p.setBrush(chrome::white(0.08, 0.95));
    p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 10, 10);
}

void AIUsagePopover::mousePressEvent(QMouseEvent* event) {
    // Clicks on the panel stay with it and never reach what lies below.
    event->accept();
}

QString AIUsagePopover::formatReset(const QDateTime& resetsAt, const QDateTime& now) {
    const double left = double(now.msecsTo(resetsAt)) / 1000.0;
    if (left <= 0) return QStringLiteral("jetzt");
    const qint64 s = qint64(std::trunc(left));
    if (s >= 90000)
        return QLocale(QLocale::German, QLocale::Germany)
            .toString(resetsAt.toLocalTime(), QStringLiteral("ddd, d. MMM HH:mm"));
    const qint64 h = s / 3600, m = (s % 3600) / 60;
    if (s >= 3600) return QStringLiteral("in %1h %2m").arg(h).arg(m);
    return QStringLiteral("in %1m").arg(m);
}

QString AIUsagePopover::ageText(const QDateTime& fetchedAt, const QDateTime& now) {
    const qint64 age = qint64(std::trunc(double(fetchedAt.msecsTo(now)) / 1000.0));
    if (age < 5) return QStringLiteral("\u21BB gerade eben");
    return QStringLiteral("\u21BB vor %1s").arg(age);
}

QString AIUsagePopover::statusText(int statusCode) {
    switch (statusCode) {
    case 0:
        return QStringLiteral("Waiting for first response...");
    case 401:
    case 403:
        return QStringLiteral("Invalid token \u2014 please sign in again");
    case 429:
        return QStringLiteral("API rate limited (429) \u2014 please wait");
    default:
        return QStringLiteral("No data (HTTP %1)").arg(statusCode);
    }
}

double AIUsagePopover::addCategory(std::vector<Item>& items, double y, double w, const QString& title,
                                   double util, const std::optional<QDateTime>& resetsAt) {
    if (resetsAt) {
        items.push_back({Item::label, QRectF(12, y, w, 12),
                         QStringLiteral("Reset: ") + formatReset(*resetsAt, now()), chrome::monoFont(8),
                         chrome::white(0.4)});
        y += kResetLineHeight;
    }
    const double trackWidth = w - 40;
    items.push_back({Item::track, QRectF(12, y, trackWidth, 5), QString(), QFont(), aiusage::levelColor(util),
                     std::clamp(util / 100.0 * trackWidth, 0.0, std::max(0.0, trackWidth))});
    items.push_back({Item::label, QRectF(w - 24, y - 4, 36, 14),
                     QStringLiteral("%1%").arg(static_cast<qint64>(std::trunc(util))), chrome::monoFont(9),
                     chrome::white(0.6)});
    y += 12;
    items.push_back(
        {Item::label, QRectF(12, y, w, 14), title, chrome::monoFont(9, QFont::Bold), chrome::white(0.65)});
    return y + 22;
}

void AIUsagePopover::update(const std::optional<AIUsageData>& data, int statusCode) {
    for (QObject* child : contentStack_->children())
        if (child->isWidgetType()) delete child;
    const double W = width();
    const double w = W - 24;
    std::vector<Item> items;
    double height = 0;
    QRectF refresh;
    if (data) {
        items.push_back({Item::label, QRectF(12, 12, w, 12), ageText(data->fetchedAt, now()),
                         chrome::monoFont(8), chrome::white(0.4)});
        double y = 30;
        if (data->extraUsageEnabled)
            y = addCategory(items, y, w, QStringLiteral("Extra Usage"),
                            data->extraUsageUtilization.value_or(0), std::nullopt);
        const std::pair<const std::optional<AIUsageCategory>*, const char*> rows[] = {
            {&data->sevenDaySonnet, "Weekly (Sonnet)"},
            {&data->sevenDayOpus, "Weekly (Opus)"},
            {&data->sevenDay, "Weekly (All Models)"},
            {&data->fiveHour, "Session (5h)"}};
        for (const auto& [category, title] : rows)
            if (*category)
                y = addCategory(items, y, w, QString::fromLatin1(title), (*category)->utilization,
                                (*category)->resetsAt);
        items.push_back({Item::label, QRectF(12, y, w, 16), QStringLiteral("Claude Code Usage"),
                         chrome::monoFont(11, QFont::Bold), chrome::white(0.85)});
        height = y + 24;
        refresh = QRectF(W - 28, 10, 22, 18);
    } else {
        QColor color = chrome::white(0.5);
        if (statusCode == 401 || statusCode == 403) color = QColor::fromRgbF(0.85f, 0.35f, 0.35f);
        if (statusCode == 429) color = QColor::fromRgbF(0.9f, 0.6f, 0.2f);
        items.push_back(
            {Item::label, QRectF(12, 14, W - 44, 16), statusText(statusCode), chrome::monoFont(10), color});
        height = 46;
        refresh = QRectF(W - 28, 12, 22, 18);
    }
    // The bottom edge stays; the panel grows or shrinks at the top.
    const int bottom = geometry().bottom() + 1;
    const int h = int(std::lround(height));
    setGeometry(x(), bottom - h, width(), h);
    contentStack_->setGeometry(0, 0, width(), h);
    auto flip = [h](const QRectF& r) {
        return QRect(int(std::lround(r.x())), int(std::lround(h - r.y() - r.height())),
                     int(std::lround(r.width())), int(std::lround(r.height())));
    };
    for (const Item& item : items) {
        QWidget* widget = item.kind == Item::track
                              ? static_cast<QWidget*>(new UsageTrack(item.fill, item.color, contentStack_))
                              : makeLabel(item.text, item.font, item.color, contentStack_);
        widget->setGeometry(flip(item.frame));
        widget->show();
    }
    refreshBtn_->setGeometry(flip(refresh));
    refreshBtn_->raise();
}
