#include "webpicker/PickListModel.h"

#include "platform/Defaults.h"
#include "webpicker/ChromeCDPClient.h"
#include "webpicker/PageScripts.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QTimer>

namespace {

const QString kPicksKey = QStringLiteral("webPickerPicks");

void ignoreAnswer(std::optional<QJsonObject>) {}

// The text value of an evaluation's answer; empty when there is none.
QString textValue(const std::optional<QJsonObject>& answer) {
    if (!answer) return {};
    const QJsonValue result = answer->value(QLatin1String("result"));
    if (!result.isObject()) return {};
    const QJsonValue value = result.toObject().value(QLatin1String("value"));
    return value.isString() ? value.toString() : QString();
}

} // namespace

PickListModel::PickListModel(Defaults& defaults, ChromeCDPClient& cdp, QObject* parent)
    : QObject(parent), defaults_(defaults), cdp_(cdp) {}

void PickListModel::startPicking() {
    cdp_.evaluate(pagescripts::resetScript(), ignoreAnswer);
    picking_ = true;
    emit pickingChanged(true);
    const QPointer<PickListModel> self(this);
    cdp_.evaluate(pagescripts::pickerScript(), [self](std::optional<QJsonObject>) {
        // A reset or a disconnect while the picker was on its way: nothing is awaited any more.
        if (!self || !self->picking_) return;
        if (self->pollTimer_) {
            self->pollTimer_->stop();
            self->pollTimer_->deleteLater();
        }
        self->pollTimer_ = new QTimer(self);
        self->pollTimer_->setInterval(self->pollIntervalMs_);
        QObject::connect(self->pollTimer_, &QTimer::timeout, self, &PickListModel::pollPick);
        self->pollTimer_->start();
    });
}

void PickListModel::endPicking() {
    picking_ = false;
    if (!pollTimer_) return;
    pollTimer_->stop();
    pollTimer_->deleteLater();
    pollTimer_ = nullptr;
}

void PickListModel::stopPicking() {
    const bool wasPicking = picking_;
    endPicking();
    if (wasPicking) emit pickingChanged(false);
}

void PickListModel::pollPick() {
    const QPointer<PickListModel> self(this);
    cdp_.evaluate(pagescripts::pollScript(), [self](std::optional<QJsonObject> answer) {
        // A pick that has been taken over, or a reset meanwhile, leaves no poll to answer to.
        if (!self || !self->pollTimer_) return;
        const QString text = textValue(answer);
        if (text.isEmpty()) return;
        const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8());
        if (!doc.isObject()) return;
        const QJsonValue html = doc.object().value(QLatin1String("html"));
        if (!html.isString() || html.toString().isEmpty()) return;
        self->endPicking();
        const QJsonObject meta = doc.object().value(QLatin1String("meta")).toObject();
        auto field = [&meta](const char* key) { return meta.value(QLatin1String(key)).toString(); };
        self->add(html.toString(), field("selector"), field("innerText"), field("xpath"));
    });
}

void PickListModel::add(const QString& html, const QString& selector, const QString& innerText,
                        const QString& xpath) {
    if (picks_.size() >= kMaxPicks) {
        const qint64 oldest = picks_.front().id;
        cdp_.evaluate(pagescripts::unmarkScript(oldest), ignoreAnswer);
        picks_.erase(picks_.begin());
        emit removed(oldest);
    }
    const qint64 id = nextPickId_++;
    const PickColor& colour = pickColorFor(id);
    picks_.push_back({id, html, colour.hex, colour.color, selector, innerText, xpath});
    cdp_.evaluate(pagescripts::markScript(id), ignoreAnswer);
    emit added(picks_.back());
    save();
    emit pickingChanged(false);
    emit picked(html);
}

void PickListModel::remove(qint64 id) {
    cdp_.evaluate(pagescripts::unmarkScript(id), ignoreAnswer);
    std::erase_if(picks_, [id](const PickEntry& p) { return p.id == id; });
    emit removed(id);
    save();
}

void PickListModel::save() {
    defaults_.setValue(kPicksKey, QString::fromUtf8(encodePickRecords(picks_)));
}

void PickListModel::restore() {
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
        emit added(entry);
        if (!entry.selector.isEmpty())
            cdp_.evaluate(pagescripts::remarkScript(entry.id, entry.selector), ignoreAnswer);
    }
}

void PickListModel::clear() {
    picks_.clear();
    nextPickId_ = 0;
    emit cleared();
}

void PickListModel::resetMarks() {
    cdp_.evaluate(pagescripts::clearAllScript(), ignoreAnswer);
    stopPicking();
}

void PickListModel::highlight(qint64 id, const QString& hex, const QString& selector) {
    cdp_.evaluate(pagescripts::highlightScript(id, selector, hex), ignoreAnswer);
}

void PickListModel::unhighlight(qint64 id, const QString& selector) {
    cdp_.evaluate(pagescripts::unhighlightScript(id, selector), ignoreAnswer);
}

void PickListModel::fetchComputedStyle(qint64 id, std::function<void(const QString&)> done) {
    const QPointer<PickListModel> self(this);
    cdp_.evaluate(pagescripts::styleScript(id),
                  [self, done = std::move(done)](std::optional<QJsonObject> answer) {
                      const QString style = textValue(answer);
                      if (self && !style.isEmpty()) done(style);
                  });
}

void PickListModel::captureScreenshot(qint64 id, std::function<void(std::optional<QImage>)> done) {
    const QPointer<PickListModel> self(this);
    cdp_.captureElementScreenshot(id, [self, done = std::move(done)](std::optional<QByteArray> png) {
        if (!self) return;
        QImage image;
        if (png && image.loadFromData(*png, "PNG")) return done(image);
        done(std::nullopt);
    });
}
