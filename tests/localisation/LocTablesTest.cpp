#include "localisation/Loc.h"
#include "localisation/LocTable.h"

#include <gtest/gtest.h>
#include <regex>
#include <set>

using namespace dunmar::loc;

namespace {
std::vector<std::string> placeholders(std::string_view text) {
    static const std::regex re("%[d@]");
    std::vector<std::string> out;
    std::string s(text);
    for (auto it = std::sregex_iterator(s.begin(), s.end(), re); it != std::sregex_iterator(); ++it)
        out.push_back(it->str());
    return out;
}

// The symbols and spaces before the first letter, digit or placeholder ("✓  ", "💾  ", "  ⊕  ").
std::string leadingSymbols(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (std::isalnum(c) || c == '%' || c == '"' || c == '(' || c == '.' || c == '~') break;
        if (c >= 0x80) {
            // Stop at letters of other scripts; keep symbols from the arrows, shapes and emoji blocks.
            std::size_t len = (c >= 0xF0) ? 4 : (c >= 0xE0) ? 3 : 2;
            if (len == 2) break;              // Latin, Greek, Cyrillic, Arabic letters
            if (len == 3 && c != 0xE2) break; // CJK and other letters; U+2000..U+2FFF are symbols
            i += len;
            continue;
        }
        ++i;
    }
    return std::string(text.substr(0, i));
}
} // namespace

TEST(LocTables, EveryTableHasTheEnglishKeysInOrderWithTheSamePlaceholders) {
    const LocTable& en = kTableEn;
    ASSERT_EQ(allTables().size(), Loc::supported().size());
    for (std::size_t t = 0; t < allTables().size(); ++t) {
        const LocTable& table = *allTables()[t];
        EXPECT_EQ(table.code, Loc::supported()[t]);
        std::set<std::string_view> seen;
        for (std::size_t i = 0; i < kKeyCount; ++i) {
            const LocEntry& e = table.entries[i];
            SCOPED_TRACE(std::string(table.code) + " " + std::string(en.entries[i].key));
            EXPECT_EQ(e.key, en.entries[i].key);
            EXPECT_TRUE(seen.insert(e.key).second) << "duplicate key";
            EXPECT_EQ(placeholders(e.text), placeholders(en.entries[i].text));
            EXPECT_EQ(leadingSymbols(e.text), leadingSymbols(en.entries[i].text));
            bool enHasName = en.entries[i].text.find("Dunmar") != std::string_view::npos;
            bool hasName = e.text.find("Dunmar") != std::string_view::npos;
            EXPECT_EQ(hasName, enHasName);
        }
    }
}

TEST(LocTables, NamesAndFlagsCoverEverySupportedLanguage) {
    for (const std::string& code : Loc::supported()) {
        EXPECT_FALSE(Loc::names().at(code).empty());
        // A flag is two regional indicator letters, four bytes each in UTF-8.
        EXPECT_EQ(Loc::flags().at(code).size(), 8u);
    }
    EXPECT_EQ(Loc::names().at("de"), "Deutsch");
    EXPECT_EQ(Loc::flags().at("en"), "🇬🇧");
    EXPECT_EQ(Loc::flags().at("ar"), "🇸🇦");
}
