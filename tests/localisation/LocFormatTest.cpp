#include "localisation/LocFormat.h"

#include <gtest/gtest.h>

using dunmar::loc::fillFormat;

TEST(LocFormat, FillsPlaceholdersInOrder) {
    using namespace std::string_view_literals;
    EXPECT_EQ(fillFormat("%d file%@ changed", {std::int64_t(3), "s"sv}), "3 files changed");
    EXPECT_EQ(fillFormat("%d and %d", {std::int64_t(-1), std::int64_t(9000000000)}), "-1 and 9000000000");
    EXPECT_EQ(fillFormat("100%% %@", {"sure"sv}), "100% sure");
    // Too few arguments or the wrong kind leave the placeholder as written.
    EXPECT_EQ(fillFormat("%d %@ %d", {std::int64_t(1)}), "1 %@ %d");
    EXPECT_EQ(fillFormat("%@", {std::int64_t(1)}), "%@");
    // Other conversions are not ours to interpret.
    EXPECT_EQ(fillFormat("%s %x %", {}), "%s %x %");
    // An argument that itself contains placeholders is inserted literally.
    EXPECT_EQ(fillFormat("[%@] %d", {"%d"sv, std::int64_t(2)}), "[%d] 2");
}
