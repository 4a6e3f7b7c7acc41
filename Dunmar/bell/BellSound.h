#pragma once

#include <QString>
#include <QThreadPool>

// The bell's sound: one of our WAV files, played through libcanberra. Playing never blocks the
// caller and never fails loudly: the sound system is opened and driven on a worker thread, and a
// machine without an audio device simply stays silent.
class BellSound {
public:
    // Sounds are looked up as "<directory>/<name>.wav".
    explicit BellSound(QString directory);
    ~BellSound();
    BellSound(const BellSound&) = delete;
    BellSound& operator=(const BellSound&) = delete;

    // Chooses the sound called `name`; false (and no sound) when there is no such file or the
    // name is not a plain file name.
    bool load(const QString& name);
    void unload() { path_.clear(); }
    bool isLoaded() const { return !path_.isEmpty(); }
    // The file of the chosen sound; empty when none.
    QString filePath() const { return path_; }
    QString directory() const { return directory_; }

    // Stops the sound if it is still playing and plays it from the start. Nothing without a sound.
    void play();
    // Stops the sound.
    void stop();

    // The number of requests handed to the sound system so far (each play is one).
    int playCount() const { return playCount_; }
    // Waits until the worker has handed every request over (for tests and for a clean exit).
    void waitForIdle();

private:
    QString directory_;
    QString path_;
    int playCount_ = 0;
    QThreadPool worker_;
};
