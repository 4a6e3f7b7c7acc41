// The tab strip of the header bar: building it from the pushed arrays, dragging tabs to new slots
// and renaming a tab in place.
#include "chrome/ChromeAnimation.h"
#include "chrome/ChromeStyle.h"
#include "chrome/HeaderBarView.h"
#include "chrome/HorizontalScrollArea.h"
#include "chrome/TabItemView.h"
#include "chrome/TabSlots.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPropertyAnimation>

void HeaderBarView::updateTabs(int count, int activeIndex, const QStringList& titles,
                               const QList<QColor>& colors, const QList<bool>& bellFlags) {
    // While a tab is dragged or renamed the strip must stay as it is; these values are dropped.
    if (draggedTab_ || editingTabIndex_) return;
    count = std::max(count, 0);
    if (count == lastCount_ && activeIndex == lastActiveIndex_ && titles == lastTitles_ &&
        colors == lastColors_ && bellFlags == lastBellFlags_)
        return;

    const int previousCount = lastCount_;
    lastCount_ = count;
    lastActiveIndex_ = activeIndex;
    lastTitles_ = titles;
    lastColors_ = colors;
    lastBellFlags_ = bellFlags;
    lastScrollWidth_ = tabScrollView_->width();

    // The click that led here may still be running inside one of these tabs: let them go later.
    for (const QPointer<TabItemView>& old : tabItems_) {
        if (!old) continue;
        old->hide();
        old->deleteLater();
    }
    tabItems_.clear();
    currentTabW_ = kTabWidth;

    QPointer<HeaderBarView> self(this);
    for (int i = 0; i < count; ++i) {
        const QString title = i < titles.size() ? titles[i] : QStringLiteral("~");
        const QColor color = (i < colors.size() && colors[i].isValid()) ? colors[i] : chrome::white(0.5);
        const bool bell = i < bellFlags.size() && bellFlags[i];
        auto* tab = new TabItemView(i, title, i == activeIndex, count != 1, color, bell, tabContainer_);
        tab->onClick = [self, i] {
            if (self && self->onTabClicked) self->onTabClicked(i);
        };
        tab->onClose = [self, i] {
            if (self && self->onCloseTab) self->onCloseTab(i);
        };
        tab->onDoubleClick = [self, title](int k) {
            if (self) self->startEditingTab(k, title);
        };
        tab->onDragMoved = [self](int k, qreal dx) {
            if (self) self->handleDragMoved(k, dx);
        };
        tab->onDragEnded = [self](int k) {
            if (self) self->handleDragEnded(k);
        };
        tab->setGeometry(static_cast<int>(pitch() * i), 0, static_cast<int>(currentTabW_), kTabHeight);
        if (previousCount < count && i == activeIndex) {
            chrome::setWidgetAlpha(tab, 0.0);
            chrome::fadeWidget(tab, 1.0, kNewTabFadeMs, chrome::easeOutCurve());
        }
        tab->show();
        tabItems_ << tab;
    }
    tabContainer_->resize(static_cast<int>(pitch() * count), kTabHeight);

    if (activeIndex >= 0 && activeIndex < tabItems_.size()) {
        const QRect frame = tabItems_[activeIndex]->geometry();
        tabScrollView_->ensureVisible(frame.center().x(), frame.center().y(), frame.width() / 2 + 1, 0);
    }
}

void HeaderBarView::forceRefresh() {
    // Rebuilding now would only be dropped; the end of the drag or rename refreshes anyway.
    if (draggedTab_ || editingTabIndex_) return;
    const int count = lastCount_;
    const QStringList titles = lastTitles_;
    const QList<QColor> colors = lastColors_;
    const QList<bool> bells = lastBellFlags_;
    lastCount_ = 0;
    updateTabs(count, lastActiveIndex_, titles, colors, bells);
}

TabItemView* HeaderBarView::tabWithIndex(int index) const {
    for (const QPointer<TabItemView>& tab : tabItems_)
        if (tab && tab->tabIndex() == index) return tab;
    return nullptr;
}

void HeaderBarView::slideTab(TabItemView* tab, qreal x, int durationMs, bool easeInOut,
                             std::function<void()> done) {
    if (auto* running =
            tab->findChild<QPropertyAnimation*>(QStringLiteral("slide"), Qt::FindDirectChildrenOnly)) {
        running->stop();
        delete running;
    }
    auto* slide = new QPropertyAnimation(tab, "pos", tab);
    slide->setObjectName(QStringLiteral("slide"));
    slide->setEndValue(QPoint(static_cast<int>(std::lround(x)), tab->y()));
    slide->setDuration(durationMs);
    slide->setEasingCurve(easeInOut ? chrome::easeInOutCurve() : chrome::easeOutCurve());
    connect(slide, &QPropertyAnimation::finished, this, [slide, done] {
        slide->deleteLater();
        if (done) done();
    });
    slide->start();
}

