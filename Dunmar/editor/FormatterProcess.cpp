#include "editor/FormatterProcess.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringDecoder>

FormatterProcess::FormatterProcess(const QString& tool, const QStringList& args, const QString& path,
                                   int timeLimitMs, QObject* parent)
    : QObject(parent), timeLimitMs_(timeLimitMs) {
    process_ = new QProcess(this);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PATH"), path);
    process_->setProcessEnvironment(env);
    process_->setProgram(tool);
    process_->setArguments(args);

    connect(process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) finish({false, {}, process_->errorString()});
    });
    connect(process_, &QProcess::finished, this, [this](int exitCode, QProcess::ExitStatus status) {
        if (status != QProcess::NormalExit) {
            finish({false, {}, QStringLiteral("Formatter abgestürzt")});
            return;
        }
        if (exitCode != 0) {
            QStringDecoder utf8(QStringDecoder::Utf8);
            QString message = QString(utf8.decode(process_->readAllStandardError())).trimmed();
            if (utf8.hasError()) message = QStringLiteral("Fehler");
            if (message.isEmpty()) message = QStringLiteral("Formatter fehlgeschlagen");
            finish({false, {}, message});
            return;
        }
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString text = utf8.decode(process_->readAllStandardOutput());
        if (utf8.hasError()) {
            finish({false, {}, QStringLiteral("Formatter lieferte kein gültiges UTF-8")});
            return;
        }
        // Nothing back for something sent is a broken formatter, not an empty document.
        if (text.isEmpty() && !inputWasEmpty_) {
            finish({false, {}, QStringLiteral("Formatter lieferte keine Ausgabe")});
            return;
        }
        finish({true, text, {}});
    });
    // QProcess takes both outputs in as they come, so neither pipe fills up and stalls the tool;
    // warnings on standard error are looked at only when the run fails.
    process_->setReadChannel(QProcess::StandardOutput);

    limit_.setSingleShot(true);
    connect(&limit_, &QTimer::timeout, this, [this] {
        finish({false, {}, QStringLiteral("Formatter nach %1 s abgebrochen").arg(timeLimitMs_ / 1000.0)});
    });
}

void FormatterProcess::start(const QString& input, std::function<void(Result)> done) {
    done_ = std::move(done);
    inputWasEmpty_ = input.isEmpty();
    limit_.start(timeLimitMs_);
    process_->start();
    if (!done_) return; // it could not start
    process_->write(input.toUtf8());
    process_->closeWriteChannel();
}

FormatterProcess::~FormatterProcess() {
    if (process_->state() != QProcess::NotRunning) {
        process_->disconnect(this);
        process_->kill();
        process_->waitForFinished(1000);
    }
}

void FormatterProcess::finish(Result result) {
    if (!done_) return;
    limit_.stop();
    if (process_->state() != QProcess::NotRunning) {
        process_->disconnect(this);
        process_->kill();
        process_->waitForFinished(1000);
    }
    std::function<void(Result)> done = std::exchange(done_, nullptr);
    done(std::move(result));
}
