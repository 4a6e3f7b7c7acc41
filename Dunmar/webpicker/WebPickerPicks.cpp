// The picker sidebar's picks: picking an element in the page, the list of picks and its storage.
#include "localisation/Loc.h"
#include "platform/Defaults.h"
#include "webpicker/ChromeCDPClient.h"
#include "webpicker/PageScripts.h"
#include "webpicker/PickRowView.h"
#include "webpicker/WebPickerSidebarView.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kPicksKey = QStringLiteral("webPickerPicks");

QString loc(const char* key) {
    return QString::fromStdString(Loc::t(key));
}

void ignoreAnswer(std::optional<QJsonObject>) {}

} // namespace

QList<PickRowView*> WebPickerSidebarView::pickRows() const {
    QList<PickRowView*> rows;
    for (int i = 0; i < picksStackLayout_->count(); ++i)
        if (auto* row = qobject_cast<PickRowView*>(picksStackLayout_->itemAt(i)->widget())) rows << row;
    return rows;
}

bool WebPickerSidebarView::isPickListHeaderShown() const {
    return !picksHeaderLabel_->isHidden() && !picksSep_->isHidden() && !clearPicksBtn_->isHidden();
}

void WebPickerSidebarView::showPickListHeader(bool shown) {
    picksHeaderLabel_->setVisible(shown);
    picksSep_->setVisible(shown);
    clearPicksBtn_->setVisible(shown);
}

void WebPickerSidebarView::resetPickButton() {
    pickBtn_->setText(loc("pickElement"));
    pickBtn_->setEnabled(true);
    styleTealButton(pickBtn_, true);
}

void WebPickerSidebarView::startPicking() {
    pickBtn_->setText(loc("waitingForClick"));
    pickBtn_->setEnabled(false);
    styleTealButton(pickBtn_, false);
    feedbackLabel_->hide();
    cdp_->evaluate(pagescripts::resetScript(), ignoreAnswer);
    const QPointer<WebPickerSidebarView> self(this);
    cdp_->evaluate(pagescripts::pickerScript(), [self](std::optional<QJsonObject>) {
        if (!self) return;
        if (self->pollTimer_) {
            self->pollTimer_->stop();
            self->pollTimer_->deleteLater();
        }
        self->pollTimer_ = new QTimer(self);
        self->pollTimer_->setInterval(self->pickPollIntervalMs_);
        QObject::connect(self->pollTimer_, &QTimer::timeout, self, &WebPickerSidebarView::pollPick);
        self->pollTimer_->start();
    });
}

void WebPickerSidebarView::pollPick() {
    const QPointer<WebPickerSidebarView> self(this);
    cdp_->evaluate(pagescripts::pollScript(), [self](std::optional<QJsonObject> answer) {
        // A pick that has been taken over, or a reset meanwhile, leaves no poll to answer to.
        if (!self || !self->pollTimer_ || !answer) return;
        const QJsonValue result = answer->value(QLatin1String("result"));
        if (!result.isObject()) return;
        const QJsonValue value = result.toObject().value(QLatin1String("value"));
        if (!value.isString() || value.toString().isEmpty()) return;
        const QJsonDocument doc = QJsonDocument::fromJson(value.toString().toUtf8());
        if (!doc.isObject()) return;
        const QJsonValue html = doc.object().value(QLatin1String("html"));
        if (!html.isString() || html.toString().isEmpty()) return;
        self->pollTimer_->stop();
        self->pollTimer_->deleteLater();
        self->pollTimer_ = nullptr;
        const QJsonObject meta = doc.object().value(QLatin1String("meta")).toObject();
        auto text = [&meta](const char* key) { return meta.value(QLatin1String(key)).toString(); };
        self->onHTMLPicked(html.toString(), text("selector"), text("innerText"), text("xpath"));
    });
}

void WebPickerSidebarView::onHTMLPicked(const QString& html, const QString& selector,
                                        const QString& innerText, const QString& xpath) {
    if (picks_.size() >= kMaxPicks) {
        cdp_->evaluate(pagescripts::unmarkScript(picks_.front().id), ignoreAnswer);
        picks_.erase(picks_.begin());
        if (QLayoutItem* item = picksStackLayout_->takeAt(0)) {
            if (QWidget* row = item->widget()) row->deleteLater();
            delete item;
        }
    }
    const qint64 id = nextPickId_++;
    const PickColor& colour = pickColorFor(id);
    picks_.push_back({id, html, colour.hex, colour.color, selector, innerText, xpath});
    cdp_->evaluate(pagescripts::markScript(id), ignoreAnswer);
    addPickRow(picks_.back());
    savePicksToDisk();
    if (picks_.size() == 1) showPickListHeader(true);
    resetPickButton();
    // The markup goes to the clipboard. It is pasted only into one of our own terminals, through the
    // terminal's paste (bracketed when the program asked for it): a synthetic keystroke into
    // whatever application has the focus could run an untrusted page's lines in a shell.
    QGuiApplication::clipboard()->setText(html);
    const QPointer<WebPickerSidebarView> self(this);
    QTimer::singleShot(kPasteDelayMs, this, [self, html] {
        if (self && self->pasteIntoFocusedTerminal) self->pasteIntoFocusedTerminal(html);
    });
    showCopiedFeedback();
}

void WebPickerSidebarView::removePick(qint64 id, PickRowView* row) {
    cdp_->evaluate(pagescripts::unmarkScript(id), ignoreAnswer);
    std::erase_if(picks_, [id](const PickEntry& p) { return p.id == id; });
    if (row) {
        picksStackLayout_->removeWidget(row);
        row->hide();
        row->deleteLater();
    }
    savePicksToDisk();
}

void WebPickerSidebarView::savePicksToDisk() {
    defaults_.setValue(kPicksKey, QString::fromUtf8(encodePickRecords(picks_)));
}

void WebPickerSidebarView::restorePicksFromDisk() {
    const QVariant stored = defaults_.object(kPicksKey);
    QByteArray json;
    if (stored.typeId() == QMetaType::QString)
        json = stored.toString().toUtf8();
    else if (stored.typeId() == QMetaType::QByteArray)
        json = stored.toByteArray();
    else
        return;
    const std::optional<std::vector<PickEntry>> records = decodePickRecords(json);
    if (!records) return;
    for (const PickEntry& entry : *records) {
        picks_.push_back(entry);
        nextPickId_ = std::max(nextPickId_, entry.id + 1);
        addPickRow(entry);
        if (!entry.selector.isEmpty())
            cdp_->evaluate(pagescripts::remarkScript(entry.id, entry.selector), ignoreAnswer);
    }
    if (!picks_.empty()) showPickListHeader(true);
}

void WebPickerSidebarView::clearPickList() {
    picks_.clear();
    nextPickId_ = 0;
    while (QLayoutItem* item = picksStackLayout_->takeAt(0)) {
        if (QWidget* row = item->widget()) {
            row->hide();
            row->deleteLater();
        }
        delete item;
    }
    showPickListHeader(false);
}

void WebPickerSidebarView::clearAllPicksAction() {
    cdp_->evaluate(pagescripts::clearAllScript(), ignoreAnswer);
    if (pollTimer_) {
        pollTimer_->stop();
        pollTimer_->deleteLater();
        pollTimer_ = nullptr;
    }
    if (!pickBtn_->isEnabled()) resetPickButton();
}