void HeaderBarView::handleDragMoved(int tabIndex, qreal deltaX) {
    const int n = static_cast<int>(tabItems_.size());
    if (!draggedTab_) {
        TabItemView* tab = tabWithIndex(tabIndex);
        if (!tab) return;
        draggedTab_ = tab;
        dragCurrentSlot_ = tabIndex;
        dragTabOrigX_ = pitch() * tabIndex;
        dragSlotOrder_.clear();
        for (int i = 0; i < n; ++i) dragSlotOrder_ << i;
        tab->raise();
    }
    const qreal x = tabslots::clampedX(dragTabOrigX_, deltaX, pitch(), n);
    draggedTab_->move(static_cast<int>(std::lround(x)), draggedTab_->y());

    const int slot = tabslots::slotFor(x, currentTabW_, pitch(), n);
    if (slot == dragCurrentSlot_) return;
    dragSlotOrder_ = tabslots::moved(dragSlotOrder_, dragCurrentSlot_, slot, draggedTab_->tabIndex());
    for (int position = 0; position < dragSlotOrder_.size(); ++position) {
        TabItemView* tab = tabWithIndex(dragSlotOrder_[position]);
        if (tab && tab != draggedTab_) slideTab(tab, pitch() * position, kSlideMs, true);
    }
    dragCurrentSlot_ = slot;
}

void HeaderBarView::handleDragEnded(int tabIndex) {
    if (!draggedTab_) return;
    const int finalSlot = dragCurrentSlot_;
    TabItemView* tab = draggedTab_;
    draggedTab_ = nullptr;
    dragSlotOrder_.clear();
    const bool moved = finalSlot != tabIndex;
    QPointer<HeaderBarView> self(this);
    slideTab(tab, pitch() * finalSlot, kSettleMs, false, [self, moved] {
        if (self && moved) self->forceRefresh();
    });
    if (moved && onReorderTab) onReorderTab(tabIndex, finalSlot);
}

void HeaderBarView::startEditingTab(int index, const QString& currentTitle) {
    finishEditingTab();
    TabItemView* tab = tabWithIndex(index);
    // Recording the index without a field would leave the strip frozen: updateTabs drops every
    // push while a rename is open, and nothing could close this one.
    if (!tab) return;
    editingTabIndex_ = index;

    auto* field = new QLineEdit(tabContainer_);
    field->setText(currentTitle);
    field->setFont(chrome::monoFont(10, QFont::Medium));
    field->setAlignment(Qt::AlignCenter);
    field->setFrame(false);
    field->setAttribute(Qt::WA_MacShowFocusRect, false);
    const QColor border = chrome::withAlpha(tab->tabColor(), 0.6);
    // The field's colours follow the chrome's greys, so that on the light theme it is a light field
    // with dark text and caret (Qt draws the caret in the text colour).
    const QColor fieldBg = chrome::white(0.15);
    const QColor fieldText = chrome::white(1.0);
    field->setStyleSheet(
        QStringLiteral("QLineEdit { background: %5; color: %6; border: 1px solid "
                       "rgba(%1, %2, %3, %4); border-radius: 3px; padding: 0 2px;"
                       " selection-background-color: rgba(77, 140, 255, 180); }")
            .arg(border.red())
            .arg(border.green())
            .arg(border.blue())
            .arg(border.alpha())
            .arg(fieldBg.name(), fieldText.name()));
    field->setGeometry(tab->geometry().adjusted(2, 0, -2, 0));
    field->installEventFilter(this);
    editField_ = field;
    field->show();
    field->raise();
    field->selectAll();
    field->setFocus(Qt::OtherFocusReason);
}

void HeaderBarView::removeEditField() {
    QLineEdit* field = editField_;
    editingTabIndex_.reset();
    editField_ = nullptr;
    if (!field) return;
    field->removeEventFilter(this);
    field->hide();
    field->deleteLater();
}

void HeaderBarView::finishEditingTab() {
    if (!editingTabIndex_ || !editField_) return;
    const int index = *editingTabIndex_;
    const QString name = editField_->text().trimmed();
    removeEditField();
    if (onTabRenamed) onTabRenamed(index, name.isEmpty() ? std::nullopt : std::optional<QString>(name));
    forceRefresh();
}

void HeaderBarView::cancelEditingTab() {
    if (!editingTabIndex_) return;
    removeEditField();
    forceRefresh();
}

bool HeaderBarView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == editField_) {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                finishEditingTab();
                return true;
            }
            if (key->key() == Qt::Key_Escape) {
                cancelEditingTab();
                return true;
            }
        } else if (event->type() == QEvent::FocusOut) {
            finishEditingTab();
        }
    }
    return QWidget::eventFilter(watched, event);
}
