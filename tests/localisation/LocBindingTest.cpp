#include "localisation/LocBinding.h"

#include "localisation/LanguageNotifier.h"
#include "localisation/Loc.h"
#include "platform/Defaults.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

TEST(LocBinding, ReadsAndWritesAppLanguageInTheDefaultsStore) {
    QTemporaryDir dir;
    Defaults defaults(dir.filePath("defaults.json"));
    defaults.registerDefaults({{"appLanguage", QString()}});
    bindLocToDefaults(defaults);

    defaults.setValue("appLanguage", QString("de"));
    EXPECT_EQ(Loc::lang(), "de");
    EXPECT_EQ(Loc::copy(), "Kopieren");

    Loc::setLang("fr");
    EXPECT_EQ(defaults.string("appLanguage"), "fr");

    defaults.setValue("appLanguage", QString());
    EXPECT_EQ(Loc::lang(), Loc::systemLang());
    Loc::setEnvironment({});
}

// Run once more by CTest with LANGUAGE set, which the system locale follows on Linux.
TEST(LocBinding, SystemLanguageComesFromTheLocaleEnvironment) {
    QTemporaryDir dir;
    Defaults defaults(dir.filePath("defaults.json"));
    bindLocToDefaults(defaults);
    const QByteArray expected = qgetenv("DUNMAR_EXPECT_SYSTEM_LANG");
    if (!expected.isEmpty()) {
        EXPECT_EQ(Loc::systemLang(), expected.toStdString());
    } else {
        const auto& s = Loc::supported();
        EXPECT_NE(std::find(s.begin(), s.end(), Loc::systemLang()), s.end());
    }
    Loc::setEnvironment({});
}

TEST(LocBinding, LanguageChangeIsAnnouncedToEveryObserver) {
    QSignalSpy spy(&LanguageNotifier::shared(), &LanguageNotifier::appLanguageChanged);
    LanguageNotifier::shared().post();
    LanguageNotifier::shared().post();
    EXPECT_EQ(spy.count(), 2);
}
