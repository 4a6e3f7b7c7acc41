#pragma once

#include <QMutex>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVariant>

// The user's settings and the program's remembered state, kept in one JSON file.
//
// Values keep their type across a save and a load: strings, integers, doubles, Booleans, arrays and
// dictionaries. Registered defaults live in memory only and answer for keys the user never wrote.
// Writes are atomic and happen after a short debounce, or at once through synchronize().
class Defaults : public QObject {
    Q_OBJECT
public:
    // The store at $XDG_CONFIG_HOME/dunmar/defaults.json, created on first use.
    static Defaults& standard();
    static QString standardPath();

    explicit Defaults(const QString& filePath, QObject* parent = nullptr);
    ~Defaults() override;

    QString filePath() const { return path_; }
    // The file a broken store was moved to at load, or empty when the file parsed.
    QString quarantinedPath() const { return quarantined_; }

    void registerDefaults(const QVariantMap& values);
    QVariantMap registeredDefaults() const;
    QVariant registeredValue(const QString& key) const;

    // The stored value, else the registered default, else an invalid QVariant.
    QVariant object(const QString& key) const;
    // True when the user wrote a value (registered defaults do not count).
    bool hasStoredValue(const QString& key) const;
    void setValue(const QString& key, const QVariant& value);
    void removeObject(const QString& key);
    QStringList storedKeys() const;

    // Typed reads. An absent or wrongly typed value reads as the registered default, and when that
    // is missing or of another type too, as the type's empty value.
    QString string(const QString& key) const;
    qint64 integer(const QString& key) const;
    double doubleValue(const QString& key) const;
    bool boolean(const QString& key) const;
    QVariantList array(const QString& key) const;
    QVariantMap dictionary(const QString& key) const;

    // Whether a stored value is a number of any width, integral or floating point.
    static bool isNumber(const QVariant& value);
    // Whether a stored value is an integral number (not a double, even one with an integral value).
    static bool isInteger(const QVariant& value);

    // Writes pending changes now; false when the file could not be written (a full disk): the old
    // file is kept and the changes stay pending for the next write.
    bool synchronize();

    static constexpr int kWriteDelayMs = 300;

signals:
    void valueChanged(const QString& key);
    // A write failed after the last one succeeded; `error` says why.
    void writeFailed(const QString& error);

private:
    void load();
    void scheduleWrite();

    QString path_;
    QString quarantined_;
    mutable QMutex mutex_;
    QVariantMap stored_;
    QVariantMap registered_;
    bool dirty_ = false;
    bool writeFailing_ = false;
    QTimer writeTimer_;
};
