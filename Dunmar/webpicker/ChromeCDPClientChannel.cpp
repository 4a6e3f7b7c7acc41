// The client's websocket half: one channel to a tab, numbered commands and their answers.
#include "webpicker/ChromeCDPClient.h"
#include "webpicker/DevToolsTargets.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWebSocket>

void ChromeCDPClient::connect(const QString& wsUrl, std::function<void(bool)> done) {
    disconnect();
    const QUrl url(wsUrl, QUrl::StrictMode);
    if (!url.isValid() || url.scheme().isEmpty()) {
        QTimer::singleShot(0, this, [done = std::move(done)] { done(false); });
        return;
    }
    const quint64 generation = ++generation_;
    pendingConnect_ = std::move(done);
    // The browser answers 403 to a handshake that carries an Origin header: the origin stays empty.
    socket_ = new QWebSocket(QString(), QWebSocketProtocol::VersionLatest, this);

    // The check resolves once: by the pong, by a failure before it, or by the time-out.
    auto resolve = [this, generation](bool ok) {
        if (generation != generation_ || !pendingConnect_) return;
        std::function<void(bool)> finish = std::move(pendingConnect_);
        pendingConnect_ = nullptr;
        if (!ok) disconnect();
        finish(ok);
    };
    QObject::connect(socket_, &QWebSocket::connected, this, [this, generation] {
        if (generation == generation_) socket_->ping();
    });
    QObject::connect(socket_, &QWebSocket::pong, this, [resolve](quint64, const QByteArray&) { resolve(true); });
    QObject::connect(socket_, &QWebSocket::textMessageReceived, this, [this, generation](const QString& text) {
        if (generation == generation_) handleMessage(text);
    });
    QObject::connect(socket_, &QWebSocket::disconnected, this, [this, generation, resolve] {
        if (generation != generation_) return;
        if (pendingConnect_) return resolve(false);
        if (onDisconnected) onDisconnected();
    });
    QObject::connect(socket_, QOverload<QAbstractSocket::SocketError>::of(&QWebSocket::error), this,
                     [this, resolve](QAbstractSocket::SocketError) {
                         if (pendingConnect_) resolve(false);
                     });
    QTimer::singleShot(pingTimeoutMs_, this, [resolve] { resolve(false); });
    socket_->open(url);
}

void ChromeCDPClient::disconnect() {
    ++generation_;
    if (socket_) {
        QWebSocket* socket = socket_;
        socket_ = nullptr;
        QObject::disconnect(socket, nullptr, this, nullptr);
        if (socket->state() == QAbstractSocket::ConnectedState)
            socket->close(QWebSocketProtocol::CloseCodeGoingAway);
        else
            socket->abort();
        socket->deleteLater();
    }
    pendingCallbacks_.clear();
    messageId_ = 0;
    // An attempt that was still waiting for its ping learns that it lost.
    if (pendingConnect_) {
        std::function<void(bool)> finish = std::move(pendingConnect_);
        pendingConnect_ = nullptr;
        QTimer::singleShot(0, this, [finish = std::move(finish)] { finish(false); });
    }
}

void ChromeCDPClient::fail(Completion completion) {
    if (completion) QTimer::singleShot(0, this, [completion = std::move(completion)] { completion(std::nullopt); });
}

void ChromeCDPClient::cdpCommand(const QString& method, const QJsonObject& params, Completion completion) {
    if (!socket_) return fail(std::move(completion));
    const qint64 id = ++messageId_;
    const QJsonObject command{{QStringLiteral("id"), id}, {QStringLiteral("method"), method},
                              {QStringLiteral("params"), params}};
    const QString text = QString::fromUtf8(QJsonDocument(command).toJson(QJsonDocument::Compact));
    pendingCallbacks_.insert(id, std::move(completion));
    const bool sent = socket_->state() == QAbstractSocket::ConnectedState && socket_->sendTextMessage(text) > 0;
    if (!sent) fail(pendingCallbacks_.take(id));
}

void ChromeCDPClient::handleMessage(const QString& text) {
    const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8());
    if (!doc.isObject()) return;
    const QJsonObject answer = doc.object();
    const QJsonValue id = answer.value(QLatin1String("id"));
    // Events carry no id; ids are whole numbers.
    if (!id.isDouble() || id.toDouble() != static_cast<double>(id.toInteger())) return;
    const auto it = pendingCallbacks_.find(id.toInteger());
    if (it == pendingCallbacks_.end()) return;
    Completion completion = std::move(it.value());
    pendingCallbacks_.erase(it);
    const QJsonValue result = answer.value(QLatin1String("result"));
    if (completion) completion(result.isObject() ? std::optional<QJsonObject>(result.toObject()) : std::nullopt);
}

void ChromeCDPClient::evaluate(const QString& script, Completion completion) {
    cdpCommand(QStringLiteral("Runtime.evaluate"),
               {{QStringLiteral("expression"), script}, {QStringLiteral("returnByValue"), true}},
               std::move(completion));
}

