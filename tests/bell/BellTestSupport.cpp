#include "BellTestSupport.h"

#include "localisation/Loc.h"
#include "settings/SettingsOverlay.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QTest>
#include <csignal>
#include <sys/prctl.h>

namespace belltest {

namespace {

const QString kMockInterface = QStringLiteral("org.freedesktop.DBus.Mock");
const QString kConnectionName = QStringLiteral("bell-test-bus");

// The helpers die with the test program, also when it crashes.
void dieWithParent() {
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
}

QVariant unwrap(const QVariant& value) {
    if (value.canConvert<QDBusVariant>()) return value.value<QDBusVariant>().variant();
    return value;
}

QStringList stringList(const QVariant& value) {
    const QVariant inner = unwrap(value);
    if (inner.canConvert<QDBusArgument>()) {
        QStringList list;
        inner.value<QDBusArgument>() >> list;
        return list;
    }
    return inner.toStringList();
}

// Stops the helpers once every test has run, while the application still exists.
class DaemonEnvironment : public testing::Environment {
public:
    void TearDown() override { NotificationDaemon::instance().stop(); }
};
[[maybe_unused]] testing::Environment* const daemonEnvironment =
    testing::AddGlobalTestEnvironment(new DaemonEnvironment);

} // namespace

NotificationDaemon& NotificationDaemon::instance() {
    static NotificationDaemon daemon;
    return daemon;
}

NotificationDaemon& NotificationDaemon::shared() {
    NotificationDaemon& daemon = instance();
    if (!daemon.running_ && daemon.failure_.isEmpty()) daemon.start();
    return daemon;
}

NotificationDaemon::NotificationDaemon() = default;

bool NotificationDaemon::start() {
    bus_.setChildProcessModifier(dieWithParent);
    bus_.start(QStringLiteral("dbus-daemon"), {"--session", "--nofork", "--print-address=1"});
    if (!bus_.waitForStarted(10000)) {
        failure_ = QStringLiteral("dbus-daemon did not start: ") + bus_.errorString();
        return false;
    }
    QByteArray printed;
    if (!QTest::qWaitFor(
            [&] {
                printed += bus_.readAllStandardOutput();
                return printed.contains('\n');
            },
            10000)) {
        failure_ = QStringLiteral("dbus-daemon printed no address");
        return false;
    }
    address_ = QString::fromUtf8(printed.left(printed.indexOf('\n')).trimmed());

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address_);
    daemon_.setProcessEnvironment(environment);
    daemon_.setChildProcessModifier(dieWithParent);
    daemon_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // Debian's own interpreter, which has the module; another python on the PATH may not.
    daemon_.start(QStringLiteral("/usr/bin/python3"),
                  {"-m", "dbusmock", "--template", "notification_daemon", "-l", logPath()});
    if (!daemon_.waitForStarted(10000)) {
        failure_ = QStringLiteral("python3 -m dbusmock did not start: ") + daemon_.errorString();
        return false;
    }

    QDBusConnection bus = QDBusConnection::connectToBus(address_, kConnectionName);
    if (!bus.isConnected()) {
        failure_ = QStringLiteral("cannot connect to the private bus: ") + bus.lastError().message();
        return false;
    }
    if (!QTest::qWaitFor(
            [&] {
                return bus.interface()
                           ->isServiceRegistered(QLatin1String(DesktopNotifications::kService))
                           .value() ||
                       daemon_.state() == QProcess::NotRunning;
            },
            30000) ||
        daemon_.state() == QProcess::NotRunning) {
        failure_ = QStringLiteral("the notification daemon did not appear on the bus");
        return false;
    }
    running_ = true;
    return true;
}

QDBusConnection NotificationDaemon::connection() const {
    return QDBusConnection(kConnectionName);
}

QString NotificationDaemon::logPath() const {
    return dir_.filePath(QStringLiteral("notifications.log"));
}

