#pragma once

#include <QString>
#include <QWidget>
#include <functional>

// Stand-in for the web element picker's sidebar until its subsystem provides it: panels of the side column that show their name, keep the state of their move
// buttons and offer the callbacks the controller wires. They connect to nothing.
class SidePanelView : public QWidget {
    Q_OBJECT
public:
    SidePanelView(const QString& title, QWidget* parent);

    std::function<void()> onClose;
    std::function<void()> onMoveUp;
    std::function<void()> onMoveDown;

    void setMoveButtonsEnabled(bool up, bool down);
    bool isMoveUpEnabled() const { return moveUp_; }
    bool isMoveDownEnabled() const { return moveDown_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString title_;
    bool moveUp_ = false;
    bool moveDown_ = false;
};

class WebPickerSidebarView : public SidePanelView {
    Q_OBJECT
public:
    explicit WebPickerSidebarView(QWidget* parent = nullptr);

    // The browser's DevTools connection comes with the picker; here it is only remembered.
    void connect();
    void disconnect();
    bool isConnecting() const { return connecting_; }
    std::function<void()> onConnected;

private:
    bool connecting_ = false;
};
