#include "dictation/WavFileAudioSource.h"

#include <QFile>
#include <QMetaObject>
#include <QTimer>
#include <QtEndian>
#include <algorithm>
#include <chrono>

WavFileAudioSource::WavFileAudioSource(QString path, Pace pace) : path_(std::move(path)), pace_(pace) {}

WavFileAudioSource::~WavFileAudioSource() {
    stop();
}

void WavFileAudioSource::requestAccess(std::function<void(bool granted)> done) {
    const bool readable = QFile::exists(path_);
    QTimer::singleShot(0, [done = std::move(done), readable] { done(readable); });
}

std::optional<QString> WavFileAudioSource::readSamples(const QString& path,
                                                       std::vector<std::int16_t>* samples) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return file.errorString();
    const QByteArray data = file.readAll();
    if (data.size() < 12 || !data.startsWith("RIFF") || data.mid(8, 4) != "WAVE")
        return QStringLiteral("%1 is not a WAV file").arg(path);
    bool formatOk = false;
    // Chunks follow the 12-byte header: an id, a little-endian length and the body, padded to even.
    qsizetype at = 12;
    while (at + 8 <= data.size()) {
        const QByteArray id = data.mid(at, 4);
        const quint32 length = qFromLittleEndian<quint32>(data.constData() + at + 4);
        const qsizetype body = at + 8;
        if (length > static_cast<quint64>(data.size() - body))
            return QStringLiteral("%1 is cut short").arg(path);
        if (id == "fmt " && length >= 16) {
            const char* f = data.constData() + body;
            const auto format = qFromLittleEndian<quint16>(f);
            const auto channels = qFromLittleEndian<quint16>(f + 2);
            const auto rate = qFromLittleEndian<quint32>(f + 4);
            const auto bits = qFromLittleEndian<quint16>(f + 14);
            formatOk =
                format == 1 && channels == 1 && rate == static_cast<quint32>(kSampleRate) && bits == 16;
            if (!formatOk) return QStringLiteral("%1 is not 16 kHz mono 16-bit PCM").arg(path);
        } else if (id == "data") {
            if (!formatOk) return QStringLiteral("%1 has no format before its samples").arg(path);
            samples->resize(length / 2);
            for (std::size_t i = 0; i < samples->size(); ++i)
                (*samples)[i] = qFromLittleEndian<qint16>(data.constData() + body + 2 * i);
            return std::nullopt;
        }
        at = body + length + (length & 1);
    }
    return QStringLiteral("%1 has no samples").arg(path);
}

std::optional<QString> WavFileAudioSource::start(Tap tap) {
    stop();
    std::vector<std::int16_t> samples;
    if (std::optional<QString> error = readSamples(path_, &samples)) return error;
    stopping_ = false;
    thread_ = std::thread([this, tap = std::move(tap), samples = std::move(samples)] {
        using Clock = std::chrono::steady_clock;
        const Clock::time_point begin = Clock::now();
        for (std::size_t at = 0; at < samples.size() && !stopping_; at += kBufferFrames) {
            const std::size_t count = std::min(kBufferFrames, samples.size() - at);
            if (pace_ == Pace::realTime) {
                // A buffer is handed over once the time it lasts has passed, as a microphone does.
                const auto due = begin + std::chrono::microseconds((at + count) * 1000000 / kSampleRate);
                while (!stopping_ && Clock::now() < due)
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                if (stopping_) break;
            }
            tap(samples.data() + at, count);
        }
    });
    return std::nullopt;
}

void WavFileAudioSource::stop() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
}
