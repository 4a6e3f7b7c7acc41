#pragma once

#include "settings/SettingsDefaults.h"

#include <QAbstractAnimation>
#include <QLabel>
#include <QList>
#include <QPointer>
#include <QTimer>
#include <QVariant>
#include <QWidget>
#include <functional>

class Defaults;
class FlippedClipView;
class HoverButton;
class SettingsHost;
class SettingsToggle;
class ThemeCardView;

// The settings panel: one scrolling column of rows under a fixed header with a close button, laid
// over the lower part of the window. Every row reads its setting when the panel is built, writes
// the setting itself when the user changes it, and then reports the change through `onChanged`.
// The panel holds no settings of its own; the owner builds a new one each time it opens.
class SettingsOverlay : public QWidget {
    Q_OBJECT
public:
    static constexpr int headerH = 30;
    static constexpr qreal kCornerRadius = 8;

    // Opening and closing, in milliseconds.
    static constexpr int kOpenSlideMs = 140;  // 0.35 s × 0.4, ease-in, still transparent
    static constexpr int kOpenRevealMs = 210; // 0.35 s × 0.6, ease-out, fading in
    static constexpr int kCloseFadeMs = 120;
    static constexpr int kCloseSlideMs = 150;
    static constexpr int kFooterHeight = 44;
    static constexpr int kFooterGap = 10;

    static constexpr int kResetConfirmMs = 4000;
    static constexpr int kConfirmFadeInMs = 200;
    static constexpr int kConfirmFadeOutMs = 150;
    static constexpr int kLanguageCloseDelayMs = 50;
    static constexpr int kLanguageRepostDelayMs = 150;

    // `defaults` is the settings store the rows read and write (the standard one in the program);
    // `host` is the rest of the program, and may be null in which case the steps that need it do
    // nothing. Both must outlive the panel.
    SettingsOverlay(Defaults& defaults, SettingsHost* host, QWidget* parent = nullptr);
    ~SettingsOverlay() override;

    // The 29 settings and their defaults, in order, and the same as a map for registration.
    static const QList<const settings::SettingKey*>& defaultSettings() { return settings::allSettings(); }
    static QVariantMap defaultSettingsMap() { return settings::defaultSettingsMap(); }
    static void registerDefaultSettings(Defaults& defaults);

    // Writes or removes the launch-at-login entry. False when the change could not be made; the
    // reason goes to `error`. `setAutoStart` forwards to `setAutoStartLegacy`, which does the work.
    static bool setAutoStart(bool enabled, QString* error = nullptr);
    static bool setAutoStartLegacy(bool enabled, QString* error = nullptr);

    // Run by the close button (and by a click in the language row).
    std::function<void()> onClose;
    // Run after every change a row makes, with the key and the new value: a bool for switches, a
    // double for sliders, an int for choices and both theme pickers, the name for the bell sound,
    // and "resetDefaults" with true when the user confirms the reset.
    std::function<void(const QString& key, const QVariant& value)> onChanged;

    // Sets the switch titled for `key` ("alwaysOnTop", "autoDim", "hideOnClickOutside",
    // "hideOnDeactivate", "copyOnSelect", "cursorBlink", "autoStartEnabled") to `value`, animated.
    // Writes nothing and reports nothing; any other key changes nothing.
    void updateToggle(const QString& key, bool value);
    // Restyles the reset row after the settings or the window geometry changed.
    void updateResetButtonState();

    // The panel's height for a content area `contentHeight` high: two thirds of what is left
    // above the footer and its gap.
    static int panelHeight(int contentHeight);
    // The frame of the open panel in a content area of `contentSize`, resting on the footer; and
    // the frame it starts from and returns to, hidden behind the footer.
    static QRect openFrame(const QSize& contentSize);
    static QRect hiddenFrame(const QSize& contentSize, int panelHeight);
    // Slides the panel in from behind the footer and fades it in (0.35 s in two phases).
    void animateOpen(const QSize& contentSize);
    // Fades the panel out, then slides it behind the footer; `done` runs at the end (the owner
    // removes the panel there).
    void animateClose(std::function<void()> done);

    // Parts, for the owner and for tests.
    QWidget* headerView() const { return headerView_; }
    HoverButton* closeButton() const { return closeButton_; }
    FlippedClipView* contentScroll() const { return contentScroll_; }
    QWidget* contentDoc() const { return contentDoc_; }
    const QList<QWidget*>& rows() const { return rows_; }
    QWidget* resetRow() const { return resetRow_; }
    QLabel* resetLabel() const { return resetLabel_; }
    QWidget* confirmView() const { return confirmView_; }
    QTimer* resetConfirmTimer() const { return resetConfirmTimer_; }
    const QList<ThemeCardView*>& themeCards() const { return themeCards_; }
    QWidget* themePickerView() const { return themePickerView_; }
    // The pairing code the remote row shows.
    QString pairingCode() const { return pairingCode_; }

    void showResetConfirm();
    void hideResetConfirm();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Row builders, in the order the panel shows them.
    QWidget* makeSectionHeader(const QString& title);
    QWidget* makeLanguageRow();
    QWidget* makeColorThemeRow();
    QWidget* makeSliderRow(const QString& label, double min, double max, double value, const QString& fmt,
                           double fmtScale, const QString& key);
    QWidget* makeSegmentRow(const QString& label, const QStringList& options, int selected,
                            const QString& key, std::function<void(int)> onChange = {},
                            bool disabled = false);
    QWidget* makeToggleRow(const QString& label, const QString& settingsKey);
    QWidget* makePromptThemePicker();
    QWidget* makeBellRow();
    QWidget* makeOSNotificationRow();
    QWidget* makeBellSoundRow();
    QWidget* makeDictationRow();
    QWidget* makeStatusRow();
    QWidget* makeRemoteRow();
    QWidget* makeResetRow();

    void buildRows();
    void buildHeader();
    void layoutHeader();
    void report(const QString& key, const QVariant& value);
    void toggleLaunchAtLogin(SettingsToggle* toggle, bool on);
    void runPanelAnimation(QAbstractAnimation* animation);
    QString storedPairingCode();

    Defaults& defaults_;
    SettingsHost* host_;

    QWidget* headerView_ = nullptr;
    HoverButton* closeButton_ = nullptr;
    QWidget* headerSeparator_ = nullptr;
    FlippedClipView* contentScroll_ = nullptr;
    QWidget* contentDoc_ = nullptr;
    QList<QWidget*> rows_;
    QPointer<QWidget> resetRow_;
    QPointer<QLabel> resetLabel_;
    QList<ThemeCardView*> themeCards_;
    QPointer<QWidget> themePickerView_;
    QPointer<QWidget> confirmView_;
    QPointer<QTimer> resetConfirmTimer_;
    QString pairingCode_;
    QPointer<QAbstractAnimation> panelAnimation_;
};
