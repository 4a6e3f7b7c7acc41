#pragma once

#include "webpicker/HotReloadWatcher.h"

#include <QObject>
#include <QString>

class Defaults;
class WebPickerConnection;

// Hot reload of the connected tab: switched on, it asks the browser what the tab shows and watches
// that file (a page opened from a file) or the project folder the user chose, and reloads the tab
// on every change. Its status is the text of the watch row; the sidebar's views show it.
class WebPickerHotReload : public QObject {
    Q_OBJECT
public:
    WebPickerHotReload(Defaults& defaults, WebPickerConnection& connection, QObject* parent = nullptr);

    bool isEnabled() const { return enabled_; }
    QString statusText() const { return status_; }
    HotReloadWatcher& watcher() { return watcher_; }

    // Switches hot reload on (watching what the tab shows) or off.
    void toggle();
    // Off, and nothing watched: the connection ended.
    void stop();
    // The folder the user chose: remembered, and polled from now on.
    void watchFolder(const QString& directory);

    static constexpr int kDetectTimeoutMs = 2000;
    static constexpr int kReloadNoteMs = 1500;

signals:
    void enabledChanged(bool enabled);
    void statusChanged(const QString& text);
    // The watch row comes on show, with the folder button where a folder is watched or wanted.
    void rowShown(bool folderButton);
    void rowHidden();

private:
    void startAutoDetectWatch();
    void startFileWatcher(const QString& path);
    void startPollingWatcher(const QString& directory);
    void triggerHotReload();
    void stopWatching();
    void setStatus(const QString& text);

    Defaults& defaults_;
    WebPickerConnection& connection_;
    HotReloadWatcher watcher_;
    bool enabled_ = false;
    QString status_;
    // The row's text from before a "reloaded" note, put back when the note ends.
    QString statusBeforeNote_;
    bool reloadNoteShown_ = false;
    quint64 reloadNote_ = 0;
    // Every switch is its own detection: a late answer of an earlier one is dropped.
    quint64 watchDetection_ = 0;
};
