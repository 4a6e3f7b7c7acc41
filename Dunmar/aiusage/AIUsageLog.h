#pragma once

#include <QString>

// The usage monitor's own log: one line per event, appended to a file only the user can read,
// trimmed to its newest half once it passes its limit.
class AIUsageLog {
public:
    static constexpr qint64 kMaxBytes = 256 * 1024;

    // $XDG_STATE_HOME/dunmar/aiusage.log, else ~/.local/state/dunmar/aiusage.log.
    static QString defaultPath();

    explicit AIUsageLog(QString path = defaultPath()) : path_(std::move(path)) {}

    QString path() const { return path_; }
    // Appends "[<UTC time> +0000] message". Failures are ignored: the log never stops the monitor.
    void write(const QString& message);

private:
    void trim();

    QString path_;
};
