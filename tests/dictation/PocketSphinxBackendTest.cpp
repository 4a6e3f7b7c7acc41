// The real recogniser on spoken WAV files.
#include "dictation/PocketSphinxBackend.h"

#include "SpeechFixtures.h"
#include "dictation/WavFileAudioSource.h"
#include "support/Waits.h"

#include <QStringList>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct Results {
    QStringList partials;
    QStringList finals;
    QStringList errors;
};

// Feeds a whole file to a new task of `backend` and ends the audio.
std::shared_ptr<SpeechRecognitionTask> recognise(PocketSphinxBackend& backend, const QString& wav,
                                                 Results& out) {
    std::vector<std::int16_t> samples;
    EXPECT_EQ(WavFileAudioSource::readSamples(wav, &samples), std::nullopt);
    auto task = backend.startTask(
        QStringLiteral("en_US"),
        [&out](const QString& text, bool isFinal) { (isFinal ? out.finals : out.partials) << text; },
        [&out](const QString& error) { out.errors << error; });
    for (std::size_t at = 0; at < samples.size(); at += AudioSource::kBufferFrames)
        task->appendAudio(samples.data() + at, std::min(AudioSource::kBufferFrames, samples.size() - at));
    task->endAudio();
    return task;
}

TEST(PocketSphinxBackend, GrammarRecognisesTheCommandExactly) {
    const QString wav = speechfixtures::spokenWav(QStringLiteral("list all files"));
    ASSERT_FALSE(wav.isEmpty());
    PocketSphinxBackend backend(
        {QStringLiteral("/usr/share/pocketsphinx/model/en-us"), speechfixtures::commandGrammar()});
    ASSERT_TRUE(backend.isAvailable(QStringLiteral("en_US")));
    Results results;
    auto task = recognise(backend, wav, results);
    QTRY_COMPARE_WITH_TIMEOUT(results.finals.size(), 1, 20000);
    EXPECT_EQ(results.finals.front(), QStringLiteral("list all files"));
    EXPECT_TRUE(results.errors.isEmpty());

    // The model stays loaded: a second utterance on the same backend is recognised too, and a
    // cancelled one reports nothing.
    Results cancelled;
    auto dropped = recognise(backend, wav, cancelled);
    dropped->cancel();
    Results again;
    auto second = recognise(backend, wav, again);
    QTRY_COMPARE_WITH_TIMEOUT(again.finals.size(), 1, 20000);
    EXPECT_EQ(again.finals.front(), QStringLiteral("list all files"));
    EXPECT_TRUE(cancelled.finals.isEmpty());
    EXPECT_TRUE(cancelled.partials.isEmpty());
}

TEST(PocketSphinxBackend, GeneralModelReportsPartialsThenOneFinal) {
    const QString wav = speechfixtures::spokenWav(QStringLiteral("open the door please"));
    ASSERT_FALSE(wav.isEmpty());
    PocketSphinxBackend backend;
    Results results;
    auto task = recognise(backend, wav, results);
    QTRY_COMPARE_WITH_TIMEOUT(results.finals.size(), 1, 30000);
    EXPECT_FALSE(results.partials.isEmpty());
    EXPECT_FALSE(results.finals.front().isEmpty());
    // Nothing follows the final result.
    testsupport::drainEvents();
    EXPECT_EQ(results.finals.size(), 1);
}

TEST(PocketSphinxBackend, OnlyUsEnglishIsAvailable) {
    PocketSphinxBackend backend;
    for (const char* locale : {"en_US", "en-US", "en", "C", "en_US.UTF-8"})
        EXPECT_TRUE(backend.isAvailable(QString::fromLatin1(locale))) << locale;
    for (const char* locale : {"de_DE", "en_GB", "fr", ""})
        EXPECT_FALSE(backend.isAvailable(QString::fromLatin1(locale))) << locale;
    PocketSphinxBackend missing({QStringLiteral("/nonexistent/model"), QString()});
    EXPECT_FALSE(missing.isAvailable(QStringLiteral("en_US")));
}

TEST(WavFileAudioSource, RefusesWhatIsNotSixteenKilohertzMonoPcm) {
    const QString wav = speechfixtures::spokenWav(QStringLiteral("list all files"));
    std::vector<std::int16_t> samples;
    EXPECT_EQ(WavFileAudioSource::readSamples(wav, &samples), std::nullopt);
    EXPECT_GT(samples.size(), 8000u);
    // espeak-ng's own output is 22 kHz.
    const QString raw = QString(wav).replace(QStringLiteral(".wav"), QStringLiteral("-raw.wav"));
    EXPECT_NE(WavFileAudioSource::readSamples(raw, &samples), std::nullopt);
    EXPECT_NE(WavFileAudioSource::readSamples(QStringLiteral("/nonexistent.wav"), &samples), std::nullopt);
    WavFileAudioSource source(raw);
    EXPECT_TRUE(source.start([](const std::int16_t*, std::size_t) {}).has_value());
}

} // namespace
