#pragma once

#include "platform/BoundedBuffer.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

class QNetworkReply;

// How much of an answer is taken, and for how long. A request's transfer time-out only notices a
// server that goes quiet; one that keeps sending is stopped by these.
struct FetchLimits {
    qint64 maxBytes = 16 * 1024 * 1024;
    int totalMs = 120000; // 0: no limit on the whole transfer
};

// Keeps one network reply within its limits: the body is taken in as it arrives, and the transfer
// is aborted as soon as it passes `maxBytes` or lasts longer than `totalMs`. Every reader of a
// server's answer goes through one of these (fetchData does it for its callers).
class BoundedReply : public QObject {
    Q_OBJECT
public:
    enum class Cut { none, tooLarge, tooSlow };

    // Watches `reply` from now on; the watcher is the reply's child and goes with it. With a `sink`,
    // each piece goes there as it arrives (a download written to a file) instead of into the
    // buffer, still counted against the limit; a sink that returns false aborts the transfer.
    static BoundedReply* watch(QNetworkReply* reply, FetchLimits limits,
                               std::function<bool(const QByteArray&)> sink = {});

    Cut cut() const { return cut_; }
    // Why the transfer was cut off, for a message ("answer larger than 1 MiB"); empty when it was
    // not.
    QString cutMessage() const;
    // Once the reply has finished: its body (without a sink), what was left in the reply included.
    QByteArray takeBody();

private:
    BoundedReply(QNetworkReply* reply, FetchLimits limits, std::function<bool(const QByteArray&)> sink);
    void drain();
    void stop(Cut why);

    QNetworkReply* reply_;
    FetchLimits limits_;
    std::function<bool(const QByteArray&)> sink_;
    BoundedBuffer body_;
    qint64 sunk_ = 0;
    QTimer deadline_;
    Cut cut_ = Cut::none;
};
