#pragma once

#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <optional>

class Defaults;
class QLabel;
class QWidget;

// The live transcription in a small floating panel just below the window, so the user sees what
// is being recognised before it is inserted. It never takes the keyboard. Built on the first
// `show` and then reused; the controller drives it from the manager's callbacks.
class DictationOverlay {
public:
    static constexpr int kWidth = 320;
    static constexpr int kHeight = 48;
    static constexpr int kGapBelowWindow = 8;
    static constexpr int kAboveScreenBottomWithoutWindow = 60;
    static constexpr int kMinAboveScreenBottom = 4;
    static inline const QString kListening = QStringLiteral("Listening\u2026");

    explicit DictationOverlay(Defaults& defaults);
    ~DictationOverlay();

    // Shows or updates the panel with `text` ("Listening…" when empty) under `window`, or near
    // the bottom of the primary screen without one. Does nothing while the setting
    // "dictationShowOverlay" is stored false.
    void show(const QString& text, QWidget* window);
    // Takes the panel off the screen; it is kept for the next `show`.
    void hide();

    QWidget* panel() const { return panel_; }
    QLabel* label() const { return label_; }

    // Where the panel goes, in Qt's screen coordinates: centred 8 points below `window`, or 60
    // above the bottom of the screen's visible area without a window; never lower than 4 above
    // that bottom. None without a window and without a screen. `desktopBottom` is the bottom edge
    // of the primary screen, from which the placement is measured upwards.
    static std::optional<QPoint> placement(const std::optional<QRect>& window,
                                           const std::optional<QRect>& visible, QSize panel,
                                           qreal desktopBottom);

private:
    void build();

    Defaults& defaults_;
    QPointer<QWidget> panel_;
    QLabel* label_ = nullptr;
};
