// JSON laid out again token by token: what the user wrote stays as written.
#include "editor/JsonReindent.h"

#include <gtest/gtest.h>

TEST(JsonReindent, KeepsOrderNumbersEscapesAndDuplicates) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {R"({"b":1,"a":[1.0, 12345678901234567890,-0.5e+10],"b":"x\u00e9\n"})",
         "{\n  \"b\": 1,\n  \"a\": [\n    1.0,\n    12345678901234567890,\n    -0.5e+10\n  ],\n  \"b\": "
         "\"x\\u00e9\\n\"\n}"},
        {" [ ] ", "[]"},
        {"{\"a\":{}, \"c\" : [true,false,null]}",
         "{\n  \"a\": {},\n  \"c\": [\n    true,\n    false,\n    null\n  ]\n}"},
        {"\n{\"ü\": \"€\"}\r\n", "{\n  \"ü\": \"€\"\n}"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        const std::optional<QString> out = reindentJson(QString::fromUtf8(c.in));
        ASSERT_TRUE(out);
        EXPECT_EQ(*out, QString::fromUtf8(c.out));
    }
}

TEST(JsonReindent, RefusesWhatIsNotAJsonObjectOrArray) {
    for (const char* in : {"{",
                           "",
                           "42",
                           "\"text\"",
                           "[1,]",
                           "{\"a\" 1}",
                           "{'a':1}",
                           "[01]",
                           "[1.]",
                           "[.5]",
                           "[\"tab\there\"]",
                           "[\"\\x\"]",
                           "[\"\\u12\"]",
                           "[tru]",
                           "[1] [2]",
                           "{\"a\":1,}",
                           "[NaN]",
                           "[-]",
                           "[1e]",
                           "// c\n[]"}) {
        SCOPED_TRACE(in);
        EXPECT_FALSE(reindentJson(QString::fromUtf8(in)));
    }
    // Nesting beyond reason is refused rather than followed down.
    EXPECT_FALSE(reindentJson(QString(100000, u'[') + QString(100000, u']')));
}
