#include "engine/Bidi.h"

#include "TestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace enginetest;

namespace {

Terminal rowOf(const std::string& text, std::int64_t cols = 10) {
    Terminal t(cols, 1);
    feed(t, text);
    return t;
}

} // namespace

TEST(Bidi, RowsWithoutRightToLeftTextNeedNoOrder) {
    Terminal t = rowOf("hello");
    EXPECT_FALSE(bidiVisualOrder(t.gridRow(0), t.cols()));
    EXPECT_FALSE(bidiVisualOrder({}, 0));
    EXPECT_FALSE(bidiVisualOrder(t.gridRow(0), 0));
}

TEST(Bidi, HebrewWordIsReversedAndEveryColumnListedOnce) {
    // "ab " then alef, bet, gimel: the Hebrew run shows right to left.
    Terminal t = rowOf("ab \xd7\x90\xd7\x91\xd7\x92", 8);
    auto order = bidiVisualOrder(t.gridRow(0), t.cols());
    ASSERT_TRUE(order);
    EXPECT_EQ(*order, (std::vector<std::int64_t>{0, 1, 2, 5, 4, 3, 6, 7}));
}

// Indexes count cells: characters outside the Basic Multilingual Plane take two UTF-16 units,
// and wide characters two columns, and neither may shift the columns of what follows.
TEST(Bidi, IndexesAreColumnsNotUtf16Units) {
    // U+1F600 (wide, two UTF-16 units), then x, then Hebrew alef, bet.
    Terminal t = rowOf("\xf0\x9f\x98\x80x\xd7\x90\xd7\x91", 6);
    auto order = bidiVisualOrder(t.gridRow(0), t.cols());
    ASSERT_TRUE(order);
    EXPECT_EQ(*order, (std::vector<std::int64_t>{0, 0, 2, 4, 3, 5}));
    // U+10900 (Phoenician, right-to-left, outside the BMP) before Latin text.
    Terminal p = rowOf("\xf0\x90\xa4\x80\xf0\x90\xa4\x81 ab", 6);
    auto porder = bidiVisualOrder(p.gridRow(0), p.cols());
    ASSERT_TRUE(porder);
    std::vector<std::int64_t> sorted = *porder;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<std::int64_t>{0, 1, 2, 3, 4, 5}));
    EXPECT_LT(std::find(porder->begin(), porder->end(), 1) - porder->begin(),
              std::find(porder->begin(), porder->end(), 0) - porder->begin());
}
