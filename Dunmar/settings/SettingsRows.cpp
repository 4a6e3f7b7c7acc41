// The panel's list of rows and the plain row kinds: section headers, switches, sliders and
// choices. Each row writes its setting first and reports it afterwards, so that whoever receives
// the report reads the new value back.
#include "chrome/ChromeStyle.h"
#include "localisation/Loc.h"
#include "localisation/LocBinding.h"
#include "platform/Defaults.h"
#include "platform/PushToTalkKeys.h"
#include "settings/MiniSlider.h"
#include "settings/ReportCoalescer.h"
#include "settings/SegmentedControl.h"
#include "settings/SettingsHost.h"
#include "settings/SettingsOverlay.h"
#include "settings/SettingsRowView.h"
#include "settings/SettingsStyle.h"
#include "settings/SettingsToggle.h"
#include "settings/TerminalFonts.h"
#include "settings/SettingsKeys.h"

#include <cmath>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPointer>

using namespace settingsui;

namespace {

// A section title in small capitals with a hairline running to the right edge.
class SectionHeaderView : public QWidget {
public:
    SectionHeaderView(const QString& title, QWidget* parent = nullptr) : QWidget(parent) {
        label_ = makeTitle(title.toUpper(), chrome::white(0.45), this);
        label_->setFont(chrome::monoFont(9, QFont::Bold));
        label_->adjustSize();
    }

protected:
    void resizeEvent(QResizeEvent*) override { label_->move(kEdge, height() - 4 - label_->height()); }
    void paintEvent(QPaintEvent*) override {
        const QRect l = label_->geometry();
        const int left = l.right() + 1 + 8;
        const int right = width() - kEdge;
        if (right <= left) return;
        QPainter painter(this);
        painter.fillRect(QRect(left, l.center().y(), right - left, 1), chrome::white(1.0, 0.06));
    }

private:
    QLabel* label_;
};

int clampedChoice(qint64 stored, int count) {
    if (stored < 0) return 0;
    return static_cast<int>(std::min<qint64>(stored, count - 1));
}

QHBoxLayout* rowLayout(QWidget* row, int rightInset = kEdge) {
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(kEdge, 0, rightInset, 0);
    layout->setSpacing(0);
    return layout;
}

} // namespace

