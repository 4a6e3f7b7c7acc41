#include "webpicker/PickListView.h"

#include "chrome/ChromeStyle.h"
#include "chrome/FlippedClipView.h"
#include "localisation/Loc.h"
#include "webpicker/PickListModel.h"
#include "webpicker/PickRowView.h"
#include "webpicker/SidebarStyle.h"
#include "webpicker/WebPickerSidebarView.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>

using namespace sidebarstyle;

namespace {

QString loc(const char* key) {
    return QString::fromStdString(Loc::t(key));
}

} // namespace

PickListView::PickListView(PickListModel& model, QWidget* parent) : QWidget(parent), model_(model) {
    headerLabel_ = textLabel(loc("picks"), chrome::systemFont(8.5, QFont::Medium), chrome::white(0.35), this);
    clearBtn_ = textButton(loc("resetMarks"), chrome::systemFont(8.5), chrome::white(0.38), this);
    separator_ = line(chrome::white(1.0, 0.07), this);
    setHeaderShown(false);
    scrollView_ = new FlippedClipView(this);
    stack_ = new QWidget;
    stackLayout_ = new QVBoxLayout(stack_);
    stackLayout_->setContentsMargins(0, 0, 0, 0);
    stackLayout_->setSpacing(2);
    // Rows take the list's whole width (a leading alignment would shrink them to their hint).
    stackLayout_->setAlignment(Qt::AlignTop);
    scrollView_->setDocument(stack_);
    feedbackLabel_ =
        textLabel(QString(), chrome::systemFont(9.5, QFont::Medium), WebPickerSidebarView::teal(), this);
    feedbackLabel_->hide();

    QObject::connect(clearBtn_, &QPushButton::clicked, &model_, &PickListModel::resetMarks);
    QObject::connect(&model_, &PickListModel::added, this, &PickListView::addRow);
    QObject::connect(&model_, &PickListModel::removed, this, &PickListView::removeRow);
    QObject::connect(&model_, &PickListModel::cleared, this, &PickListView::clearRows);
    QObject::connect(&model_, &PickListModel::pickingChanged, this, [this](bool picking) {
        if (picking) hideFeedback();
    });
    QObject::connect(&model_, &PickListModel::picked, this, [this] { showCopiedFeedback(); });
}

PickListView::~PickListView() {
    // The rows call into this view; they go while all of it is still there.
    delete scrollView_;
    scrollView_ = nullptr;
}

QList<PickRowView*> PickListView::rows() const {
    QList<PickRowView*> rows;
    for (int i = 0; i < stackLayout_->count(); ++i)
        if (auto* row = qobject_cast<PickRowView*>(stackLayout_->itemAt(i)->widget())) rows << row;
    return rows;
}

bool PickListView::isHeaderShown() const {
    return !headerLabel_->isHidden() && !separator_->isHidden() && !clearBtn_->isHidden();
}

void PickListView::setHeaderShown(bool shown) {
    headerLabel_->setVisible(shown);
    separator_->setVisible(shown);
    clearBtn_->setVisible(shown);
}

void PickListView::relabel() {
    headerLabel_->setText(loc("picks"));
    clearBtn_->setText(loc("resetMarks"));
    layoutBlock();
}

void PickListView::addRow(const PickEntry& entry) {
    // Rows live inside this view and run their callbacks themselves: both are there when one runs.
    auto* row = new PickRowView(entry, stack_);
    const qint64 id = entry.id;
    const QString hex = entry.hex;
    const QString selector = entry.selector;
    row->onRightClick = [this, id](QString html, QString sel, QString text, QString xpath, QPoint at) {
        showMenu(html, sel, text, xpath, id, at);
    };
    const QPointer<PickRowView> guard(row);
    row->onStylesRequested = [this, guard](qint64 pickId) {
        model_.fetchComputedStyle(pickId, [guard](const QString& style) {
            if (guard) guard->showStyles(style);
        });
    };
    row->onHighlight = [this, id, hex, selector] { model_.highlight(id, hex, selector); };
    row->onUnhighlight = [this, id, selector] { model_.unhighlight(id, selector); };
    row->onCopied = [this] { showCopiedFeedback(); };
    row->onRemove = [this, id] { model_.remove(id); };
    stackLayout_->addWidget(row);
    row->show();
    if (model_.picks().size() == 1) setHeaderShown(true);
}

