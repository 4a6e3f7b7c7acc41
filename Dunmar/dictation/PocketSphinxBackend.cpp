#include "dictation/PocketSphinxBackend.h"

#include <QDir>
#include <QFileInfo>
#include <QMetaObject>
#include <QPointer>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <pocketsphinx.h>
#include <thread>
#include <vector>

namespace {

// What the main thread keeps of one task: its handlers, cleared when it is cancelled so that a
// result already on its way to the main thread is dropped.
struct TaskShared {
    std::uint64_t id = 0;
    std::atomic<bool> cancelled{false};
    SpeechBackend::ResultHandler onResult;
    SpeechBackend::ErrorHandler onError;
};

} // namespace

// The decoder's thread and its queue of work. Commands carry the task they belong to; the thread
// decodes one utterance at a time and drops audio of a task that is no longer current.
class PocketSphinxBackend::Worker {
public:
    Worker(Config config, QObject* context) : config_(std::move(config)), context_(context) {
        thread_ = std::thread([this] { run(); });
    }
    ~Worker() {
        {
            std::lock_guard lock(mutex_);
            quit_ = true;
        }
        wake_.notify_all();
        thread_.join();
        if (decoder_) ps_free(decoder_);
        if (cmdln_) cmd_ln_free_r(cmdln_);
    }

    enum class Op { start, audio, end, cancel };
    struct Command {
        Op op;
        std::shared_ptr<TaskShared> task;
        std::vector<std::int16_t> samples;
    };

    void push(Command command) {
        {
            std::lock_guard lock(mutex_);
            queue_.push_back(std::move(command));
        }
        wake_.notify_one();
    }

private:
    void run() {
        for (;;) {
            Command command;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [this] { return quit_ || !queue_.empty(); });
                if (quit_) return;
                command = std::move(queue_.front());
                queue_.pop_front();
            }
            handle(command);
        }
    }

    bool ensureDecoder(QString* error) {
        if (decoder_) return true;
        const QByteArray hmm = QDir(config_.modelDir).filePath(QStringLiteral("en-us")).toLocal8Bit();
        const QByteArray dict =
            QDir(config_.modelDir).filePath(QStringLiteral("cmudict-en-us.dict")).toLocal8Bit();
        const QByteArray lm = QDir(config_.modelDir).filePath(QStringLiteral("en-us.lm.bin")).toLocal8Bit();
        const QByteArray grammar = config_.grammarPath.toLocal8Bit();
        const bool useGrammar = !config_.grammarPath.isEmpty();
        // The decoder's log goes nowhere: it writes several hundred lines per model load.
        cmdln_ = cmd_ln_init(nullptr, ps_args(), TRUE, "-hmm", hmm.constData(), "-dict", dict.constData(),
                             useGrammar ? "-jsgf" : "-lm", useGrammar ? grammar.constData() : lm.constData(),
                             "-logfn", "/dev/null", nullptr);
        if (cmdln_) decoder_ = ps_init(cmdln_);
        if (!decoder_) {
            if (cmdln_) cmd_ln_free_r(cmdln_);
            cmdln_ = nullptr;
            *error = QStringLiteral("the speech model could not be loaded from %1").arg(config_.modelDir);
            return false;
        }
        return true;
    }

    void endUtterance() {
        if (current_) ps_end_utt(decoder_);
        current_.reset();
        lastHypothesis_.clear();
    }

    QString hypothesis() {
        const char* hyp = ps_get_hyp(decoder_, nullptr);
        return hyp ? QString::fromUtf8(hyp).simplified() : QString();
    }

    void handle(const Command& command) {
        switch (command.op) {
        case Op::start: {
            if (decoder_) endUtterance();
            QString error;
            if (!ensureDecoder(&error)) {
                postError(command.task, error);
                return;
            }
            if (ps_start_utt(decoder_) < 0) {
                postError(command.task, QStringLiteral("the decoder did not start"));
                return;
            }
            current_ = command.task;
            return;
        }
        case Op::audio: {
            if (current_ != command.task || command.task->cancelled) return;
            ps_process_raw(decoder_, command.samples.data(), command.samples.size(), FALSE, FALSE);
            const QString text = hypothesis();
            if (!text.isEmpty() && text != lastHypothesis_) {
                lastHypothesis_ = text;
                postResult(command.task, text, false);
            }
            return;
        }
        case Op::end: {
            if (current_ != command.task) return;
            ps_end_utt(decoder_);
            const QString text = hypothesis();
            current_.reset();
            lastHypothesis_.clear();
            postResult(command.task, text, true);
            return;
        }
        case Op::cancel:
            if (current_ == command.task) endUtterance();
            return;
        }
    }

    void postResult(const std::shared_ptr<TaskShared>& task, const QString& text, bool isFinal) {
        QMetaObject::invokeMethod(
            context_,
            [task, text, isFinal] {
                if (!task->cancelled && task->onResult) task->onResult(text, isFinal);
            },
            Qt::QueuedConnection);
    }

    void postError(const std::shared_ptr<TaskShared>& task, const QString& description) {
        QMetaObject::invokeMethod(
            context_,
            [task, description] {
                if (!task->cancelled && task->onError) task->onError(description);
            },
            Qt::QueuedConnection);
    }

    Config config_;
    QObject* context_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Command> queue_;
    bool quit_ = false;
    std::thread thread_;
    // Touched by the worker thread only.
    cmd_ln_t* cmdln_ = nullptr;
    ps_decoder_t* decoder_ = nullptr;
    std::shared_ptr<TaskShared> current_;
    QString lastHypothesis_;
};

