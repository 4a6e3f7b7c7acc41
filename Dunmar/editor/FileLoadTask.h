#pragma once

#include "editor/TextFileCheck.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

// Reads a large file in 64 KiB chunks on a worker thread, reporting progress, and can be stopped.
// The worker holds the task weakly: cancelling it or letting the last owner go both stop the read,
// and the completion then brings no text.
class FileLoadTask : public std::enable_shared_from_this<FileLoadTask> {
public:
    static constexpr qint64 kChunkSize = 65536;
    static constexpr qint64 kReserveLimit = 67108864; // 64 MiB reserved up front at most

    static std::shared_ptr<FileLoadTask> create() { return std::shared_ptr<FileLoadTask>(new FileLoadTask); }

    std::atomic<bool> cancelled{false};

    // Both callbacks run on the thread of `context` in the order they were posted; none runs once
    // `context` is gone. `completion` runs exactly once: the text, or none when the task was
    // cancelled or released, or the file could not be read to its end (half a file shown as the
    // whole would be saved over it).
    void load(const QString& path, qint64 totalSize, QObject* context,
              std::function<void(double fraction)> progress,
              std::function<void(std::optional<textfile::Decoded>)> completion);

private:
    FileLoadTask() = default;
};
