#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>

class QProcess;

// One run of an external formatter: the document goes to its standard input, the formatted text
// comes from its standard output. The process runs beside the event loop (nothing blocks; input
// and output are streamed, so no document size can stall it on a full pipe), within a time limit.
class FormatterProcess : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultTimeLimitMs = 60000;

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

    QProcess* process_ = nullptr;
    QTimer limit_;
    std::function<void(Result)> done_;
    int timeLimitMs_ = kDefaultTimeLimitMs;
    bool inputWasEmpty_ = false;
};
