#pragma once

#include "chrome/DictationControl.h"
#include "chrome/TabItemView.h"

#include <QColor>
#include <QLineEdit>
#include <QList>
#include <QMenu>
#include <QPointF>
#include <QPointer>
#include <QStringList>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <optional>

class EdgeStrip;
class HorizontalScrollArea;
class HoverButton;
class SplitIconButton;
class SymbolHoverButton;

// The bar across the top of the window: the tab strip, the tool buttons of the shown tab's kind
// and the "+" button. It keeps no tab state beyond a cache of what the controller pushed last;
// every action leaves through one of the `on...` callbacks.
class HeaderBarView : public QWidget {
    Q_OBJECT
public:
    static constexpr int barHeight = 34;
    static constexpr int kTabWidth = 160;
    static constexpr int kTabGap = 3;
    static constexpr int kTabHeight = 24;
    static constexpr int kNewTabFadeMs = 250;
    static constexpr int kSlideMs = 200;
    static constexpr int kSettleMs = 150;
    static constexpr int kEdgeWidth = 10;

    explicit HeaderBarView(QWidget* parent = nullptr);
    ~HeaderBarView() override;

    // Tab strip callbacks.
    std::function<void(int)> onTabClicked;
    std::function<void(int)> onCloseTab;
    std::function<void(int, int)> onReorderTab;                    // from, to
    std::function<void(int)> onTabDoubleClicked;                   // kept for the controller; never run here
    std::function<void(int, std::optional<QString>)> onTabRenamed; // no name: the default
    // Tool buttons and the bar itself.
    std::function<void()> onAddTab;
    std::function<void()> onAddEditorTab;
    std::function<void()> onSplitVertical;
    std::function<void()> onSplitHorizontal;
    std::function<void()> onGitToggle;
    std::function<void()> onWebPickerToggle;
    std::function<void()> onSSHToggle;
    std::function<void()> onFileOpen;
    std::function<void()> onFileSave;
    std::function<void()> onFileSaveAs;
    std::function<void()> onPreviewToggle;
    std::function<void(const QUrl&)> onFileDropped;
    std::function<void()> onDoubleClick;

    // State pushed in by the controller. updateTabs rebuilds the strip only when a value changed;
    // a missing title shows "~", a missing or invalid colour white 0.5, a missing bell flag none.
    // While a tab is dragged or renamed the call is dropped; the strip refreshes when that ends.
    void updateTabs(int count, int activeIndex, const QStringList& titles, const QList<QColor>& colors,
                    const QList<bool>& bellFlags);
    void setGitActive(bool active);
    void setWebPickerActive(bool active);
    void setSSHActive(bool active);
    void setSplitActive(bool vertical, bool active);
    void resetSplitButtons();
    void setFileButtonsVisible(bool visible);
    void setPreviewButtonVisible(bool visible);
    void setPreviewActive(bool active);
    void updateMicButton(const DictationState& state);
    // The key held to dictate, as the microphone button's tooltip names it.
    void setPushToTalkKeyName(const QString& name);
    void startEditingTab(int index, const QString& currentTitle);
    void finishEditingTab();
    void refreshLanguage();

    // The drag protocol between a tab item and the strip.
    void handleDragMoved(int tabIndex, qreal deltaX);
    void handleDragEnded(int tabIndex);

    // Read access for the owner and for tests.
    const QList<QPointer<TabItemView>>& tabItems() const { return tabItems_; }
    QWidget* tabContainer() const { return tabContainer_; }
    HorizontalScrollArea* tabScrollView() const { return tabScrollView_; }
    QLineEdit* editField() const { return editField_; }
    std::optional<int> editingTabIndex() const { return editingTabIndex_; }
    bool isDraggingTab() const { return draggedTab_ != nullptr; }
    QList<int> dragSlotOrder() const { return dragSlotOrder_; }
    int dragCurrentSlot() const { return dragCurrentSlot_; }
    bool dropHighlight() const { return dropHighlight_; }
    QMenu* newTabMenu() const { return newTabMenu_; }
    HoverButton* addButton() const { return addBtn_; }
    HoverButton* gitButton() const { return gitBtn_; }
    HoverButton* webPickerButton() const { return webPickerBtn_; }
    HoverButton* sshButton() const { return sshBtn_; }
    SplitIconButton* splitVButton() const { return splitVBtn_; }
    SplitIconButton* splitHButton() const { return splitHBtn_; }
    SymbolHoverButton* micButton() const { return micBtn_; }
    SymbolHoverButton* fileOpenButton() const { return fileOpenBtn_; }
    SymbolHoverButton* fileSaveButton() const { return fileSaveBtn_; }
    SymbolHoverButton* fileSaveAsButton() const { return fileSaveAsBtn_; }
    SymbolHoverButton* previewButton() const { return previewBtn_; }
    // The tool buttons from left to right, shown or not.
    QList<QWidget*> toolButtons() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What the file and preview setters last showed; the controller repeats them every two seconds.
    std::optional<bool> fileButtonsVisible_;
    std::optional<bool> previewButtonVisible_;
    QString pushToTalkKeyName_;
    void buildButtons();
    void applyTooltips();
    void layoutBar();
    void showNewTabMenu();
    void micClicked();
    void forceRefresh();
    void cancelEditingTab();
    void removeEditField();
    void slideTab(TabItemView* tab, qreal x, int durationMs, bool easeInOut, std::function<void()> done = {});
    bool inEdgeStrip(const QPointF& p) const;
    void setDropHighlight(bool on);
    TabItemView* tabWithIndex(int index) const;
    qreal pitch() const { return currentTabW_ + kTabGap; }

    QPointF dragOffset_;
    bool dropHighlight_ = false;
    QWidget* dropOverlay_ = nullptr;
    QWidget* tabContainer_ = nullptr;
    HorizontalScrollArea* tabScrollView_ = nullptr;
    HoverButton* addBtn_ = nullptr;
    SymbolHoverButton* fileOpenBtn_ = nullptr;
    SymbolHoverButton* fileSaveBtn_ = nullptr;
    SymbolHoverButton* fileSaveAsBtn_ = nullptr;
    SymbolHoverButton* previewBtn_ = nullptr;
    SplitIconButton* splitVBtn_ = nullptr;
    SplitIconButton* splitHBtn_ = nullptr;
    HoverButton* gitBtn_ = nullptr;
    HoverButton* webPickerBtn_ = nullptr;
    HoverButton* sshBtn_ = nullptr;
    SymbolHoverButton* micBtn_ = nullptr;
    EdgeStrip* leftEdge_ = nullptr;
    EdgeStrip* rightEdge_ = nullptr;
    QPointer<QMenu> newTabMenu_;
    bool previewActive_ = false;

    // Tab strip.
    QList<QPointer<TabItemView>> tabItems_;
    QStringList lastTitles_;
    int lastActiveIndex_ = -1;
    int lastCount_ = 0;
    QList<QColor> lastColors_;
    QList<bool> lastBellFlags_;
    int lastScrollWidth_ = 0;
    qreal dragTabOrigX_ = 0;
    qreal currentTabW_ = kTabWidth;
    std::optional<int> editingTabIndex_;
    QPointer<QLineEdit> editField_;
    QPointer<TabItemView> draggedTab_;
    int dragCurrentSlot_ = 0;
    QList<int> dragSlotOrder_;
};
