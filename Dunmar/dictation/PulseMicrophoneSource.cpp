#include "dictation/PulseMicrophoneSource.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <pulse/error.h>
#include <pulse/simple.h>
#include <thread>
#include <vector>

PulseMicrophoneSource::PulseMicrophoneSource(QString source) : source_(std::move(source)) {}

PulseMicrophoneSource::~PulseMicrophoneSource() {
    *alive_ = false;
    stop();
}

pa_simple* PulseMicrophoneSource::open(const QString& source, QString* error) {
    pa_sample_spec sampleFormat{};
    sampleFormat.format = PA_SAMPLE_S16LE;
    sampleFormat.rate = kSampleRate;
    sampleFormat.channels = 1;
    // Fragments of one buffer keep the recogniser's partial results close behind the voice.
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<std::uint32_t>(-1);
    attr.fragsize = static_cast<std::uint32_t>(kBufferFrames * sizeof(std::int16_t));
    const QByteArray device = source.toUtf8();
    int code = 0;
    pa_simple* stream =
        pa_simple_new(nullptr, "Dunmar", PA_STREAM_RECORD, source.isEmpty() ? nullptr : device.constData(),
                      "Dictation", &sampleFormat, nullptr, &attr, &code);
    if (!stream && error) *error = QString::fromUtf8(pa_strerror(code));
    return stream;
}

void PulseMicrophoneSource::requestAccess(std::function<void(bool granted)> done) {
    // Connecting may take a moment (a server starting on demand): off the main thread.
    std::thread([source = source_, alive = alive_, done = std::move(done)]() mutable {
        QString error;
        pa_simple* stream = open(source, &error);
        const bool granted = stream != nullptr;
        if (stream) pa_simple_free(stream);
        // The application object outlives every source; the flag says whether this one still lives.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [alive, done = std::move(done), granted] {
                if (*alive) done(granted);
            },
            Qt::QueuedConnection);
    }).detach();
}

std::optional<QString> PulseMicrophoneSource::start(Tap tap) {
    stop();
    QString error;
    pa_simple* stream = open(source_, &error);
    if (!stream) return error;
    auto run = std::make_shared<Run>();
    run_ = run;
    std::thread([run, stream, tap = std::move(tap)] {
        std::vector<std::int16_t> buffer(kBufferFrames);
        int code = 0;
        for (;;) {
            if (pa_simple_read(stream, buffer.data(), buffer.size() * sizeof(std::int16_t), &code) < 0) break;
            std::lock_guard lock(run->mutex);
            if (run->stopped) break;
            tap(buffer.data(), buffer.size());
        }
        pa_simple_free(stream);
    }).detach();
    return std::nullopt;
}

void PulseMicrophoneSource::stop() {
    const std::shared_ptr<Run> run = std::move(run_);
    if (!run) return;
    std::lock_guard lock(run->mutex);
    run->stopped = true;
}
