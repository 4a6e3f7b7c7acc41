// The microphone through a real PulseAudio server of the test's own: a null sink, and a pipe source
// that plays the spoken WAV file as if it were heard.
#include "SpeechFixtures.h"
#include "dictation/PocketSphinxBackend.h"
#include "dictation/PulseMicrophoneSource.h"
#include "dictation/WavFileAudioSource.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <gtest/gtest.h>

namespace {

// PULSE_SERVER for the length of a test: the client library then neither looks for the user's
// server nor starts one.
class PulseServerVariable {
public:
    explicit PulseServerVariable(const QString& address) : old_(qgetenv("PULSE_SERVER")) {
        qputenv("PULSE_SERVER", address.toLocal8Bit());
    }
    ~PulseServerVariable() {
        if (old_.isNull())
            qunsetenv("PULSE_SERVER");
        else
            qputenv("PULSE_SERVER", old_);
    }

private:
    QByteArray old_;
};

class PrivatePulseServer {
public:
    ~PrivatePulseServer() {
        server_.terminate();
        if (!server_.waitForFinished(5000)) server_.kill();
        server_.waitForFinished(5000);
    }
    bool start() {
        QFile script(dir_.filePath(QStringLiteral("server.pa")));
        if (!script.open(QIODevice::WriteOnly)) return false;
        script.write(QStringLiteral("load-module module-native-protocol-unix socket=%1 auth-anonymous=1\n"
                                    "load-module module-null-sink sink_name=silence\n"
                                    "load-module module-pipe-source source_name=spoken file=%2 format=s16le "
                                    "rate=16000 channels=1\n")
                         .arg(socket(), fifo())
                         .toLocal8Bit());
        script.close();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), dir_.path());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir_.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir_.path());
        env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        env.remove(QStringLiteral("DISPLAY"));
        server_.setProcessEnvironment(env);
        server_.setProcessChannelMode(QProcess::MergedChannels);
        server_.start(QStringLiteral("pulseaudio"),
                      {QStringLiteral("-n"), QStringLiteral("-F"), script.fileName(),
                       QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
                       QStringLiteral("--use-pid-file=no"), QStringLiteral("--log-target=stderr")});
        const bool up = QTest::qWaitFor(
            [&] {
                return (QFile::exists(socket()) && QFile::exists(fifo())) ||
                       server_.state() == QProcess::NotRunning;
            },
            20000);
        if (!up || server_.state() == QProcess::NotRunning) {
            ADD_FAILURE() << "pulseaudio did not start: " << server_.readAll().toStdString();
            return false;
        }
        return true;
    }
    QString address() const { return QStringLiteral("unix:") + socket(); }
    QString socket() const { return dir_.filePath(QStringLiteral("native")); }
    QString fifo() const { return dir_.filePath(QStringLiteral("spoken.fifo")); }

private:
    QTemporaryDir dir_;
    QProcess server_;
};

TEST(PulseMicrophoneSource, RecordsWhatTheServersSourceHears) {
    if (QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty() &&
        !QStandardPaths::findExecutable(QStringLiteral("pipewire-pulse")).isEmpty())
        GTEST_SKIP() << "PulseAudio is not installed beside PipeWire's server here (scripts/install-deps "
                        "leaves the desktop's sound server alone)";
    PrivatePulseServer server;
    ASSERT_TRUE(server.start());
    PulseServerVariable variable(server.address());

    PulseMicrophoneSource microphone(QStringLiteral("spoken"));
    std::optional<bool> granted;
    microphone.requestAccess([&](bool ok) { granted = ok; });
    QTRY_VERIFY_WITH_TIMEOUT(granted.has_value(), 10000);
    ASSERT_TRUE(*granted);

    PocketSphinxBackend backend(
        {QStringLiteral("/usr/share/pocketsphinx/model/en-us"), speechfixtures::commandGrammar()});
    QStringList partials;
    QStringList finals;
    auto task = backend.startTask(
        QStringLiteral("en_US"),
        [&](const QString& text, bool isFinal) { (isFinal ? finals : partials) << text; },
        [](const QString&) {});
    const std::weak_ptr<SpeechRecognitionTask> weak = task;
    std::atomic<std::size_t> heard{0};
    ASSERT_EQ(microphone.start([weak, &heard](const std::int16_t* samples, std::size_t count) {
        heard += count;
        if (auto t = weak.lock()) t->appendAudio(samples, count);
    }),
              std::nullopt);

    // The words, then a moment of silence that carries them through the server's buffers.
    std::vector<std::int16_t> samples;
    ASSERT_EQ(WavFileAudioSource::readSamples(speechfixtures::spokenWav(QStringLiteral("list all files")),
                                              &samples),
              std::nullopt);
    samples.resize(samples.size() + AudioSource::kSampleRate / 2, 0);
    QFile fifo(server.fifo());
    ASSERT_TRUE(fifo.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    fifo.write(reinterpret_cast<const char*>(samples.data()), qint64(samples.size() * sizeof(std::int16_t)));

    QTRY_VERIFY_WITH_TIMEOUT(partials.contains(QStringLiteral("list all files")), 20000);
    EXPECT_GE(heard.load(), samples.size() / 2) << partials.join(QStringLiteral(" | ")).toStdString();
    microphone.stop();
    task->endAudio();
    QTRY_COMPARE_WITH_TIMEOUT(finals, QStringList{QStringLiteral("list all files")}, 20000);
}

TEST(PulseMicrophoneSource, NoServerMeansNoMicrophone) {
    QTemporaryDir dir;
    PulseServerVariable variable(QStringLiteral("unix:") + dir.filePath(QStringLiteral("nobody-here")));
    PulseMicrophoneSource microphone;
    std::optional<bool> granted;
    microphone.requestAccess([&](bool ok) { granted = ok; });
    QTRY_VERIFY_WITH_TIMEOUT(granted.has_value(), 10000);
    EXPECT_FALSE(*granted);
    const std::optional<QString> failure = microphone.start([](const std::int16_t*, std::size_t) {});
    ASSERT_TRUE(failure.has_value());
    EXPECT_FALSE(failure->isEmpty());
}

} // namespace