void SettingsOverlay::buildRows() {
    auto t = [](const char* key) { return qs(Loc::t(key)); };
    auto add = [this](QWidget* row, const QString& name, int height = kRowHeight) {
        row->setObjectName(name);
        row->setFixedHeight(height);
        rows_.append(row);
    };
    const auto choice = [this](const settings::SettingKey& key, int count) {
        return clampedChoice(defaults_.integer(key), count);
    };

    add(makeSectionHeader(t("language")), QStringLiteral("header:language"));
    add(makeLanguageRow(), QStringLiteral("language:appLanguage"));
    add(makeSectionHeader(t("colorThemeSection")), QStringLiteral("header:colorTheme"));
    add(makeColorThemeRow(), QStringLiteral("colorTheme:colorTheme"));
    add(makeSliderRow(t("opacity"), 0.3, 1.0, defaults_.doubleValue(settings::kWindowOpacity),
                      QStringLiteral("%0.f%%"), 100, settings::kWindowOpacity),
        QStringLiteral("slider:windowOpacity"));
    add(makeSliderRow(t("blur"), 0.0, 1.0, defaults_.doubleValue(settings::kBlurIntensity),
                      QStringLiteral("%0.f%%"), 100, settings::kBlurIntensity),
        QStringLiteral("slider:blurIntensity"));
    add(makeSliderRow(t("fontSize"), 8, 18, defaults_.doubleValue(settings::kTerminalFontSize),
                      QStringLiteral("%0.fpt"), 1, settings::kTerminalFontSize),
        QStringLiteral("slider:terminalFontSize"));
    const QStringList cursors{QStringLiteral("▁ Line"), QStringLiteral("▏Beam"), QStringLiteral("█ Block")};
    add(makeSegmentRow(t("cursor"), cursors, choice(settings::kCursorStyle, 3), settings::kCursorStyle),
        QStringLiteral("choice:cursorStyle"));
    add(makeToggleRow(t("cursorBlink"), settings::kCursorBlink), QStringLiteral("toggle:cursorBlink"));
    const QStringList& fonts = settings::terminalFontChoices();
    add(makeSegmentRow(t("font"), fonts, choice(settings::kFontFamily, static_cast<int>(fonts.size())),
                       settings::kFontFamily),
        QStringLiteral("choice:fontFamily"));
    add(makeToggleRow(t("syntaxHighlight"), settings::kSyntaxHighlighting),
        QStringLiteral("toggle:syntaxHighlighting"));
    add(makePromptThemePicker(), QStringLiteral("promptTheme:promptTheme"), kPromptPickerHeight);
    const QStringList shells{QStringLiteral("zsh"), QStringLiteral("bash"), QStringLiteral("sh")};
    add(makeSegmentRow(t("defaultShell"), shells, choice(settings::kDefaultShellIndex, 3),
                       settings::kDefaultShellIndex),
        QStringLiteral("choice:defaultShellIndex"));

    add(makeSectionHeader(t("windowSection")), QStringLiteral("header:window"));
    const QList<std::pair<const char*, const settings::SettingKey*>> windowToggles{
        {"alwaysOnTop", &settings::kAlwaysOnTop},
        {"followAllSpaces", &settings::kFollowAllSpaces},
        {"autoDim", &settings::kAutoDim},
        {"hideOnClickOutside", &settings::kHideOnClickOutside},
        {"hideOnDeactivate", &settings::kHideOnDeactivate},
        {"copyOnSelect", &settings::kCopyOnSelect},
        {"launchAtLogin", &settings::kAutoStartEnabled},
        {"autoCheckUpdates", &settings::kAutoCheckUpdates},
    };
    for (const auto& [title, key] : windowToggles)
        add(makeToggleRow(t(title), key->name), QStringLiteral("toggle:") + key->name);
    add(makeBellRow(), QStringLiteral("bell:bellEnabled"));
    add(makeOSNotificationRow(), QStringLiteral("toggle:bellOSNotification"));
    add(makeBellSoundRow(), QStringLiteral("bellSound:bellSoundName"));
    add(makeDictationRow(), QStringLiteral("dictation:dictationEnabled"));
    QStringList pushToTalkKeys;
    for (const pushtotalk::Key& key : pushtotalk::keys()) pushToTalkKeys << key.name;
    add(makeSegmentRow(t("pushToTalkKey"), pushToTalkKeys,
                       choice(settings::kDictationPushToTalkKey, static_cast<int>(pushToTalkKeys.size())),
                       settings::kDictationPushToTalkKey),
        QStringLiteral("choice:dictationPushToTalkKey"));
    add(makeToggleRow(t("pushToTalkGlobal"), settings::kDictationPushToTalkGlobal),
        QStringLiteral("toggle:dictationPushToTalkGlobal"));

    add(makeSectionHeader(t("webpickerSection")), QStringLiteral("header:webpicker"));
    add(makeSegmentRow(t("browser"), {QStringLiteral("Chrome"), QStringLiteral("Safari")}, 0, QString(), {},
                       true),
        QStringLiteral("choice:browser"));

    add(makeSectionHeader(t("claudeSection")), QStringLiteral("header:claude"));
    add(makeToggleRow(t("showUsageBadge"), settings::kShowAIUsage),
        QStringLiteral("toggle:showAIUsage"));
    const QStringList intervals{QStringLiteral("5m"), QStringLiteral("10m"), QStringLiteral("30m")};
    add(makeSegmentRow(t("refresh"), intervals, choice(settings::kAIUsageRefreshIndex, 3),
                       settings::kAIUsageRefreshIndex),
        QStringLiteral("choice:aiUsageRefreshIndex"));
    add(makeStatusRow(), QStringLiteral("status:aiUsage"));

    add(makeSectionHeader(QStringLiteral("Remote")), QStringLiteral("header:remote"));
    add(makeRemoteRow(), QStringLiteral("remote:remoteEnabled"));
    add(makeResetRow(), QStringLiteral("reset:") + settings::kResetDefaults);
}

QWidget* SettingsOverlay::makeSectionHeader(const QString& title) {
    return new SectionHeaderView(title);
}

