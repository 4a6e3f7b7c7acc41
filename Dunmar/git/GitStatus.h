#pragma once

#include <QByteArray>
#include <QChar>
#include <QColor>
#include <QString>
#include <utility>
#include <vector>

// One changed file as git lists it: the path relative to the top level (for a rename, the new
// path), the index letter and the work-tree letter.
struct GitFileEntry {
    QString path;
    QChar x;
    QChar y;

    bool operator==(const GitFileEntry&) const = default;
};

// The entries of "status --porcelain=v1 -z", in git's order. Names arrive unquoted, whatever they
// hold; the original name that follows a rename or copy is skipped. A name that is not UTF-8 keeps
// its place with the undecodable bytes replaced.
std::vector<GitFileEntry> parsePorcelainZ(const QByteArray& output);

// The tag a changed file shows, from its two letters; the first rule that matches wins.
enum class GitStatusTag { newFile, deleted, conflict, readyAndModified, ready, modified };
GitStatusTag statusTag(QChar x, QChar y);

// How a tag is shown: its text, and the colours of the tag and of the file's name.
struct GitStatusTagStyle {
    QString text;
    QColor tagColor;
    QColor nameColor;
};
GitStatusTagStyle statusTagStyle(GitStatusTag tag);

// Ahead and behind from the answer of "rev-list --left-right --count": two counts separated by a
// tab; anything else gives 0 and 0.
std::pair<int, int> parseAheadBehind(const QString& answer);