QList<NotificationDaemon::Notify> NotificationDaemon::notifyCalls() const {
    QDBusMessage query = QDBusMessage::createMethodCall(QLatin1String(DesktopNotifications::kService),
                                                        QLatin1String(DesktopNotifications::kPath),
                                                        kMockInterface, QStringLiteral("GetMethodCalls"));
    query << QStringLiteral("Notify");
    const QDBusMessage reply = connection().call(query);
    QList<Notify> calls;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return calls;
    const QDBusArgument list = reply.arguments().first().value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        quint64 time = 0;
        QVariantList args;
        list.beginStructure();
        list >> time >> args;
        list.endStructure();
        Notify call;
        if (args.size() >= 8) {
            call.appName = unwrap(args[0]).toString();
            call.replacesId = unwrap(args[1]).toUInt();
            call.summary = unwrap(args[3]).toString();
            call.body = unwrap(args[4]).toString();
            call.actions = stringList(args[5]);
        }
        calls << call;
    }
    list.endArray();
    return calls;
}

void NotificationDaemon::clearCalls() {
    connection().call(QDBusMessage::createMethodCall(QLatin1String(DesktopNotifications::kService),
                                                     QLatin1String(DesktopNotifications::kPath),
                                                     kMockInterface, QStringLiteral("ClearCalls")));
}

void NotificationDaemon::emitActionInvoked(quint32 id, const QString& action) {
    QDBusMessage emit_ = QDBusMessage::createMethodCall(QLatin1String(DesktopNotifications::kService),
                                                        QLatin1String(DesktopNotifications::kPath),
                                                        kMockInterface, QStringLiteral("EmitSignal"));
    emit_ << QLatin1String(DesktopNotifications::kInterface) << QStringLiteral("ActionInvoked")
          << QStringLiteral("us")
          << QVariantList{QVariant::fromValue(QDBusVariant(id)), QVariant::fromValue(QDBusVariant(action))};
    connection().call(emit_);
}

void NotificationDaemon::stop() {
    if (!running_ && bus_.state() == QProcess::NotRunning) return;
    running_ = false;
    QDBusConnection::disconnectFromBus(kConnectionName);
    for (QProcess* process : {&daemon_, &bus_}) {
        if (process->state() == QProcess::NotRunning) continue;
        process->terminate();
        if (!process->waitForFinished(5000)) {
            process->kill();
            process->waitForFinished(5000);
        }
    }
}

// ---- BellTest ---------------------------------------------------------------------------------

void BellTest::SetUp() {
    ASSERT_TRUE(dir.isValid());
    defaults = std::make_unique<Defaults>(dir.filePath(QStringLiteral("defaults.json")));
    SettingsOverlay::registerDefaultSettings(*defaults);
    Loc::setEnvironment({[] { return std::string("en"); }, [](const std::string&) {},
                         [] { return std::vector<std::string>{"en"}; }});
    makeManager(QDBusConnection(QStringLiteral("no bus")));
}

void BellTest::TearDown() {
    bell.reset();
    notifications.reset();
    Loc::setEnvironment({});
}

void BellTest::makeManager(const QDBusConnection& bus) {
    bell.reset();
    notifications = std::make_unique<DesktopNotifications>(bus);
    bell = std::make_unique<BellManager>(*defaults, *notifications, soundDirectory());
    bell->setHost(&host);
    bell->setClock([this] { return now; });
}

void BellTest::useNotificationDaemon() {
    NotificationDaemon& daemon = NotificationDaemon::shared();
    ASSERT_TRUE(daemon.isRunning()) << daemon.failure().toStdString();
    daemon.clearCalls();
    makeManager(daemon.connection());
}

bool BellTest::waitForNotifies(int count) {
    return QTest::qWaitFor([&] { return NotificationDaemon::shared().notifyCalls().size() >= count; }, 10000);
}

QList<NotificationDaemon::Notify> BellTest::settledNotifies() {
    EXPECT_TRUE(QTest::qWaitFor([&] { return !notifications->isBusy(); }, 10000));
    return NotificationDaemon::shared().notifyCalls();
}

QString BellTest::soundDirectory() {
    return qEnvironmentVariable("DUNMAR_BUILD_DIR") + QStringLiteral("/Dunmar/sounds");
}

} // namespace belltest
