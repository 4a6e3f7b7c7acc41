#include "git/GitHubKeychainStore.h"

#include <QHash>
#include <qt6keychain/keychain.h>

namespace {

struct Memory {
    QHash<QString, QString> values;
    // Bumped by every save and delete: an older save that finishes late must not put back a value
    // that a later call has replaced or removed.
    QHash<QString, quint64> generation;
};

Memory& memory() {
    static Memory m;
    return m;
}

quint64 bump(const QString& key) {
    return ++memory().generation[key];
}

} // namespace

void GitHubKeychainStore::save(const QString& key, const QString& value, std::function<void(bool)> done) {
    memory().values.remove(key);
    const quint64 generation = bump(key);
    auto* job = new QKeychain::WritePasswordJob(service());
    job->setAutoDelete(true);
    job->setKey(key);
    job->setTextData(value);
    QObject::connect(job, &QKeychain::Job::finished, [key, value, generation, done](QKeychain::Job* j) {
        const bool saved = j->error() == QKeychain::NoError;
        if (saved && memory().generation.value(key) == generation) memory().values.insert(key, value);
        if (done) done(saved);
    });
    job->start();
}

void GitHubKeychainStore::load(const QString& key, std::function<void(std::optional<QString>)> done) {
    if (const auto it = memory().values.constFind(key); it != memory().values.constEnd()) {
        if (done) done(*it);
        return;
    }
    const quint64 generation = memory().generation.value(key);
    auto* job = new QKeychain::ReadPasswordJob(service());
    job->setAutoDelete(true);
    job->setKey(key);
    QObject::connect(job, &QKeychain::Job::finished, [key, generation, done](QKeychain::Job* j) {
        std::optional<QString> value;
        if (j->error() == QKeychain::NoError) {
            value = static_cast<QKeychain::ReadPasswordJob*>(j)->textData();
            if (memory().generation.value(key) == generation) memory().values.insert(key, *value);
        }
        if (done) done(value);
    });
    job->start();
}

void GitHubKeychainStore::deleteKey(const QString& key, std::function<void()> done) {
    memory().values.remove(key);
    bump(key);
    auto* job = new QKeychain::DeletePasswordJob(service());
    job->setAutoDelete(true);
    job->setKey(key);
    QObject::connect(job, &QKeychain::Job::finished, [done](QKeychain::Job*) {
        if (done) done();
    });
    job->start();
}
