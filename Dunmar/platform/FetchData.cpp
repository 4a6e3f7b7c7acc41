#include "platform/FetchData.h"

#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QPointer>
#include <memory>

bool isTransportFailure(QNetworkReply::NetworkError error, bool httpResponseReceived) {
    if (error == QNetworkReply::NoError) return false;
    // Qt turns 4xx statuses into the 2xx "content" codes and 5xx statuses into the 4xx "server"
    // codes; when a response came with them, the server did answer and its body is the result.
    const int code = static_cast<int>(error);
    const bool statusError = (code >= 201 && code <= 299) || (code >= 401 && code <= 499);
    return !(statusError && httpResponseReceived);
}

void fetchData(QNetworkAccessManager& manager, const QNetworkRequest& request, QObject* context,
               std::function<void(FetchResult)> done, const QByteArray& verb, const QByteArray& body,
               const FetchLimits& limits) {
    QNetworkReply* reply = (verb == "GET" && body.isEmpty()) ? manager.get(request)
                                                             : manager.sendCustomRequest(request, verb, body);
    BoundedReply* bounded = BoundedReply::watch(reply, limits);
    auto delivered = std::make_shared<bool>(false);
    const bool hasContext = context != nullptr;
    QPointer<QObject> guard(context);
    auto deliver = [delivered, hasContext, guard, done = std::move(done)](FetchResult result) {
        if (*delivered) return;
        *delivered = true;
        if (hasContext && !guard) return;
        if (done) done(std::move(result));
    };

    QObject::connect(reply, &QNetworkReply::finished, reply, [reply, bounded, deliver] {
        FetchResult result;
        const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        result.httpStatus = status.isValid() ? status.toInt() : 0;
        result.redirectTarget = reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
        const QNetworkReply::NetworkError error = reply->error();
        if (bounded->cut() != BoundedReply::Cut::none)
            result.error = FetchError{error, bounded->cutMessage(), true};
        else if (isTransportFailure(error, status.isValid()))
            result.error = FetchError{error, reply->errorString()};
        else
            result.data = bounded->takeBody();
        deliver(std::move(result));
        reply->deleteLater();
    });
    // The manager deletes its replies with itself, before they finish.
    QObject::connect(reply, &QObject::destroyed, [deliver] {
        FetchResult cancelled;
        cancelled.error =
            FetchError{QNetworkReply::OperationCanceledError, QStringLiteral("Operation canceled")};
        deliver(std::move(cancelled));
    });
}
