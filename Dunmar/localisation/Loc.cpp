#include "localisation/Loc.h"

#include "localisation/LocFormat.h"
#include "localisation/LocTable.h"

#include <mutex>
#include <unordered_map>

namespace {

using Table = std::unordered_map<std::string_view, std::string_view>;

struct Tables {
    std::unordered_map<std::string_view, Table> byCode;
};

const Tables& tables() {
    static const Tables built = [] {
        Tables t;
        for (const dunmar::loc::LocTable* table : dunmar::loc::allTables()) {
            Table& map = t.byCode[table->code];
            map.reserve(table->entries.size());
            for (const auto& e : table->entries) map.emplace(e.key, e.text);
        }
        return t;
    }();
    return built;
}

std::mutex environmentMutex;
Loc::Environment& environment() {
    static Loc::Environment env;
    return env;
}

Loc::Environment currentEnvironment() {
    std::lock_guard lock(environmentMutex);
    return environment();
}

std::string_view lookup(std::string_view code, std::string_view key, bool& found) {
    const auto& byCode = tables().byCode;
    auto table = byCode.find(code);
    if (table != byCode.end()) {
        auto it = table->second.find(key);
        if (it != table->second.end()) {
            found = true;
            return it->second;
        }
    }
    found = false;
    return {};
}

} // namespace

void Loc::setEnvironment(Environment env) {
    std::lock_guard lock(environmentMutex);
    environment() = std::move(env);
}

const std::vector<std::string>& Loc::supported() {
    static const std::vector<std::string> codes{"en", "de", "tr", "es", "fr", "it", "ar", "ja", "zh", "ru"};
    return codes;
}

const std::map<std::string, std::string>& Loc::names() {
    static const std::map<std::string, std::string> n{
        {"en", "English"},  {"de", "Deutsch"}, {"tr", "Türkçe"}, {"es", "Español"}, {"fr", "Français"},
        {"it", "Italiano"}, {"ar", "العربية"}, {"ja", "日本語"}, {"zh", "中文"},    {"ru", "Русский"},
    };
    return n;
}

const std::map<std::string, std::string>& Loc::flags() {
    static const std::map<std::string, std::string> f{
        {"en", "🇬🇧"}, {"de", "🇩🇪"}, {"tr", "🇹🇷"}, {"es", "🇪🇸"}, {"fr", "🇫🇷"},
        {"it", "🇮🇹"}, {"ar", "🇸🇦"}, {"ja", "🇯🇵"}, {"zh", "🇨🇳"}, {"ru", "🇷🇺"},
    };
    return f;
}

std::string Loc::systemLang() {
    Environment env = currentEnvironment();
    std::vector<std::string> preferred;
    if (env.preferredLanguages) preferred = env.preferredLanguages();
    if (preferred.empty()) return "en";
    std::string prefix = preferred.front().substr(0, 2);
    for (const std::string& code : supported())
        if (code == prefix) return prefix;
    return "en";
}

std::string Loc::lang() {
    Environment env = currentEnvironment();
    if (env.storedLanguage) {
        std::string stored = env.storedLanguage();
        if (!stored.empty()) return stored;
    }
    return systemLang();
}

void Loc::setLang(const std::string& code) {
    Environment env = currentEnvironment();
    if (env.storeLanguage) env.storeLanguage(code);
}

std::string Loc::t(std::string_view key) {
    bool found = false;
    std::string_view text = lookup(lang(), key, found);
    if (found) return std::string(text);
    text = lookup("en", key, found);
    if (found) return std::string(text);
    return std::string(key);
}

namespace {
std::string_view englishSuffix(std::int64_t n) {
    return n == 1 ? std::string_view() : std::string_view("s");
}
} // namespace

std::string Loc::filesChanged(std::int64_t n) {
    std::string suffix = n == 1 ? std::string() : t("filesChangedPlural");
    return dunmar::loc::fillFormat(t("filesChanged"), {n, std::string_view(suffix)});
}

std::string Loc::aheadBehind(std::int64_t ahead, std::int64_t behind) {
    return dunmar::loc::fillFormat(t("aheadBehind"), {ahead, behind});
}

std::string Loc::aheadOnly(std::int64_t n) {
    return dunmar::loc::fillFormat(t("aheadOnly"), {n, englishSuffix(n)});
}

std::string Loc::behindOnly(std::int64_t n) {
    return dunmar::loc::fillFormat(t("behindOnly"), {n, englishSuffix(n)});
}

std::string Loc::smartPullConflict(std::string_view files) {
    return dunmar::loc::fillFormat(t("smartPullConflict"), {files});
}

std::string Loc::bellNotifBodyTab(std::string_view tabName) {
    return dunmar::loc::fillFormat(t("bellNotifBodyTab"), {tabName});
}

std::string Loc::programRunningMessage(std::string_view program) {
    return dunmar::loc::fillFormat(t("programRunningMessage"), {program});
}

std::string Loc::shellMissing(std::string_view wanted, std::string_view running) {
    return dunmar::loc::fillFormat(t("shellMissing"), {wanted, running});
}

std::string Loc::tooltipDictation(std::string_view key) {
    return dunmar::loc::fillFormat(t("tooltipDictation"), {key});
}