void PickListView::removeRow(qint64 id) {
    for (PickRowView* row : rows()) {
        if (row->currentPickId() != id) continue;
        stackLayout_->removeWidget(row);
        row->hide();
        row->deleteLater();
    }
}

void PickListView::clearRows() {
    while (QLayoutItem* item = stackLayout_->takeAt(0)) {
        if (QWidget* row = item->widget()) {
            row->hide();
            row->deleteLater();
        }
        delete item;
    }
    setHeaderShown(false);
}

void PickListView::showMenu(const QString& html, const QString& selector, const QString& innerText,
                            const QString& xpath, qint64 pickId, const QPoint& at) {
    if (menu_) menu_->deleteLater();
    menu_ = new QMenu(this);
    menu_->setAttribute(Qt::WA_DeleteOnClose);
    const QPointer<PickListView> self(this);
    auto copyItem = [&](const QString& title, const QString& text) {
        QAction* action = menu_->addAction(title);
        QObject::connect(action, &QAction::triggered, this, [self, text] {
            if (self) self->copyText(text);
        });
        return action;
    };
    QAction* outer = copyItem(QStringLiteral("outerHTML"), html);
    outer->setCheckable(true);
    outer->setChecked(true);
    copyItem(QStringLiteral("innerText"), innerText);
    copyItem(QStringLiteral("CSS Selector"), selector);
    copyItem(QStringLiteral("XPath"), xpath);
    menu_->addSeparator();
    QAction* shot = menu_->addAction(loc("webPickerCopyScreenshot"));
    QObject::connect(shot, &QAction::triggered, this, [self, pickId] {
        if (self) self->copyScreenshot(pickId);
    });
    menu_->popup(at);
}

void PickListView::copyText(const QString& text) {
    if (text.isEmpty()) return showFeedback(QStringLiteral("–– not available"), kNotAvailableMs);
    QGuiApplication::clipboard()->setText(text);
    showCopiedFeedback();
}

void PickListView::copyScreenshot(qint64 pickId) {
    feedbackLabel_->setText(QStringLiteral("📷 capturing…"));
    feedbackLabel_->show();
    layoutBlock();
    const QPointer<PickListView> self(this);
    model_.captureScreenshot(pickId, [self](std::optional<QImage> image) {
        if (!self) return;
        if (image) {
            QGuiApplication::clipboard()->setImage(*image);
            self->showFeedback(QStringLiteral("✓ Screenshot kopiert!"), kCopiedFeedbackMs);
        } else {
            self->showFeedback(QStringLiteral("⚠ Element nicht sichtbar"), kCopiedFeedbackMs);
        }
    });
}

void PickListView::showFeedback(const QString& text, int hideAfterMs) {
    feedbackLabel_->setText(text);
    feedbackLabel_->show();
    layoutBlock();
    QTimer::singleShot(hideAfterMs, this, [this] { feedbackLabel_->hide(); });
}

void PickListView::showCopiedFeedback() {
    showFeedback(QStringLiteral("✓ Copied!"), kCopiedFeedbackMs);
}

void PickListView::hideFeedback() {
    feedbackLabel_->hide();
}

int PickListView::listTop() const {
    return 8 + headerLabel_->sizeHint().height() + 5 + 1 + 5;
}

void PickListView::place(int top, int width, int listHeight) {
    listHeight_ = listHeight;
    // Laid out at once: a hidden parent gets its resize events only when it is shown.
    setGeometry(0, top, width, listTop() + listHeight_ + 6 + feedbackLabel_->sizeHint().height());
    layoutBlock();
}

void PickListView::layoutBlock() {
    const int w = width();
    const int inner = std::max(0, w - 20);
    const QSize header = headerLabel_->sizeHint();
    headerLabel_->setGeometry(12, 8, header.width(), header.height());
    const QSize clear = clearBtn_->sizeHint();
    const int headerMid = headerLabel_->geometry().center().y();
    clearBtn_->setGeometry(w - 10 - clear.width(), headerMid - clear.height() / 2, clear.width(),
                           clear.height());
    separator_->setGeometry(10, headerLabel_->geometry().bottom() + 1 + 5, inner, 1);
    scrollView_->setGeometry(10, listTop(), inner, listHeight_);
    const QSize feedback = feedbackLabel_->sizeHint();
    feedbackLabel_->setGeometry(12, scrollView_->geometry().bottom() + 1 + 6, feedback.width(),
                                feedback.height());
}
