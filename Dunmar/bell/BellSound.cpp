#include "bell/BellSound.h"

#include <QFileInfo>
#include <alsa/asoundlib.h>
#include <canberra.h>
#include <cstdarg>

namespace {

// The one id under which the bell plays, so that a new bell cancels the one still sounding.
constexpr uint32_t kBellPlayId = 1;

// ALSA writes a page of errors to stderr whenever a device cannot be opened; a machine without
// audio would print it at every bell. The bell is allowed to be silent, so say nothing.
void quietAlsa(const char*, int, const char*, int, const char*, ...) {}

// The sound context of the process, made on the worker on first use. Only the worker touches it.
ca_context* context() {
    static ca_context* ctx = [] {
        snd_lib_error_set_handler(quietAlsa);
        ca_context* made = nullptr;
        if (ca_context_create(&made) != CA_SUCCESS) return static_cast<ca_context*>(nullptr);
        ca_context_change_props(made, CA_PROP_APPLICATION_NAME, "Dunmar", CA_PROP_APPLICATION_ID, "dunmar",
                                nullptr);
        return made;
    }();
    return ctx;
}

} // namespace

BellSound::BellSound(QString directory) : directory_(std::move(directory)) {
    // One thread keeps the requests in order: a stop never overtakes the play it is meant to end.
    worker_.setMaxThreadCount(1);
    worker_.setExpiryTimeout(-1);
}

BellSound::~BellSound() {
    waitForIdle();
}

bool BellSound::load(const QString& name) {
    path_.clear();
    // The name comes from the settings file: it must not reach outside the sounds folder.
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.startsWith(QLatin1Char('.'))) return false;
    const QFileInfo file(directory_ + QLatin1Char('/') + name + QStringLiteral(".wav"));
    if (!file.isFile() || !file.isReadable()) return false;
    path_ = file.absoluteFilePath();
    return true;
}

void BellSound::play() {
    if (path_.isEmpty()) return;
    ++playCount_;
    const QByteArray file = path_.toLocal8Bit();
    worker_.start([file] {
        ca_context* ctx = context();
        if (!ctx) return;
        ca_context_cancel(ctx, kBellPlayId);
        // An error here means there is nothing to play on; the bell then stays silent.
        ca_context_play(ctx, kBellPlayId, CA_PROP_MEDIA_FILENAME, file.constData(), CA_PROP_EVENT_DESCRIPTION,
                        "Terminal bell", nullptr);
    });
}

void BellSound::stop() {
    worker_.start([] {
        if (ca_context* ctx = context()) ca_context_cancel(ctx, kBellPlayId);
    });
}

void BellSound::waitForIdle() {
    worker_.waitForDone();
}
