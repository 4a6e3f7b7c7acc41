#include "editor/FormatterProcess.h"

#include "platform/ProcessGroup.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringDecoder>
#include <algorithm>

namespace {

QString tooMuchOutput(qint64 limit) {
    return QStringLiteral("Formatter-Ausgabe zu groß (über %1) — Dokument unverändert")
        .arg(byteCountText(limit));
}

} // namespace

qint64 FormatterProcess::outputLimit(qint64 inputBytes) {
    return std::min(kOutputCeiling, kOutputFactor * std::max<qint64>(0, inputBytes) + kOutputSlack);
}

FormatterProcess::FormatterProcess(const QString& tool, const QStringList& args, const QString& path,
                                   int timeLimitMs, QObject* parent)
    : QObject(parent), timeLimitMs_(timeLimitMs) {
    process_ = new QProcess(this);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PATH"), path);
    process_->setProcessEnvironment(env);
    process_->setProgram(tool);
    process_->setArguments(args);
    processgroup::startInOwnGroup(*process_);

    connect(process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) finish({false, {}, process_->errorString()});
    });
    // Both outputs are taken in as they come, so neither pipe fills up and stalls the tool, and
    // each only up to its limit; warnings on standard error are looked at only when the run fails.
    connect(process_, &QProcess::readyReadStandardOutput, this, [this] {
        if (output_.append(process_->readAllStandardOutput())) return;
        finish({false, {}, tooMuchOutput(output_.limit())});
    });
    connect(process_, &QProcess::readyReadStandardError, this,
            [this] { errors_.appendWhatFits(process_->readAllStandardError()); });
    connect(process_, &QProcess::finished, this, [this](int exitCode, QProcess::ExitStatus status) {
        if (status != QProcess::NormalExit) {
            finish({false, {}, QStringLiteral("Formatter abgestürzt")});
            return;
        }
        finished(exitCode);
    });

    limit_.setSingleShot(true);
    connect(&limit_, &QTimer::timeout, this, [this] {
        finish({false, {}, QStringLiteral("Formatter nach %1 s abgebrochen").arg(timeLimitMs_ / 1000.0)});
    });
}

void FormatterProcess::finished(int exitCode) {
    // What is still in the pipes when the process ends comes through here, not through readyRead.
    output_.append(process_->readAllStandardOutput());
    if (output_.isOverLimit()) {
        finish({false, {}, tooMuchOutput(output_.limit())});
        return;
    }
    if (exitCode != 0) {
        errors_.appendWhatFits(process_->readAllStandardError());
        QStringDecoder utf8(QStringDecoder::Utf8);
        QString message = QString(utf8.decode(errors_.bytes())).trimmed();
        if (utf8.hasError()) message = QStringLiteral("Fehler");
        if (message.isEmpty()) message = QStringLiteral("Formatter fehlgeschlagen");
        finish({false, {}, message});
        return;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(output_.bytes());
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
}

void FormatterProcess::start(const QString& input, std::function<void(Result)> done) {
    done_ = std::move(done);
    inputWasEmpty_ = input.isEmpty();
    const QByteArray bytes = input.toUtf8();
    output_ = BoundedBuffer(outputLimit(bytes.size()));
    limit_.start(timeLimitMs_);
    process_->start();
    if (!done_) return; // it could not start
    process_->write(bytes);
    process_->closeWriteChannel();
}

FormatterProcess::~FormatterProcess() {
    endProcess();
}

void FormatterProcess::endProcess() {
    if (process_->state() == QProcess::NotRunning) return;
    process_->disconnect(this);
    // The whole group: the tool's own children go with it.
    processgroup::killGroup(process_->processId());
    process_->kill();
    process_->waitForFinished(1000);
}

void FormatterProcess::finish(Result result) {
    if (!done_) return;
    limit_.stop();
    endProcess();
    std::function<void(Result)> done = std::exchange(done_, nullptr);
    done(std::move(result));
}
