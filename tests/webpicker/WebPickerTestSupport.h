#pragma once

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTest>
#include <gtest/gtest.h>
#include <functional>
#include <optional>

namespace testsupport {

// Runs an operation that answers through a callback and waits for the answer; a failure and the
// empty value when none comes.
template <class T>
T await(const std::function<void(std::function<void(T)>)>& operation, int timeoutMs = 15000) {
    std::optional<T> answer;
    operation([&](T value) { answer = std::move(value); });
    if (!QTest::qWaitFor([&] { return answer.has_value(); }, timeoutMs)) {
        ADD_FAILURE() << "no answer";
        return T{};
    }
    return *answer;
}

// A DevTools HTTP request of the test's own, past the client under test; the body, or none.
inline std::optional<QByteArray> devtoolsRequest(int port, const QByteArray& verb, const QString& path) {
    QNetworkAccessManager manager;
    QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(path)));
    QNetworkReply* reply = manager.sendCustomRequest(request, verb);
    (void)QTest::qWaitFor([&] { return reply->isFinished(); }, 15000);
    std::optional<QByteArray> body;
    if (reply->isFinished() && reply->error() == QNetworkReply::NoError) body = reply->readAll();
    delete reply;
    return body;
}

} // namespace testsupport
