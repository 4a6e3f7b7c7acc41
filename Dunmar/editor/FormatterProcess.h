#pragma once

#include "platform/BoundedBuffer.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>

class QProcess;

// One run of an external formatter: the document goes to its standard input, the formatted text
// comes from its standard output. The process runs beside the event loop (nothing blocks; input
// and output are streamed, so no document size can stall it on a full pipe), within a time limit
// and an output limit. It leads a process group of its own, and the group ends with it: what it
// started (npx's node, a script's sleep) does not outlive a time-out.
class FormatterProcess : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultTimeLimitMs = 60000;
    // Formatting re-indents and breaks lines, which grows a text a few times at most (minified
    // code the most); more than that is no formatting of this document.
    static constexpr qint64 kOutputFactor = 4;
    static constexpr qint64 kOutputSlack = 1024 * 1024;
    static constexpr qint64 kOutputCeiling = 128 * 1024 * 1024;
    // Only the start of the error output makes the message.
    static constexpr qint64 kErrorOutputLimit = 64 * 1024;

    // The most output taken for `inputBytes` of document.
    static qint64 outputLimit(qint64 inputBytes);

    struct Result {
        bool ok = false;
        QString text;  // the formatted text when ok
        QString error; // what to tell the user otherwise
    };

    // `tool` with `args`, running with `path` as its PATH.
    FormatterProcess(const QString& tool, const QStringList& args, const QString& path, int timeLimitMs,
                     QObject* parent = nullptr);
    ~FormatterProcess() override;

    // Runs the tool on `input`; `done` runs once, on this thread (perhaps before this returns, when
    // the tool cannot start), unless the object is destroyed first, which kills the process.
    void start(const QString& input, std::function<void(Result)> done);

private:
    void finish(Result result);
    void finished(int exitCode);
    void endProcess();

    QProcess* process_ = nullptr;
    QTimer limit_;
    std::function<void(Result)> done_;
    int timeLimitMs_ = kDefaultTimeLimitMs;
    bool inputWasEmpty_ = false;
    BoundedBuffer output_{0};
    BoundedBuffer errors_{kErrorOutputLimit};
};
