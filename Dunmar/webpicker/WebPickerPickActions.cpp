// The picker sidebar's pick rows and what they do: tint the element, show its computed style, copy
// its markup, text, selector, XPath or a screenshot of it.
#include "chrome/FlippedClipView.h"
#include "localisation/Loc.h"
#include "webpicker/ChromeCDPClient.h"
#include "webpicker/PageScripts.h"
#include "webpicker/PickRowView.h"
#include "webpicker/WebPickerSidebarView.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QJsonObject>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QVBoxLayout>

namespace {

void ignoreAnswer(std::optional<QJsonObject>) {}

constexpr int kCopiedFeedbackMs = 2500;
constexpr int kNotAvailableMs = 2000;

} // namespace

void WebPickerSidebarView::addPickRow(const PickEntry& entry) {
    // Rows live inside the sidebar and run their callbacks themselves: both are there when one runs.
    auto* row = new PickRowView(entry, picksStack_);
    const qint64 id = entry.id;
    const QString hex = entry.hex;
    const QString selector = entry.selector;
    row->onRightClick = [this, id](QString html, QString sel, QString text, QString xpath, QPoint at) {
        showPickMenu(html, sel, text, xpath, id, at);
    };
    row->onStylesRequested = [this](qint64 pickId) { fetchComputedStyle(pickId); };
    row->onHighlight = [this, id, hex, selector] { highlightPick(id, hex, selector); };
    row->onUnhighlight = [this, id, selector] { unhighlightPick(id, selector); };
    row->onCopied = [this] { showCopiedFeedback(); };
    row->onRemove = [this, id, row] { removePick(id, row); };
    picksStackLayout_->addWidget(row);
    row->show();
}

void WebPickerSidebarView::highlightPick(qint64 id, const QString& hex, const QString& selector) {
    cdp_->evaluate(pagescripts::highlightScript(id, selector, hex), ignoreAnswer);
}

void WebPickerSidebarView::unhighlightPick(qint64 id, const QString& selector) {
    cdp_->evaluate(pagescripts::unhighlightScript(id, selector), ignoreAnswer);
}

void WebPickerSidebarView::fetchComputedStyle(qint64 pickId) {
    const QPointer<WebPickerSidebarView> self(this);
    cdp_->evaluate(pagescripts::styleScript(pickId), [self, pickId](std::optional<QJsonObject> answer) {
        if (!self || !answer) return;
        const QJsonValue result = answer->value(QLatin1String("result"));
        if (!result.isObject()) return;
        const QJsonValue value = result.toObject().value(QLatin1String("value"));
        if (!value.isString() || value.toString().isEmpty()) return;
        for (PickRowView* row : self->pickRows()) {
            if (row->currentPickId() != pickId) continue;
            row->showStyles(value.toString());
            return;
        }
    });
}

void WebPickerSidebarView::showPickMenu(const QString& html, const QString& selector,
                                        const QString& innerText, const QString& xpath, qint64 pickId,
                                        const QPoint& at) {
    if (pickMenu_) pickMenu_->deleteLater();
    pickMenu_ = new QMenu(this);
    pickMenu_->setAttribute(Qt::WA_DeleteOnClose);
    const QPointer<WebPickerSidebarView> self(this);
    auto copyItem = [&](const QString& title, const QString& text) {
        QAction* action = pickMenu_->addAction(title);
        QObject::connect(action, &QAction::triggered, this, [self, text] {
            if (self) self->menuCopyAny(text);
        });
        return action;
    };
    QAction* outer = copyItem(QStringLiteral("outerHTML"), html);
    outer->setCheckable(true);
    outer->setChecked(true);
    copyItem(QStringLiteral("innerText"), innerText);
    copyItem(QStringLiteral("CSS Selector"), selector);
    copyItem(QStringLiteral("XPath"), xpath);
    pickMenu_->addSeparator();
    QAction* shot = pickMenu_->addAction(QString::fromStdString(Loc::t("webPickerCopyScreenshot")));
    QObject::connect(shot, &QAction::triggered, this, [self, pickId] {
        if (self) self->triggerElementScreenshot(pickId);
    });
    pickMenu_->popup(at);
}

void WebPickerSidebarView::menuCopyAny(const QString& text) {
    if (text.isEmpty()) return showFeedback(QStringLiteral("–– not available"), kNotAvailableMs);
    QGuiApplication::clipboard()->setText(text);
    showCopiedFeedback();
}

void WebPickerSidebarView::triggerElementScreenshot(qint64 pickId) {
    feedbackLabel_->setText(QStringLiteral("📷 capturing…"));
    feedbackLabel_->show();
    layoutContents();
    const QPointer<WebPickerSidebarView> self(this);
    cdp_->captureElementScreenshot(pickId, [self](std::optional<QByteArray> png) {
        if (!self) return;
        QImage image;
        if (png && image.loadFromData(*png, "PNG")) {
            QGuiApplication::clipboard()->setImage(image);
            self->showFeedback(QStringLiteral("✓ Screenshot kopiert!"), kCopiedFeedbackMs);
        } else {
            self->showFeedback(QStringLiteral("⚠ Element nicht sichtbar"), kCopiedFeedbackMs);
        }
    });
}

void WebPickerSidebarView::showFeedback(const QString& text, int hideAfterMs) {
    feedbackLabel_->setText(text);
    feedbackLabel_->show();
    layoutContents();
    QTimer::singleShot(hideAfterMs, this, [this] { feedbackLabel_->hide(); });
}

void WebPickerSidebarView::showCopiedFeedback() {
    showFeedback(QStringLiteral("✓ Copied!"), kCopiedFeedbackMs);
}
