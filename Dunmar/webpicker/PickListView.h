#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class FlippedClipView;
class PickListModel;
class PickRowView;
class QLabel;
class QMenu;
class QPushButton;
class QVBoxLayout;
struct PickEntry;

// The picks block of the sidebar: the "PICKS" heading with the reset-marks button, one row per pick
// in a list that scrolls, the menu of a row, and the one-line feedback under the list. It shows the
// pick list model and sends the rows' requests back to it.
class PickListView : public QWidget {
    Q_OBJECT
public:
    explicit PickListView(PickListModel& model, QWidget* parent = nullptr);
    ~PickListView() override;

    QList<PickRowView*> rows() const;
    bool isHeaderShown() const;
    // Shows the text under the list and hides it `hideAfterMs` later.
    void showFeedback(const QString& text, int hideAfterMs);
    void showCopiedFeedback();
    void hideFeedback();
    void relabel();

    // Where the list starts inside the block.
    int listTop() const;
    // Puts the block at `top` in its parent, as wide as that, with a list `listHeight` high.
    void place(int top, int width, int listHeight);

    static constexpr int kCopiedFeedbackMs = 2500;
    static constexpr int kNotAvailableMs = 2000;

private:
    friend class WebPickerTestAccess;

    void addRow(const PickEntry& entry);
    void removeRow(qint64 id);
    void clearRows();
    void setHeaderShown(bool shown);
    void showMenu(const QString& html, const QString& selector, const QString& innerText,
                  const QString& xpath, qint64 pickId, const QPoint& at);
    void copyText(const QString& text);
    void copyScreenshot(qint64 pickId);
    void layoutBlock();

    PickListModel& model_;
    QLabel* headerLabel_;
    QPushButton* clearBtn_;
    QWidget* separator_;
    FlippedClipView* scrollView_;
    QWidget* stack_;
    QVBoxLayout* stackLayout_;
    QLabel* feedbackLabel_;
    QPointer<QMenu> menu_;
    int listHeight_ = 0;
};
