#include "app/tabs/TabTitle.h"

#include "app/tabs/TabList.h"

#include <QDir>

QString directoryTitle(const QString& directory, const QString& homeDirectory) {
    const QString dir = QDir::cleanPath(directory);
    if (!homeDirectory.isEmpty() && dir == QDir::cleanPath(homeDirectory)) return QStringLiteral("~");
    if (dir == QLatin1String("/")) return dir;
    return dir.mid(dir.lastIndexOf(QLatin1Char('/')) + 1);
}

QString tabTitle(const std::optional<QString>& customName, const std::optional<QString>& shellDirectory,
                 const QString& homeDirectory, bool editorDirty) {
    QString title;
    if (customName)
        title = *customName;
    else if (shellDirectory)
        title = directoryTitle(*shellDirectory, homeDirectory);
    else
        title = QStringLiteral("~");
    return editorDirty ? QStringLiteral("\u2022 ") + title : title;
}

QStringList tabTitles(const TabList& tabs,
                      const std::function<std::optional<QString>(int index)>& shellDirectory,
                      const QString& homeDirectory) {
    QStringList titles;
    for (int i = 0; i < tabs.count(); ++i) {
        const TabState& tab = tabs.at(i);
        const std::optional<QString> dir =
            tab.customName || !shellDirectory ? std::nullopt : shellDirectory(i);
        titles << tabTitle(tab.customName, dir, homeDirectory, tab.editorDirty);
    }
    return titles;
}
