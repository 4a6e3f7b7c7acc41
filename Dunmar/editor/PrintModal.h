#pragma once

#include "editor/PrintChoices.h"

#include <QWidget>
#include <functional>
#include <vector>

class BaseHoverButton;
class QPushButton;

// The print panel over the window's content: a dimmed backdrop and, in its middle, one large
// button per way of printing and a cancel button. It leaves only through its buttons: clicks and
// scrolling on the backdrop reach nothing below, and it never takes the keyboard.
class PrintModal : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPanelWidth = 320;
    static constexpr int kFadeInMs = 150;
    static constexpr int kFadeOutMs = 120;
    // The panel is 44 per option plus 142 high.
    static int panelHeight(int options) { return 44 * options + 142; }

    // Builds the modal over the whole of `host` and fades it in; it stays until it dismisses itself.
    static PrintModal* show(QWidget* host, const std::vector<PrintOption>& options,
                            std::function<void(const PrintAction&)> onSelect, std::function<void()> onCancel);

    QWidget* panel() const { return panel_; }
    const std::vector<BaseHoverButton*>& optionButtons() const { return buttons_; }
    QPushButton* cancelButton() const { return cancel_; }

    // Fades out and removes itself.
    void dismissAnimated(std::function<void()> then = {});
    void cancelTapped();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    explicit PrintModal(QWidget* host);
    void build(const std::vector<PrintOption>& options);
    void centerPanel();

    QWidget* panel_ = nullptr;
    std::vector<BaseHoverButton*> buttons_;
    QPushButton* cancel_ = nullptr;
    std::function<void(const PrintAction&)> onSelect_;
    std::function<void()> onCancel_;
    bool dismissing_ = false;
};
