#include "localisation/Loc.h"

#include <gtest/gtest.h>

namespace {
struct FakeEnvironment {
    std::string stored;
    std::vector<std::string> preferred;
    void install() {
        Loc::setEnvironment({[this] { return stored; }, [this](const std::string& c) { stored = c; },
                             [this] { return preferred; }});
    }
};

class LocLookup : public testing::Test {
protected:
    void SetUp() override { env.install(); }
    void TearDown() override { Loc::setEnvironment({}); }
    FakeEnvironment env;
};
} // namespace

TEST_F(LocLookup, LanguageChoice) {
    struct Case {
        std::string stored;
        std::vector<std::string> preferred;
        std::string lang;
        std::string copy;
    };
    const Case cases[] = {
        {"", {"de-CH", "en-US"}, "de", "Kopieren"},
        {"", {"zh-Hans-CN"}, "zh", ""},
        {"", {"pt-BR"}, "en", "Copy"},
        {"", {}, "en", "Copy"},
        {"pt", {"de-DE"}, "pt", "Copy"}, // a stored unsupported code stands, texts fall back
        {"", {"fr"}, "fr", ""},
        {"de", {"fr"}, "de", "Kopieren"},
        {"en", {"de"}, "en", "Copy"},
    };
    for (const Case& c : cases) {
        env.stored = c.stored;
        env.preferred = c.preferred;
        SCOPED_TRACE("stored '" + c.stored + "'");
        EXPECT_EQ(Loc::lang(), c.lang);
        if (!c.copy.empty()) {
            EXPECT_EQ(Loc::copy(), c.copy);
        }
    }
}

TEST_F(LocLookup, EmptyStoredLanguageFollowsTheSystem) {
    env.stored = "";
    env.preferred = {"ja-JP"};
    EXPECT_EQ(Loc::newTab(), "新しいタブ");
    Loc::setLang("ru");
    EXPECT_EQ(env.stored, "ru");
    EXPECT_EQ(Loc::newTab(), "Новая вкладка");
}

TEST_F(LocLookup, UnknownKeyIsReturnedItself) {
    env.preferred = {"de"};
    EXPECT_EQ(Loc::t("noSuchKey"), "noSuchKey");
    EXPECT_EQ(Loc::t(""), "");
}

TEST_F(LocLookup, FormattingFunctions) {
    struct Case {
        std::string lang;
        std::string got;
        std::string want;
    };
    auto in = [this](const std::string& lang, auto fn) {
        env.stored = lang;
        return fn();
    };
    const Case cases[] = {
        {"en", in("en", [] { return Loc::filesChanged(1); }), "1 file changed"},
        {"en", in("en", [] { return Loc::filesChanged(3); }), "3 files changed"},
        {"en", in("en", [] { return Loc::filesChanged(0); }), "0 files changed"},
        {"de", in("de", [] { return Loc::filesChanged(1); }), "1 Datei geändert"},
        {"de", in("de", [] { return Loc::filesChanged(3); }), "3 Dateien geändert"},
        {"ja", in("ja", [] { return Loc::filesChanged(3); }), "3ファイル変更"},
        {"de", in("de", [] { return Loc::aheadOnly(2); }), "↑ 2 Änderungs zu pushen"},
        {"en", in("en", [] { return Loc::behindOnly(1); }), "↓ 1 new change available"},
        {"en", in("en", [] { return Loc::behindOnly(5); }), "↓ 5 new changes available"},
        {"en", in("en", [] { return Loc::aheadBehind(2, 7); }), "↑ 2 to push, ↓ 7 to pull"},
        {"en", in("en", [] { return Loc::bellNotifBodyTab("Build"); }), "\"Build\" needs your attention"},
        {"en", in("en", [] { return Loc::bellNotifBodyTab("50%@ %d"); }), "\"50%@ %d\" needs your attention"},
        {"en", in("en", [] { return Loc::smartPullConflict("a.txt, b.txt"); }),
         "⚠  Conflict in: a.txt, b.txt\nPlease resolve manually in Terminal."},
    };
    for (const Case& c : cases) EXPECT_EQ(c.got, c.want) << c.lang;
}

TEST_F(LocLookup, AccessorsWithFormatsReturnThemUnfilled) {
    env.stored = "en";
    EXPECT_EQ(Loc::updateAvailable(), "%@ available — click to install");
    EXPECT_EQ(Loc::alreadyUpToDate(), "Already up to date (v%@)");
}
