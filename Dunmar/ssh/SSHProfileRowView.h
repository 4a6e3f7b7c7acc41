#pragma once

#include "ssh/SSHProfile.h"

#include <QColor>
#include <QWidget>
#include <functional>

class QPushButton;
class QGraphicsOpacityEffect;

// One profile in the SSH panel's list: its name, connection and key file, and the connect, edit and
// delete buttons; the last two show only while the pointer is over the row.
class SSHProfileRowView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHoverFadeMs = 120;

    SSHProfileRowView(const SSHProfile& profile, int rowIndex, const QColor& accent,
                      QWidget* parent = nullptr);

    std::function<void(int)> onConnect;
    std::function<void(int)> onEdit;
    std::function<void(int)> onDelete;

    int rowIndex() const { return rowIndex_; }
    QPushButton* connectButton() const { return connectBtn_; }
    QPushButton* editButton() const { return editBtn_; }
    QPushButton* deleteButton() const { return deleteBtn_; }
    // The opacity of the edit and delete buttons: 0 until the pointer comes.
    double hoverButtonsOpacity() const;
    bool isHovered() const { return hovered_; }

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void setupRow(const SSHProfile& profile);
    void fadeHoverButtons(double to);

    int rowIndex_;
    QColor accent_;
    bool hovered_ = false;
    QPushButton* connectBtn_ = nullptr;
    QPushButton* editBtn_ = nullptr;
    QPushButton* deleteBtn_ = nullptr;
    QGraphicsOpacityEffect* editFade_ = nullptr;
    QGraphicsOpacityEffect* deleteFade_ = nullptr;
};