void ChromeCDPClient::navigate(const QString& typed) {
    const std::optional<QString> url = devtools::navigationUrl(typed);
    if (!url) return;
    cdpCommand(QStringLiteral("Page.navigate"), {{QStringLiteral("url"), *url}}, [](std::optional<QJsonObject>) {});
}

void ChromeCDPClient::setChromeWindowBounds(int width, int height, int left, int top, const QString& targetId) {
    const QPointer<ChromeCDPClient> self(this);
    cdpCommand(QStringLiteral("Browser.getWindowForTarget"), {{QStringLiteral("targetId"), targetId}},
               [self, width, height, left, top](std::optional<QJsonObject> result) {
                   if (!self || !result) return;
                   const QJsonValue windowId = result->value(QLatin1String("windowId"));
                   if (!windowId.isDouble()) return;
                   const QJsonObject bounds{{QStringLiteral("width"), width},
                                            {QStringLiteral("height"), height},
                                            {QStringLiteral("left"), left},
                                            {QStringLiteral("top"), top}};
                   self->cdpCommand(QStringLiteral("Browser.setWindowBounds"),
                                    {{QStringLiteral("windowId"), windowId.toInteger()},
                                     {QStringLiteral("bounds"), bounds}},
                                    [](std::optional<QJsonObject>) {});
               });
}

void ChromeCDPClient::captureElementScreenshot(qint64 pickId, std::function<void(std::optional<QByteArray>)> done) {
    // The box model wants a node, not a selector: find the marked element from the document first.
    // Its box is in the coordinates of the visible part of the page, the screenshot's clip in those
    // of the whole page, so the page's scroll offset is added.
    const QPointer<ChromeCDPClient> self(this);
    auto nothing = [done] { done(std::nullopt); };
    const QString selector = QStringLiteral("[data-pk-pick-%1]").arg(pickId);
    auto capture = [self, done, nothing](double x, double y, double width, double height) {
        const QJsonObject clip{{QStringLiteral("x"), x},
                               {QStringLiteral("y"), y},
                               {QStringLiteral("width"), width},
                               {QStringLiteral("height"), height},
                               {QStringLiteral("scale"), 1}};
        self->cdpCommand(QStringLiteral("Page.captureScreenshot"),
                         {{QStringLiteral("format"), QStringLiteral("png")}, {QStringLiteral("clip"), clip}},
                         [self, done, nothing](std::optional<QJsonObject> result) {
                             if (!self || !result) return nothing();
                             const QJsonValue data = result->value(QLatin1String("data"));
                             if (!data.isString()) return nothing();
                             const auto decoded = QByteArray::fromBase64Encoding(data.toString().toLatin1(),
                                                                                 QByteArray::AbortOnBase64DecodingErrors);
                             if (!decoded || decoded.decoded.isEmpty()) return nothing();
                             done(*decoded);
                         });
    };
    auto measure = [self, nothing, capture](qint64 nodeId) {
        self->cdpCommand(
            QStringLiteral("DOM.getBoxModel"), {{QStringLiteral("nodeId"), nodeId}},
            [self, nothing, capture](std::optional<QJsonObject> result) {
                if (!self || !result) return nothing();
                const QJsonValue model = result->value(QLatin1String("model"));
                const QJsonArray c = model.toObject().value(QLatin1String("content")).toArray();
                if (!model.isObject() || c.size() < 6) return nothing();
                for (int i = 0; i < 6; ++i)
                    if (!c[i].isDouble()) return nothing();
                const double x = c[0].toDouble(), y = c[1].toDouble();
                const double width = c[2].toDouble() - x, height = c[5].toDouble() - y;
                if (!(width > 0) || !(height > 0)) return nothing();
                self->cdpCommand(QStringLiteral("Page.getLayoutMetrics"), {},
                                 [self, nothing, capture, x, y, width, height](std::optional<QJsonObject> metrics) {
                                     if (!self || !metrics) return nothing();
                                     QJsonObject viewport = metrics->value(QLatin1String("cssLayoutViewport")).toObject();
                                     if (viewport.isEmpty())
                                         viewport = metrics->value(QLatin1String("layoutViewport")).toObject();
                                     const double pageX = viewport.value(QLatin1String("pageX")).toDouble();
                                     const double pageY = viewport.value(QLatin1String("pageY")).toDouble();
                                     capture(x + pageX, y + pageY, width, height);
                                 });
            });
    };
    cdpCommand(QStringLiteral("DOM.getDocument"), {{QStringLiteral("depth"), 0}},
               [self, nothing, measure, selector](std::optional<QJsonObject> result) {
                   if (!self || !result) return nothing();
                   const QJsonValue root = result->value(QLatin1String("root")).toObject().value(QLatin1String("nodeId"));
                   if (!root.isDouble()) return nothing();
                   self->cdpCommand(QStringLiteral("DOM.querySelector"),
                                    {{QStringLiteral("nodeId"), root.toInteger()}, {QStringLiteral("selector"), selector}},
                                    [self, nothing, measure](std::optional<QJsonObject> found) {
                                        if (!self || !found) return nothing();
                                        const qint64 nodeId = found->value(QLatin1String("nodeId")).toInteger();
                                        if (nodeId <= 0) return nothing();
                                        measure(nodeId);
                                    });
               });
}
