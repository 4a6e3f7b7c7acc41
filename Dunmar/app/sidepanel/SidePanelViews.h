#pragma once

#include <QString>
#include <QWidget>
#include <functional>

// A stand-in for the SSH manager until its subsystem provides it: a panel of the side column that
// shows its name, keeps the state of its move buttons and offers the callbacks the controller wires.
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

class SSHManagerView : public SidePanelView {
    Q_OBJECT
public:
    explicit SSHManagerView(QWidget* parent = nullptr);

    // A stored profile was chosen: its ssh command line (without a line end).
    std::function<void(const QString& connectCommand)> onConnect;
};
