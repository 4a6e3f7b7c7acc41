#pragma once

#include <QWidget>
#include <functional>

// The base of the controller's toasts: a view that runs its action when clicked and then takes
// itself away, with the pointing hand over it. Content, colours and placement are the creator's.
class ClickableToastView : public QWidget {
    Q_OBJECT
public:
    explicit ClickableToastView(QWidget* parent = nullptr);

    std::function<void()> onClick;

protected:
    void mousePressEvent(QMouseEvent* event) override;
};
