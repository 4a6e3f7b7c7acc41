#include "platform/Defaults.h"

#include "platform/AtomicFile.h"
#include "platform/PrivateFolder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <cmath>

namespace {

// JSON has one number type, so a double with an integral value (a font size of 14.0) would come
// back as an integer. Such doubles are written as {"$double": 14} and read back as doubles.
constexpr auto kDoubleTag = "$double";

bool isNumberType(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

bool isIntegerType(const QVariant& v) {
    return isNumberType(v) && v.typeId() != QMetaType::Double && v.typeId() != QMetaType::Float;
}

QJsonValue toJson(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool();
    case QMetaType::QString:
        return v.toString();
    case QMetaType::Double:
    case QMetaType::Float: {
        double d = v.toDouble();
        if (std::isfinite(d) && std::trunc(d) == d) return QJsonObject{{kDoubleTag, d}};
        if (!std::isfinite(d)) return QJsonValue(); // JSON cannot hold these
        return d;
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        QJsonArray a;
        for (const QVariant& e : v.toList()) a.append(toJson(e));
        return a;
    }
    case QMetaType::QVariantMap: {
        QJsonObject o;
        const QVariantMap m = v.toMap();
        for (auto it = m.begin(); it != m.end(); ++it) o.insert(it.key(), toJson(it.value()));
        return o;
    }
    default:
        if (isIntegerType(v)) return v.toLongLong();
        return QJsonValue::fromVariant(v);
    }
}

QVariant fromJson(const QJsonValue& j) {
    switch (j.type()) {
    case QJsonValue::Bool:
        return j.toBool();
    case QJsonValue::String:
        return j.toString();
    case QJsonValue::Double: {
        double d = j.toDouble();
        if (std::trunc(d) == d && std::fabs(d) < 9.0e15) return qint64(d);
        return d;
    }
    case QJsonValue::Array: {
        QVariantList l;
        for (const QJsonValue& e : j.toArray()) l.append(fromJson(e));
        return l;
    }
    case QJsonValue::Object: {
        const QJsonObject o = j.toObject();
        if (o.size() == 1 && o.contains(kDoubleTag) && o.value(kDoubleTag).isDouble())
            return o.value(kDoubleTag).toDouble();
        QVariantMap m;
        for (auto it = o.begin(); it != o.end(); ++it) m.insert(it.key(), fromJson(it.value()));
        return m;
    }
    default:
        return {};
    }
}

} // namespace

bool Defaults::isNumber(const QVariant& value) {
    return isNumberType(value);
}
bool Defaults::isInteger(const QVariant& value) {
    return isIntegerType(value);
}

Defaults& Defaults::standard() {
    // Destroyed at exit, which writes anything still pending.
    static Defaults store(standardPath());
    return store;
}

QString Defaults::standardPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/dunmar/defaults.json";
}

Defaults::Defaults(const QString& filePath, QObject* parent) : QObject(parent), path_(filePath) {
    writeTimer_.setSingleShot(true);
    writeTimer_.setInterval(kWriteDelayMs);
    connect(&writeTimer_, &QTimer::timeout, this, [this] { synchronize(); });
    load();
}

Defaults::~Defaults() {
    synchronize();
}

void Defaults::load() {
    // A store written before it was kept private becomes private before anything is read from it
    // or moved aside.
    const QString folder = QFileInfo(path_).absolutePath();
    if (QFileInfo(folder).isDir()) privatefolder::ensure(folder);
    privatefolder::restrictTree(path_);
    QFile f(path_);
    if (!f.exists() || !f.open(QIODevice::ReadOnly)) return;
    const QByteArray bytes = f.readAll();
    f.close();
    QJsonParseError err{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &err);
    if (err.error != QJsonParseError::NoError || !doc.isObject()) {
        // Keep the unreadable file for the user instead of overwriting it with defaults.
        const QString stamp = QDateTime::currentDateTimeUtc().toString("yyyyMMdd-HHmmss");
        QString aside = path_ + ".broken-" + stamp;
        for (int n = 1; QFile::exists(aside); ++n)
            aside = path_ + ".broken-" + stamp + "-" + QString::number(n);
        if (QFile::rename(path_, aside)) quarantined_ = aside;
        return;
    }
    const QJsonObject o = doc.object();
    for (auto it = o.begin(); it != o.end(); ++it) {
        QVariant v = fromJson(it.value());
        if (v.isValid()) stored_.insert(it.key(), v);
    }
}

void Defaults::registerDefaults(const QVariantMap& values) {
    QMutexLocker lock(&mutex_);
    for (auto it = values.begin(); it != values.end(); ++it) registered_.insert(it.key(), it.value());
}

QVariantMap Defaults::registeredDefaults() const {
    QMutexLocker lock(&mutex_);
    return registered_;
}

