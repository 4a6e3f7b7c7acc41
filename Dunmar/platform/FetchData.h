#pragma once

#include "platform/BoundedReply.h"

#include <QByteArray>
#include <QNetworkReply>
#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

class QNetworkAccessManager;
class QNetworkRequest;
class QObject;

// A failure to get any answer from the server: no connection, a broken transfer, a cancelled
// request, an answer cut off at its limits. An HTTP error status is not one of these.
struct FetchError {
    QNetworkReply::NetworkError code = QNetworkReply::UnknownNetworkError;
    QString message;
    bool cutOff = false; // the answer passed its size or time limit; `message` says which
};

// What a request delivers: the body (possibly empty) or a transport error. The HTTP status is
// reported beside the body but never decides: a 404 page comes back as data, and callers that care
// check `httpStatus` themselves.
struct FetchResult {
    QByteArray data;
    std::optional<FetchError> error;
    int httpStatus = 0;  // 0 when no HTTP response arrived
    QUrl redirectTarget; // the Location of a redirect the request did not follow itself

    bool ok() const { return !error.has_value(); }
};

// Sends the request with the given method and body and runs `done` exactly once on the manager's
// thread, unless `context` (when given) is destroyed first; then nothing runs. Destroying the
// manager before the answer delivers an OperationCanceledError. An answer that passes `limits` is
// cut off and delivered as an error.
void fetchData(QNetworkAccessManager& manager, const QNetworkRequest& request, QObject* context,
               std::function<void(FetchResult)> done, const QByteArray& verb = QByteArrayLiteral("GET"),
               const QByteArray& body = {}, const FetchLimits& limits = {});

// Whether a finished reply failed at the transport level: an error that is not one the server
// answered with a status of its own.
bool isTransportFailure(QNetworkReply::NetworkError error, bool httpResponseReceived);