QWidget* SettingsOverlay::makeToggleRow(const QString& label, const QString& settingsKey) {
    auto* row = new SettingsRowView;
    auto* layout = rowLayout(row, kEdge - SettingsToggle::kMargin);
    layout->addWidget(makeTitle(label, titleColor(), row), 1, Qt::AlignVCenter);
    auto* toggle = new SettingsToggle(defaults_.boolean(settingsKey), row);
    layout->addWidget(toggle, 0, Qt::AlignVCenter);
    toggle->onChange = [this, settingsKey, toggle](bool on) {
        defaults_.setValue(settingsKey, on);
        if (settingsKey == settings::kAutoStartEnabled.name) {
            toggleLaunchAtLogin(toggle, on);
            return;
        }
        report(settingsKey, on);
        updateResetButtonState();
    };
    return row;
}

void SettingsOverlay::toggleLaunchAtLogin(SettingsToggle* toggle, bool on) {
    const QString& key = settings::kAutoStartEnabled;
    QString error;
    if (!setAutoStart(on, &error)) {
        // The entry is as it was, so the switch and the setting go back to say so.
        on = !on;
        defaults_.setValue(key, on);
        toggle->setOn(on, true);
        const QString message = on ? QStringLiteral("Launch at Login could not be turned off: %1")
                                   : QStringLiteral("Launch at Login could not be turned on: %1");
        if (host_) host_->showSettingsMessage(message.arg(error));
    }
    report(key, on);
    updateResetButtonState();
}

QWidget* SettingsOverlay::makeSliderRow(const QString& label, double min, double max, double value,
                                        const QString& fmt, double fmtScale, const QString& key) {
    auto* row = new SettingsRowView;
    auto* layout = rowLayout(row);
    QLabel* title = makeTitle(label, titleColor(), row);
    title->setFixedWidth(90);
    layout->addWidget(title, 0, Qt::AlignVCenter);
    layout->addSpacing(4);
    auto* slider = new MiniSlider(min, max, value, row);
    layout->addWidget(slider, 1, Qt::AlignVCenter);
    layout->addSpacing(4);
    const QByteArray format = fmt.toUtf8();
    QLabel* valueLabel = makeLabel(QString::asprintf(format.constData(), value * fmtScale),
                                   chrome::monoFont(9), chrome::white(0.5), row);
    valueLabel->setObjectName(QStringLiteral("value"));
    valueLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    valueLabel->setFixedWidth(40);
    layout->addWidget(valueLabel, 0, Qt::AlignVCenter);
    row->setHoverControl(slider);

    // Every step is written and shown; applying it to the program is at most once a frame, and
    // the drag's last value always goes out.
    auto* coalescer = new ReportCoalescer([this, key](const QVariant& v) { report(key, v.toDouble()); },
                                          ReportCoalescer::kFrameMs, row);
    connect(slider, &MiniSlider::valueChanged, row,
            [this, key, valueLabel, format, fmtScale, coalescer](double position) {
                // What is stored and applied is the value the label shows (11pt, not 10.997pt).
                const double v = std::round(position * fmtScale) / fmtScale;
                defaults_.setValue(key, v);
                valueLabel->setText(QString::asprintf(format.constData(), v * fmtScale));
                coalescer->push(v);
                updateResetButtonState();
            });
    connect(slider, &MiniSlider::released, coalescer, &ReportCoalescer::flush);
    return row;
}

QWidget* SettingsOverlay::makeSegmentRow(const QString& label, const QStringList& options, int selected,
                                         const QString& key, std::function<void(int)> onChange,
                                         bool disabled) {
    auto* row = new SettingsRowView;
    auto* layout = rowLayout(row);
    layout->addWidget(makeTitle(label, disabled ? dimmedTitleColor() : titleColor(), row), 1,
                      Qt::AlignVCenter);
    auto* control = new SegmentedControl(options, selected, row);
    layout->addWidget(control, 0, Qt::AlignVCenter);
    if (disabled) {
        control->setEnabled(false);
        chrome::setWidgetAlpha(control, 0.35);
        return row;
    }
    row->setHoverControl(control);
    connect(control, &SegmentedControl::segmentClicked, row, [this, key, onChange](int i) {
        defaults_.setValue(key, i);
        report(key, i);
        updateResetButtonState();
        if (onChange) onChange(i);
    });
    return row;
}
