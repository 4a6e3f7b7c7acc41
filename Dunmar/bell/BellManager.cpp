#include "bell/BellManager.h"

#include "bell/BellHost.h"
#include "bell/BellPane.h"
#include "bell/DesktopNotifications.h"
#include "localisation/Loc.h"
#include "localisation/LocBinding.h"
#include "platform/Defaults.h"
#include "settings/SettingsKeys.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDir>
#include <QPointer>
#include <QTimer>

namespace {

const QString& kBellEnabled = settings::kBellEnabled;
const QString& kBellOSNotification = settings::kBellOSNotification;
const QString& kBellSoundName = settings::kBellSoundName;

// A Boolean setting that counts as on when it was never written.
bool onUnlessOff(const Defaults& defaults, const QString& key) {
    const QVariant value = defaults.object(key);
    return !value.isValid() || value.toBool();
}

} // namespace

const QStringList& BellManager::soundNames() {
    static const QStringList names{QStringLiteral("Purr"),  QStringLiteral("Ping"),   QStringLiteral("Funk"),
                                   QStringLiteral("Glass"), QStringLiteral("Bottle"), QStringLiteral("Frog")};
    return names;
}

QString BellManager::defaultSoundDirectory() {
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("sounds"));
}

BellManager& BellManager::shared() {
    static DesktopNotifications notifications(QDBusConnection::sessionBus());
    static BellManager instance(Defaults::standard(), notifications, defaultSoundDirectory());
    return instance;
}

BellManager::BellManager(Defaults& defaults, DesktopNotifications& notifications,
                         const QString& soundDirectory, QObject* parent)
    : QObject(parent), defaults_(defaults), notifications_(notifications),
      clock_([] { return std::chrono::steady_clock::now(); }), sound_(soundDirectory),
      previews_(notifications) {
    flash_.onDimmedChanged = [this](bool dimmed) {
        if (host_) host_->setStatusItemDimmed(dimmed);
    };
    reloadSound();
}

BellManager::~BellManager() = default;

void BellManager::setHost(BellHost* host) {
    host_ = host;
    previews_.setHost(host);
}

void BellManager::setClock(Clock clock) {
    clock_ = std::move(clock);
}

bool BellManager::bellEnabled() const {
    return onUnlessOff(defaults_, kBellEnabled);
}

bool BellManager::notificationsEnabled() const {
    return onUnlessOff(defaults_, kBellOSNotification);
}

bool BellManager::isWindowInFront() const {
    return host_ && host_->isWindowVisible() && host_->windowAlpha() > 0.5 && host_->isWindowKey();
}

void BellManager::ring(BellPane* pane) {
    if (suppressed_ || !bellEnabled()) return;
    const auto now = clock_();
    if (lastRingTime_ && now - *lastRingTime_ <= kCooldown) return;
    lastRingTime_ = now;

    playAndFlash();
    sendOSNotificationIfNeeded(pane);
    markBellTabIfNeeded(pane);
}

void BellManager::ringQueued(BellPane* pane) {
    const BellPaneRef ref(pane);
    QTimer::singleShot(0, this, [this, ref] { ring(ref.get()); });
}

void BellManager::ringForTest() {
    if (!bellEnabled()) return;
    playAndFlash();
}

void BellManager::reloadSound() {
    QString name = defaults_.string(kBellSoundName);
    if (name.isEmpty()) name = QString::fromLatin1(kDefaultSoundName);
    sound_.load(name);
}

void BellManager::playAndFlash() {
    sound_.play();
    // The flash tells a user who cannot see the window; one who looks at it needs none.
    if (host_ && !isWindowInFront()) flash_.start();
}

void BellManager::sendOSNotificationIfNeeded(BellPane* source) {
    if (!notificationsEnabled()) return;
    const bool inFront = isWindowInFront();
    const QString general = qs(Loc::bellNotifBodyGeneral());

    if (!source || !host_ || host_->isPaneOnShow(*source)) {
        if (!inFront) postBellNotification(general, source);
        return;
    }
    // A background tab's own pane: named, and told even while the window is in front, since the
    // user is looking at another tab.
    if (const std::optional<int> index = host_->tabIndexOfPrimaryPane(*source)) {
        const QString name = BellPreviewQueue::tabName(*host_, *index);
        postBellNotification(qs(Loc::bellNotifBodyTab(name.toStdString())), source);
        return;
    }
    postBellNotification(general, source);
}

void BellManager::postBellNotification(const QString& body, BellPane* source) {
    QPointer<BellManager> self(this);
    const BellPaneRef ref(source);
    notifications_.post(QStringLiteral("Dunmar"), body, QString(), [self, ref] {
        if (self && self->host_) self->host_->showWindowForNotification(ref.get());
    });
}

void BellManager::markBellTabIfNeeded(BellPane* source) {
    if (!source || !host_ || host_->isPaneOnShow(*source)) return;
    const std::optional<int> index = host_->tabIndexOfPrimaryPane(*source);
    if (!index || !host_->markTabBell(*index)) return;
    previews_.enqueue(*index, *source);
}
