#pragma once

#include <QColor>
#include <QString>

// The sync line of a signed-in panel in a repository, and whether its upload and update buttons show.
struct SyncLine {
    QString text;
    QColor color;
    bool uploadVisible = false;
    bool updateVisible = false;

    bool operator==(const SyncLine&) const = default;
};

SyncLine syncLineFor(bool hasRemote, int ahead, int behind);
