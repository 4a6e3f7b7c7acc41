#pragma once

#include "dictation/SpeechBackend.h"

#include <QObject>
#include <QString>
#include <memory>

// On-device recognition with PocketSphinx and its US English model. One worker thread, started with
// the backend, loads the model once and decodes the utterances one after another, so a session
// does not wait for the model to load again. Partial results come from the decoder's hypothesis
// while audio flows, the final one when the audio ends.
class PocketSphinxBackend final : public SpeechBackend {
public:
    struct Config {
        // The model folder of Debian's pocketsphinx-en-us.
        QString modelDir = QStringLiteral("/usr/share/pocketsphinx/model/en-us");
        // A JSGF grammar to recognise instead of the general language model (empty: none).
        QString grammarPath;
    };

    PocketSphinxBackend();
    explicit PocketSphinxBackend(Config config);
    ~PocketSphinxBackend() override;

    void requestAuthorization(std::function<void(bool authorised)> done) override;
    // US English only: "en_US", "en-US" or "en", and the C locale, whose language is English. The
    // model's files must be present.
    bool isAvailable(const QString& locale) const override;
    std::shared_ptr<SpeechRecognitionTask> startTask(const QString& locale, ResultHandler onResult,
                                                     ErrorHandler onError) override;

    static bool isSupportedLocale(const QString& locale);

    class Worker;

private:
    Config config_;
    QObject context_; // results hop to the main thread through it
    std::shared_ptr<Worker> worker_;
};
