#pragma once

#include "chrome/ChromeTestSupport.h"
#include "localisation/Loc.h"
#include "platform/Defaults.h"
#include "settings/SettingsHost.h"
#include "settings/SettingsOverlay.h"

#include <QByteArray>
#include <QDir>
#include <QLabel>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <gtest/gtest.h>
#include <memory>
#include <utility>

// What the settings tests share: a recording stand-in for the rest of the program, and a private
// home, configuration and settings store for each test so that nothing of the user's is touched.
namespace settingstest {

class FakeHost : public SettingsHost {
public:
    QStringList calls;
    QList<int> previews;
    QStringList streamingCodes;
    QStringList messages;
    bool token = false;

    void previewTheme(int index) override {
        previews << index;
        calls << QStringLiteral("previewTheme");
    }
    bool hasAIUsageToken() const override { return token; }
    void startRemoteStreaming(const QString& code) override {
        streamingCodes << code;
        calls << QStringLiteral("startRemoteStreaming");
    }
    void stopRemoteStreaming() override { calls << QStringLiteral("stopRemoteStreaming"); }
    void ringBellForTest() override { calls << QStringLiteral("ringBellForTest"); }
    void reloadBellSound() override { calls << QStringLiteral("reloadBellSound"); }
    void showSettingsMessage(const QString& text) override {
        messages << text;
        calls << QStringLiteral("showSettingsMessage");
    }
    void deleteCodeHostingToken() override { calls << QStringLiteral("deleteCodeHostingToken"); }
    void resetPanes() override { calls << QStringLiteral("resetPanes"); }
    void closeTabsForReset() override { calls << QStringLiteral("closeTabsForReset"); }
    void restartFirstShell() override { calls << QStringLiteral("restartFirstShell"); }
    void resetWindow() override { calls << QStringLiteral("resetWindow"); }
    void finishReset() override { calls << QStringLiteral("finishReset"); }
};

// Points HOME, XDG_CONFIG_HOME, XDG_CACHE_HOME and XDG_STATE_HOME at a fresh temporary folder for its
// lifetime, with a settings store inside it that has the table registered and the language bound to it.
class SettingsEnvironment {
public:
    SettingsEnvironment() {
        saved_ = {{"HOME", qgetenv("HOME")},
                  {"XDG_CONFIG_HOME", qgetenv("XDG_CONFIG_HOME")},
                  {"XDG_CACHE_HOME", qgetenv("XDG_CACHE_HOME")},
                  {"XDG_STATE_HOME", qgetenv("XDG_STATE_HOME")}};
        home = dir_.path() + QStringLiteral("/home");
        config = home + QStringLiteral("/.config");
        cache = home + QStringLiteral("/.cache");
        QDir().mkpath(config);
        QDir().mkpath(cache);
        qputenv("HOME", QFile::encodeName(home));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(cache));
        qputenv("XDG_STATE_HOME", QFile::encodeName(home + QStringLiteral("/.local/state")));
        defaults = std::make_unique<Defaults>(config + QStringLiteral("/dunmar/defaults.json"));
        SettingsOverlay::registerDefaultSettings(*defaults);
        Defaults* store = defaults.get();
        Loc::setEnvironment({
            [store] { return store->string(QStringLiteral("appLanguage")).toStdString(); },
            [store](const std::string& code) {
                store->setValue(QStringLiteral("appLanguage"), QString::fromStdString(code));
            },
            [] { return std::vector<std::string>{"en"}; },
        });
    }

    ~SettingsEnvironment() {
        Loc::setEnvironment({});
        defaults.reset();
        for (const auto& [name, value] : saved_) {
            if (value.isNull())
                qunsetenv(name);
            else
                qputenv(name, value);
        }
    }

    QString home;
    QString config;
    QString cache;
    std::unique_ptr<Defaults> defaults;

private:
    QTemporaryDir dir_;
    QList<std::pair<const char*, QByteArray>> saved_;
};

// A change the panel reported.
struct Report {
    QString key;
    QVariant value;
};

inline void record(SettingsOverlay& panel, QList<Report>& reports) {
    panel.onChanged = [&reports](const QString& key, const QVariant& value) { reports.append({key, value}); };
}

// The title of a row, or "" for a row without one.
inline QString rowTitle(const QWidget* row) {
    if (const auto* label = row->findChild<QLabel*>(QStringLiteral("title"))) return label->text();
    return QString();
}

// A settings panel built over a fresh environment, shown at the given size, its reports recorded.
struct PanelFixture {
    SettingsEnvironment env;
    FakeHost host;
    std::unique_ptr<SettingsOverlay> panel;
    QList<Report> reports;

    void build(int width = 600, int height = 400) {
        panel = std::make_unique<SettingsOverlay>(*env.defaults, &host);
        panel->resize(width, height);
        panel->show();
        record(*panel, reports);
    }
};

inline QWidget* rowNamed(const SettingsOverlay& panel, const QString& name) {
    for (QWidget* row : panel.rows())
        if (row->objectName() == name) return row;
    return nullptr;
}

} // namespace settingstest
