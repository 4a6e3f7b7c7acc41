#include "settings/SettingsOverlay.h"

#include "chrome/ChromeAnimation.h"
#include "chrome/FlippedClipView.h"
#include "chrome/HoverButton.h"
#include "localisation/Loc.h"
#include "localisation/LocBinding.h"
#include "platform/Defaults.h"
#include "settings/Autostart.h"
#include "settings/ResetRowView.h"
#include "settings/SettingsStyle.h"
#include "settings/SettingsToggle.h"
#include "settings/SettingsKeys.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QTimer>
#include <utility>

namespace {

// The scrolled column: rows stacked from the top with a gap above each, inset from both sides.
// Its height is fixed by the rows; the scroll view's column stretches below a short list.
class SettingsDocument : public QWidget {
public:
    explicit SettingsDocument(QWidget* parent = nullptr) : QWidget(parent) {}

    void setRows(const QList<QWidget*>& rows) {
        rows_ = rows;
        int height = settingsui::kRowGap;
        for (QWidget* row : rows_) height += row->height() + settingsui::kRowGap;
        setFixedHeight(height);
        layoutRows();
    }

protected:
    void resizeEvent(QResizeEvent*) override { layoutRows(); }

private:
    void layoutRows() {
        int y = 0;
        const int w = std::max(0, width() - 2 * settingsui::kRowInset);
        for (QWidget* row : rows_) {
            y += settingsui::kRowGap;
            row->setGeometry(settingsui::kRowInset, y, w, row->height());
            y += row->height();
        }
    }

    QList<QWidget*> rows_;
};

// The header strip: darker than the panel, with a hairline along its bottom edge.
class HeaderStrip : public QWidget {
public:
    explicit HeaderStrip(QWidget* parent) : QWidget(parent) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor::fromRgbF(0, 0, 0, 0.5));
        painter.fillRect(QRect(0, height() - 1, width(), 1), chrome::white(1.0, 0.08));
    }
};

} // namespace

SettingsOverlay::SettingsOverlay(Defaults& defaults, SettingsHost* host, QWidget* parent)
    : QWidget(parent), defaults_(defaults), host_(host) {
    setCursor(Qt::ArrowCursor);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);

    contentScroll_ = new FlippedClipView(this);
    contentScroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* doc = new SettingsDocument;
    contentDoc_ = doc;
    buildRows();
    for (QWidget* row : rows_) row->setParent(doc);
    doc->setRows(rows_);
    contentScroll_->setDocument(doc);

    buildHeader();
    resize(parent ? parent->width() : 860, 284);
    // A new panel always opens on its first row.
    contentScroll_->verticalScrollBar()->setValue(0);
}

SettingsOverlay::~SettingsOverlay() = default;

void SettingsOverlay::registerDefaultSettings(Defaults& defaults) {
    defaults.registerDefaults(settings::defaultSettingsMap());
}

bool SettingsOverlay::setAutoStart(bool enabled, QString* error) {
    return setAutoStartLegacy(enabled, error);
}

bool SettingsOverlay::setAutoStartLegacy(bool enabled, QString* error) {
    // The kernel's record of the running executable: argv[0] may be a bare name found through PATH.
    return enabled ? autostart::install(QCoreApplication::applicationFilePath(), error)
                   : autostart::remove(error);
}

void SettingsOverlay::buildHeader() {
    headerView_ = new HeaderStrip(this);
    closeButton_ = new HoverButton(QStringLiteral("✕"), 11, QFont::Bold, chrome::white(0.4),
                                   chrome::white(1.0), chrome::clear(), chrome::rgb(0.85, 0.18, 0.18, 0.75),
                                   chrome::rgb(0.70, 0.12, 0.12, 1.0), 3, headerView_);
    closeButton_->setAccessibleName(QStringLiteral("Close settings"));
    QPointer<SettingsOverlay> panel(this);
    closeButton_->onClick = [panel] {
        if (panel && panel->onClose) panel->onClose();
    };
    layoutHeader();
}

void SettingsOverlay::layoutHeader() {
    if (!headerView_) return;
    headerView_->setGeometry(0, 0, width(), headerH);
    closeButton_->setFrame(QRect(width() - 6 - 16, (headerH - 16) / 2, 16, 16));
    headerView_->raise();
}

void SettingsOverlay::resizeEvent(QResizeEvent*) {
    contentScroll_->setGeometry(0, headerH, width(), std::max(0, height() - headerH));
    layoutHeader();
}

void SettingsOverlay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal w = width();
    const qreal h = height();
    const qreal r = std::min<qreal>(kCornerRadius, std::min(w, h) / 2);
    // Square at the top, where the panel meets the window's content; rounded at the bottom.
    QPainterPath shape;
    shape.moveTo(0, 0);
    shape.lineTo(w, 0);
    shape.lineTo(w, h - r);
    shape.arcTo(QRectF(w - 2 * r, h - 2 * r, 2 * r, 2 * r), 0, -90);
    shape.lineTo(r, h);
    shape.arcTo(QRectF(0, h - 2 * r, 2 * r, 2 * r), -90, -90);
    shape.closeSubpath();

    // No blur of what lies behind on X11: a translucent dark fill stands in for it, darkened from
    // the top by the same shade the panel always had.
    painter.fillPath(shape, QColor::fromRgbF(0.11, 0.11, 0.125, 0.95));
    QLinearGradient shade(0, 0, 0, 2000);
    shade.setColorAt(0, chrome::white(0.03, 1.0));
    shade.setColorAt(1, chrome::white(0.03, 0.0));
    painter.fillPath(shape, shade);
}

void SettingsOverlay::report(const QString& key, const QVariant& value) {
    if (onChanged) onChanged(key, value);
}

void SettingsOverlay::updateToggle(const QString& key, bool value) {
    static const QList<std::pair<QString, const char*>> titles{
        {settings::kAlwaysOnTop, "alwaysOnTop"},
        {settings::kAutoDim, "autoDim"},
        {settings::kHideOnClickOutside, "hideOnClickOutside"},
        {settings::kHideOnDeactivate, "hideOnDeactivate"},
        {settings::kCopyOnSelect, "copyOnSelect"},
        {settings::kCursorBlink, "cursorBlink"},
        {settings::kAutoStartEnabled, "launchAtLogin"},
    };
    QString title;
    for (const auto& [settingsKey, titleKey] : titles)
        if (settingsKey == key) title = qs(Loc::t(titleKey));
    if (title.isEmpty()) return;

    // A switch is known by the title of its row, in the language the panel was built in.
    for (QWidget* row : rows_) {
        const auto toggles = row->findChildren<SettingsToggle*>(Qt::FindDirectChildrenOnly);
        if (toggles.isEmpty()) continue;
        for (const QLabel* label : row->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
            if (label->text() != title) continue;
            toggles.first()->setOn(value, true);
            return;
        }
    }
}

void SettingsOverlay::updateResetButtonState() {
    const bool atDefaults = settings::isAtDefaults(defaults_);
    if (resetLabel_)
        settingsui::setLabelColor(resetLabel_,
                                  atDefaults ? chrome::white(0.35, 0.4) : chrome::rgb(0.9, 0.35, 0.35, 0.8));
    if (auto* row = qobject_cast<ResetRowView*>(resetRow_.data())) {
        row->setDisabled(atDefaults);
        row->setBackground(atDefaults ? ResetRowView::disabledBg() : ResetRowView::normalBg());
    }
}
