#include "platform/BoundedReply.h"

#include <QNetworkReply>

BoundedReply* BoundedReply::watch(QNetworkReply* reply, FetchLimits limits,
                                  std::function<bool(const QByteArray&)> sink) {
    return new BoundedReply(reply, limits, std::move(sink));
}

BoundedReply::BoundedReply(QNetworkReply* reply, FetchLimits limits,
                           std::function<bool(const QByteArray&)> sink)
    : QObject(reply), reply_(reply), limits_(limits), sink_(std::move(sink)),
      body_(sink_ ? 0 : limits.maxBytes) {
    connect(reply, &QIODevice::readyRead, this, &BoundedReply::drain);
    if (limits.totalMs > 0) {
        deadline_.setSingleShot(true);
        connect(&deadline_, &QTimer::timeout, this, [this] {
            if (reply_->isRunning()) stop(Cut::tooSlow);
        });
        deadline_.start(limits.totalMs);
    }
    connect(reply, &QNetworkReply::finished, this, [this] { deadline_.stop(); });
}

void BoundedReply::drain() {
    if (cut_ != Cut::none) return;
    if (!sink_) {
        if (!body_.readFrom(*reply_)) stop(Cut::tooLarge);
        return;
    }
    while (reply_->bytesAvailable() > 0) {
        const QByteArray piece = reply_->read(std::min<qint64>(65536, limits_.maxBytes - sunk_ + 1));
        if (piece.isEmpty()) return;
        sunk_ += piece.size();
        if (sunk_ > limits_.maxBytes) return stop(Cut::tooLarge);
        if (!sink_(piece)) {
            reply_->abort();
            return;
        }
    }
}

void BoundedReply::stop(Cut why) {
    cut_ = why;
    deadline_.stop();
    reply_->abort();
}

QString BoundedReply::cutMessage() const {
    switch (cut_) {
    case Cut::tooLarge:
        return QStringLiteral("answer larger than %1").arg(byteCountText(limits_.maxBytes));
    case Cut::tooSlow:
        return QStringLiteral("answer not complete after %1 s").arg(limits_.totalMs / 1000.0);
    case Cut::none:
        break;
    }
    return {};
}

QByteArray BoundedReply::takeBody() {
    drain();
    return body_.take();
}
