#include "git/GitConfig.h"

#include <optional>

namespace {

// "<section>.<subsection>.<key>": the subsection may hold dots itself, the key never does.
struct Key {
    QString section, subsection, name;
};

std::optional<Key> splitKey(const QString& key) {
    const qsizetype first = key.indexOf(QLatin1Char('.'));
    const qsizetype last = key.lastIndexOf(QLatin1Char('.'));
    if (first < 0 || last <= first) return std::nullopt;
    return Key{key.left(first), key.mid(first + 1, last - first - 1), key.mid(last + 1)};
}

void addOnce(QStringList& list, const QString& item) {
    if (!list.contains(item)) list << item;
}

} // namespace

RepositoryConfig parseConfiguration(const QByteArray& output) {
    RepositoryConfig config;
    for (const QByteArray& entry : output.split('\0')) {
        if (entry.isEmpty()) continue;
        const qsizetype newline = entry.indexOf('\n');
        const std::optional<Key> key = splitKey(QString::fromUtf8(entry.left(newline)));
        const QString value = newline < 0 ? QString() : QString::fromUtf8(entry.mid(newline + 1));
        if (!key || key->subsection.isEmpty()) continue;
        if (key->section == u"filter") {
            addOnce(config.filterDrivers, key->subsection);
        } else if (key->section == u"remote" && key->name == u"url") {
            addOnce(config.remotes, key->subsection);
        } else if (key->section == u"branch" && key->name == u"remote") {
            config.branchRemote.insert(key->subsection, value);
        } else if (key->section == u"branch" && key->name == u"merge") {
            config.branchMerge.insert(key->subsection, value);
        }
    }
    return config;
}

RepositoryConfig readRepositoryConfig(const QString& cwd, const GitTimeLimits& limits) {
    const ChildRun run = runGitCommand(gitcmd::configuration(), cwd, limits);
    return parseConfiguration(run.succeeded() ? run.out : QByteArray());
}