QVariant Defaults::registeredValue(const QString& key) const {
    QMutexLocker lock(&mutex_);
    return registered_.value(key);
}

QVariant Defaults::object(const QString& key) const {
    QMutexLocker lock(&mutex_);
    auto it = stored_.constFind(key);
    if (it != stored_.constEnd()) return *it;
    return registered_.value(key);
}

bool Defaults::hasStoredValue(const QString& key) const {
    QMutexLocker lock(&mutex_);
    return stored_.contains(key);
}

QStringList Defaults::storedKeys() const {
    QMutexLocker lock(&mutex_);
    return stored_.keys();
}

void Defaults::setValue(const QString& key, const QVariant& value) {
    if (!value.isValid()) {
        removeObject(key);
        return;
    }
    {
        QMutexLocker lock(&mutex_);
        auto it = stored_.find(key);
        if (it != stored_.end() && *it == value && it->typeId() == value.typeId()) return;
        stored_.insert(key, value);
        dirty_ = true;
    }
    scheduleWrite();
    emit valueChanged(key);
}

void Defaults::removeObject(const QString& key) {
    {
        QMutexLocker lock(&mutex_);
        if (stored_.remove(key) == 0) return;
        dirty_ = true;
    }
    scheduleWrite();
    emit valueChanged(key);
}

void Defaults::scheduleWrite() {
    // The timer belongs to the store's thread; a write from elsewhere is posted there.
    QMetaObject::invokeMethod(&writeTimer_, qOverload<>(&QTimer::start), Qt::AutoConnection);
}

bool Defaults::synchronize() {
    QJsonObject o;
    {
        QMutexLocker lock(&mutex_);
        if (!dirty_) return true;
        for (auto it = stored_.begin(); it != stored_.end(); ++it) {
            QJsonValue j = toJson(it.value());
            if (!j.isNull() && !j.isUndefined()) o.insert(it.key(), j);
        }
    }
    // The store holds connection profiles, folders and commands: the user's eyes only.
    privatefolder::ensure(QFileInfo(path_).absolutePath());
    QString error;
    if (!atomicfile::write(path_, QJsonDocument(o).toJson(QJsonDocument::Indented), &error,
                           QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        // The changes stay pending (dirty) for the next attempt; the user hears once per run of
        // failures, not at every debounced write.
        const bool first = !writeFailing_;
        writeFailing_ = true;
        if (first) emit writeFailed(error);
        return false;
    }
    writeFailing_ = false;
    QMutexLocker lock(&mutex_);
    dirty_ = false;
    return true;
}

namespace {
template <typename Accept, typename Convert>
auto typedRead(const Defaults& d, const QString& key, Accept accept, Convert convert)
    -> decltype(convert(QVariant())) {
    QVariant v = d.object(key);
    if (v.isValid() && accept(v)) return convert(v);
    QVariant r = d.registeredValue(key);
    if (r.isValid() && accept(r)) return convert(r);
    return convert(QVariant());
}
} // namespace

QString Defaults::string(const QString& key) const {
    return typedRead(
        *this, key, [](const QVariant& v) { return v.typeId() == QMetaType::QString; },
        [](const QVariant& v) { return v.toString(); });
}

qint64 Defaults::integer(const QString& key) const {
    return typedRead(
        *this, key, [](const QVariant& v) { return isNumberType(v) || v.typeId() == QMetaType::Bool; },
        [](const QVariant& v) -> qint64 {
            if (!v.isValid()) return 0;
            double d = v.toDouble();
            if (!std::isfinite(d)) return 0;
            return isIntegerType(v) ? v.toLongLong() : qint64(d);
        });
}

double Defaults::doubleValue(const QString& key) const {
    return typedRead(
        *this, key, [](const QVariant& v) { return isNumberType(v); },
        [](const QVariant& v) { return v.isValid() ? v.toDouble() : 0.0; });
}

bool Defaults::boolean(const QString& key) const {
    return typedRead(
        *this, key, [](const QVariant& v) { return v.typeId() == QMetaType::Bool || isNumberType(v); },
        [](const QVariant& v) {
            return v.isValid() && (v.typeId() == QMetaType::Bool ? v.toBool() : v.toDouble() != 0);
        });
}

QVariantList Defaults::array(const QString& key) const {
    return typedRead(
        *this, key,
        [](const QVariant& v) {
            return v.typeId() == QMetaType::QVariantList || v.typeId() == QMetaType::QStringList;
        },
        [](const QVariant& v) { return v.toList(); });
}

QVariantMap Defaults::dictionary(const QString& key) const {
    return typedRead(
        *this, key, [](const QVariant& v) { return v.typeId() == QMetaType::QVariantMap; },
        [](const QVariant& v) { return v.toMap(); });
}
