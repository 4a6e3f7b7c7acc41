#pragma once

#include <QWidget>
#include <functional>

// The window's content: the background of the drop-down window with the tinted arrow strip along
// its top while the window is docked, and the place of the header, the tab pages and the footer,
// which its owner lays out whenever the size changes.
class ContentView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kArrowStripHeight = 10;

    explicit ContentView(QWidget* parent = nullptr);

    // Whether the arrow strip is drawn (the window hangs under the tray icon).
    void setArrowStripVisible(bool visible);
    bool isArrowStripVisible() const { return arrowStrip_; }

    std::function<void()> onResized;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool arrowStrip_ = true;
};
