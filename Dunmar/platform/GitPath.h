#pragma once

#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <functional>

// Where the program finds git. Chosen once at start; every git invocation uses the chosen path.
namespace gitpath {

// The places looked at, in order.
inline const QStringList& candidates() {
    static const QStringList list{"/usr/bin/git", "/usr/local/bin/git", "/opt/homebrew/bin/git"};
    return list;
}

// The first candidate that is an executable file; "/usr/bin/git" when none is, so that a git
// installed later at the usual place is found without a restart.
inline QString choose(const QStringList& places, const std::function<bool(const QString&)>& isExecutable) {
    for (const QString& p : places)
        if (isExecutable(p)) return p;
    return QStringLiteral("/usr/bin/git");
}

inline bool isExecutableFile(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

} // namespace gitpath

// The process-wide choice; "/usr/bin/git" until the entry point chooses.
inline QString& gitExecutablePath() {
    static QString path = QStringLiteral("/usr/bin/git");
    return path;
}

inline void chooseGitExecutablePath() {
    gitExecutablePath() = gitpath::choose(gitpath::candidates(), gitpath::isExecutableFile);
}
