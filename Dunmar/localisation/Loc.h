#pragma once

#include "localisation/LocKeys.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// The interface texts of the ten languages and the choice among them. Texts are looked up when a
// view builds or relabels itself, never stored; the language is read afresh on every lookup.
class Loc {
public:
    Loc() = delete;

    // Where the stored choice and the system's preferred languages come from. The program binds
    // this to its defaults store and the system locale at start; tests bind it to plain values.
    struct Environment {
        std::function<std::string()> storedLanguage;                  // "appLanguage", "" when unset
        std::function<void(const std::string&)> storeLanguage;        // writes "appLanguage"
        std::function<std::vector<std::string>()> preferredLanguages; // e.g. {"de-CH", "de"}
    };
    static void setEnvironment(Environment environment);

    static const std::vector<std::string>& supported();
    static const std::map<std::string, std::string>& names();
    static const std::map<std::string, std::string>& flags();

    // The stored choice when it is non-empty (returned unchecked), else the system language.
    static std::string lang();
    // Stores the choice without checking it and without announcing a change.
    static void setLang(const std::string& code);
    // The first preferred language cut to two characters when supported, else "en".
    static std::string systemLang();

    // The text of a key in the current language, else in English, else the key itself.
    static std::string t(std::string_view key);

#define DUNMAR_LOC_ACCESSOR(name)                                                                            \
    static std::string name() {                                                                              \
        return t(#name);                                                                                     \
    }
#define DUNMAR_LOC_SKIP(name)
    DUNMAR_LOC_KEYS(DUNMAR_LOC_ACCESSOR, DUNMAR_LOC_SKIP)
#undef DUNMAR_LOC_ACCESSOR
#undef DUNMAR_LOC_SKIP

    // "%d file%@ changed": the plural suffix comes from the language's table.
    static std::string filesChanged(std::int64_t n);
    static std::string aheadBehind(std::int64_t ahead, std::int64_t behind);
    // The plural suffix of these two is "s" in every language.
    static std::string aheadOnly(std::int64_t n);
    static std::string behindOnly(std::int64_t n);
    static std::string smartPullConflict(std::string_view files);
    static std::string bellNotifBodyTab(std::string_view tabName);
    static std::string programRunningMessage(std::string_view program);
    static std::string shellMissing(std::string_view wanted, std::string_view running);
    // The microphone button's tooltip, naming the key held to dictate.
    static std::string tooltipDictation(std::string_view key);
};
