// The pure pieces of the panel's model: status tags, the -z status list, the ahead/behind counts,
// the sync line, repository names and ".gitignore" lines.
#include "git/GitStatus.h"

#include "git/GitIgnore.h"
#include "git/RepoName.h"
#include "git/SyncLine.h"

#include <gtest/gtest.h>

TEST(GitStatusTag, FirstMatchingRuleWins) {
    struct Case {
        char x, y;
        const char* tag;
    };
    const Case cases[] = {{'?', '?', "NEW"},        {' ', 'M', "MODIFIED"},   {'M', ' ', "BEREIT"},
                          {'M', 'M', "BEREIT+MOD"}, {'A', 'M', "BEREIT+MOD"}, {'U', 'U', "KONFLIKT"},
                          {'D', 'U', "DELETED"},    {'A', 'D', "DELETED"},    {'R', ' ', "BEREIT"},
                          {'C', 'D', "DELETED"},    {' ', 'T', "MODIFIED"},   {'A', 'A', "BEREIT"}};
    for (const Case& c : cases)
        EXPECT_EQ(statusTagStyle(statusTag(QLatin1Char(c.x), QLatin1Char(c.y))).text,
                  QString::fromLatin1(c.tag))
            << c.x << c.y;
}

TEST(GitStatusParse, ZeroSeparatedEntriesKeepNamesAsTheyAreAndSkipTheNameBeforeARename) {
    const QByteArray out("?? my notes.txt\0 M \"quoted\" name\0R  new name.txt\0old name.txt\0"
                         "M  caf\xc3\xa9.md\0 D --output=README.md\0",
                         96);
    const std::vector<GitFileEntry> entries = parsePorcelainZ(out);
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[0], (GitFileEntry{"my notes.txt", '?', '?'}));
    EXPECT_EQ(entries[1], (GitFileEntry{"\"quoted\" name", ' ', 'M'}));
    EXPECT_EQ(entries[2], (GitFileEntry{"new name.txt", 'R', ' '}));
    EXPECT_EQ(entries[3], (GitFileEntry{QStringLiteral("café.md"), 'M', ' '}));
    EXPECT_EQ(entries[4], (GitFileEntry{"--output=README.md", ' ', 'D'}));
    EXPECT_TRUE(parsePorcelainZ(QByteArray()).empty());
}

TEST(GitStatusParse, AheadBehindNeedsExactlyTwoCounts) {
    EXPECT_EQ(parseAheadBehind("3\t0"), std::make_pair(3, 0));
    EXPECT_EQ(parseAheadBehind("0\t12"), std::make_pair(0, 12));
    EXPECT_EQ(parseAheadBehind("7"), std::make_pair(0, 0));
    EXPECT_EQ(parseAheadBehind("x\t2"), std::make_pair(0, 2));
    EXPECT_EQ(parseAheadBehind(""), std::make_pair(0, 0));
}

TEST(GitSyncLine, TextsAndButtonsFollowTheCounts) {
    EXPECT_EQ(syncLineFor(true, 0, 0).text, QStringLiteral("✓  All up to date"));
    const SyncLine behind = syncLineFor(true, 0, 2);
    EXPECT_EQ(behind.text, QStringLiteral("↓ 2 new changes available"));
    EXPECT_FALSE(behind.uploadVisible);
    EXPECT_TRUE(behind.updateVisible);
    EXPECT_EQ(syncLineFor(true, 1, 0).text, QStringLiteral("↑ 1 change to push"));
    const SyncLine both = syncLineFor(true, 3, 4);
    EXPECT_TRUE(both.uploadVisible && both.updateVisible);
    EXPECT_EQ(both.text, QStringLiteral("↑ 3 to push, ↓ 4 to pull"));
    const SyncLine none = syncLineFor(false, 0, 0);
    EXPECT_EQ(none.text, QStringLiteral("Not yet uploaded"));
    EXPECT_TRUE(none.uploadVisible);
    EXPECT_FALSE(none.updateVisible);
}

TEST(GitRepoName, TypedTextBecomesAName) {
    EXPECT_EQ(repositoryName("My Cool Project!"), "my-cool-project");
    EXPECT_EQ(repositoryName("two  blanks"), "two--blanks");
    EXPECT_EQ(repositoryName(QStringLiteral("Größe_v2-final")), QStringLiteral("größe_v2-final"));
    EXPECT_EQ(repositoryName("!!!"), "");
}

TEST(GitIgnoreLine, NamesThatLookLikePatternsAreEscaped) {
    EXPECT_EQ(gitignoreLine("my notes.txt"), "/my notes.txt");
    EXPECT_EQ(gitignoreLine("#x"), "/#x");
    EXPECT_EQ(gitignoreLine("!keep"), "/!keep");
    EXPECT_EQ(gitignoreLine("a*b?[c]\\d"), "/a\\*b\\?\\[c]\\\\d");
    EXPECT_EQ(gitignoreLine("trailing  "), "/trailing\\ \\ ");
    EXPECT_EQ(gitignoreLine("build/"), "/build/");
    EXPECT_FALSE(gitignoreLine("two\nlines"));
}
