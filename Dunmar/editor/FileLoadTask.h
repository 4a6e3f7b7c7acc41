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
// and the completion then brings no text. The read stops at `maxBytes`, whatever size the file had
// when it was looked at: a file that grows while it loads (a log being written) brings no text.
class FileLoadTask : public std::enable_shared_from_this<FileLoadTask> {
public:
    static constexpr qint64 kChunkSize = 65536;
    static constexpr qint64 kReserveLimit = 67108864; // 64 MiB reserved up front at most

    static std::shared_ptr<FileLoadTask> create() { return std::shared_ptr<FileLoadTask>(new FileLoadTask); }

    std::atomic<bool> cancelled{false};
    // Set before load(); more bytes than this end the read.
    qint64 maxBytes = textfile::kOpenLimit;
    // The read ended because the file held more than maxBytes.
    std::atomic<bool> overLimit{false};

    // Both callbacks run on the thread of `context` in the order they were posted; none runs once
    // `context` is gone. `completion` runs exactly once: the text, or none when the task was
    // cancelled or released, the file could not be read to its end (half a file shown as the
    // whole would be saved over it), or it held more than maxBytes.
    void load(const QString& path, qint64 totalSize, QObject* context,
              std::function<void(double fraction)> progress,
              std::function<void(std::optional<textfile::Decoded>)> completion);

private:
    FileLoadTask() = default;
};
