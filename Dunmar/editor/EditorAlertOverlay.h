#pragma once

#include <QWidget>
#include <functional>

class QLabel;
class QProgressBar;

// A dimming overlay with a centred panel, over the editor area: a warning that a file cannot be
// opened, or the progress of a file loading in the background with a cancel button. Clicks and
// scrolling never reach what lies below while it is shown.
class EditorAlertOverlay : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPanelWidth = 320;
    static constexpr int kWarningHeight = 170;
    static constexpr int kLoadingHeight = 152;
    static constexpr int kFadeMs = 150;

    static EditorAlertOverlay* warning(const QString& filename, const QString& reason,
                                       std::function<void()> onDismiss, QWidget* parent = nullptr);
    static EditorAlertOverlay* loading(const QString& filename, qint64 fileSize,
                                       std::function<void()> onCancel, QWidget* parent = nullptr);
    // "1024 KB", "1.0 MB": megabytes only above 1 MiB.
    static QString sizeText(qint64 fileSize);

    QWidget* panel() const { return panel_; }
    QProgressBar* progressBar() const { return progressBar_; }
    QLabel* pctLabel() const { return pctLabel_; }
    QWidget* actionButton() const { return actionButton_; }

    void updateProgress(double fraction);
    // Fades out, removes itself, then runs `completion`.
    void dismissAnimated(std::function<void()> completion = {});
    bool isDismissing() const { return dismissing_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    explicit EditorAlertOverlay(QWidget* parent);
    void buildPanel(int height);
    QWidget* makeActionButton(const QString& title, int width, int height, std::function<void()> action);

    QWidget* panel_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QLabel* pctLabel_ = nullptr;
    QWidget* actionButton_ = nullptr;
    bool dismissing_ = false;
};
