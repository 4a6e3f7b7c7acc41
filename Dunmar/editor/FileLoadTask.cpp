#include "editor/FileLoadTask.h"

#include "platform/BoundedBuffer.h"

#include <QCoreApplication>
#include <QFile>
#include <QPointer>
#include <QThreadPool>
#include <algorithm>

void FileLoadTask::load(const QString& path, qint64 totalSize, QObject* context,
                        std::function<void(double)> progress,
                        std::function<void(std::optional<textfile::Decoded>)> completion) {
    const QPointer<QObject> target(context);
    // Posted to the application object, which outlives every worker, and dropped there when the
    // context has gone meanwhile; one receiver keeps the calls in posting order.
    auto post = [target](std::function<void()> call) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [target, call = std::move(call)] {
                if (target) call();
            },
            Qt::QueuedConnection);
    };
    auto file = std::make_shared<QFile>(path);
    if (!file->open(QIODevice::ReadOnly)) {
        post([completion] { completion(std::nullopt); });
        return;
    }
    const std::weak_ptr<FileLoadTask> weak = weak_from_this();
    QThreadPool::globalInstance()->start([weak, file, totalSize, limit = maxBytes, post, progress,
                                          completion] {
        // The size seen before the read is no bound: the file may grow while it is read.
        BoundedBuffer buffer(limit);
        buffer.reserve(std::min(totalSize, kReserveLimit));
        qint64 bytesRead = 0;
        bool failed = false;
        auto alive = [&weak] {
            const std::shared_ptr<FileLoadTask> task = weak.lock();
            return task && !task->cancelled;
        };
        while (alive()) {
            // One byte past the limit is all it takes to know.
            const QByteArray chunk = file->read(std::min(kChunkSize, limit - buffer.size() + 1));
            if (chunk.isEmpty()) {
                failed = file->error() != QFileDevice::NoError;
                break;
            }
            if (!buffer.append(chunk)) {
                if (const std::shared_ptr<FileLoadTask> task = weak.lock()) task->overLimit = true;
                failed = true;
                break;
            }
            bytesRead += chunk.size();
            const double fraction =
                totalSize > 0 ? std::min(double(bytesRead) / double(totalSize), 1.0) : 1.0;
            post([progress, fraction] { progress(fraction); });
        }
        file->close();
        if (alive() && !failed) {
            auto decoded = std::make_shared<textfile::Decoded>(textfile::decode(buffer.take()));
            post([completion, decoded] { completion(std::move(*decoded)); });
        } else {
            post([completion] { completion(std::nullopt); });
        }
    });
}