namespace {

class PocketSphinxTask final : public SpeechRecognitionTask {
public:
    PocketSphinxTask(std::shared_ptr<TaskShared> shared, std::weak_ptr<PocketSphinxBackend::Worker> worker)
        : shared_(std::move(shared)), worker_(std::move(worker)) {}
    ~PocketSphinxTask() override { cancel(); }

    void appendAudio(const std::int16_t* samples, std::size_t count) override {
        if (shared_->cancelled || ended_) return;
        if (const auto w = worker_.lock())
            w->push({PocketSphinxBackend::Worker::Op::audio, shared_,
                     std::vector<std::int16_t>(samples, samples + count)});
    }
    void endAudio() override {
        if (shared_->cancelled || ended_.exchange(true)) return;
        if (const auto w = worker_.lock()) w->push({PocketSphinxBackend::Worker::Op::end, shared_, {}});
    }
    void cancel() override {
        if (shared_->cancelled.exchange(true)) return;
        shared_->onResult = nullptr;
        shared_->onError = nullptr;
        if (const auto w = worker_.lock()) w->push({PocketSphinxBackend::Worker::Op::cancel, shared_, {}});
    }

private:
    std::shared_ptr<TaskShared> shared_;
    std::weak_ptr<PocketSphinxBackend::Worker> worker_;
    std::atomic<bool> ended_{false};
};

} // namespace

PocketSphinxBackend::PocketSphinxBackend() : PocketSphinxBackend(Config{}) {}

PocketSphinxBackend::PocketSphinxBackend(Config config)
    : config_(std::move(config)), worker_(std::make_shared<Worker>(config_, &context_)) {}

PocketSphinxBackend::~PocketSphinxBackend() {
    worker_.reset(); // joins the thread before the context its results go to
}

void PocketSphinxBackend::requestAuthorization(std::function<void(bool authorised)> done) {
    // Recognition runs on this machine: nothing to ask. The answer still comes on a later turn, as
    // callers expect of an answer.
    QMetaObject::invokeMethod(
        &context_, [done = std::move(done)] { done(true); }, Qt::QueuedConnection);
}

bool PocketSphinxBackend::isSupportedLocale(const QString& locale) {
    static const QStringList supported = {QStringLiteral("en_US"), QStringLiteral("en-US"),
                                          QStringLiteral("en"), QStringLiteral("C"), QStringLiteral("POSIX")};
    QString name = locale;
    // "en_US.UTF-8" and "en_US@euro" name the same language and country.
    name = name.section(QLatin1Char('.'), 0, 0).section(QLatin1Char('@'), 0, 0);
    return supported.contains(name);
}

bool PocketSphinxBackend::isAvailable(const QString& locale) const {
    if (!isSupportedLocale(locale)) return false;
    const QDir dir(config_.modelDir);
    return QFileInfo(dir.filePath(QStringLiteral("en-us/mdef"))).isFile() &&
           QFileInfo(dir.filePath(QStringLiteral("cmudict-en-us.dict"))).isFile() &&
           (config_.grammarPath.isEmpty() ? QFileInfo(dir.filePath(QStringLiteral("en-us.lm.bin"))).isFile()
                                          : QFileInfo(config_.grammarPath).isFile());
}

std::shared_ptr<SpeechRecognitionTask> PocketSphinxBackend::startTask(const QString&, ResultHandler onResult,
                                                                      ErrorHandler onError) {
    static std::atomic<std::uint64_t> nextId{1};
    auto shared = std::make_shared<TaskShared>();
    shared->id = nextId++;
    shared->onResult = std::move(onResult);
    shared->onError = std::move(onError);
    worker_->push({Worker::Op::start, shared, {}});
    return std::make_shared<PocketSphinxTask>(shared, worker_);
}
