// Answers are escaped the way the Graph API escapes them; a client that parses them must
// get the same text back.

#include "tools/standin/JsonText.h"

#include <gtest/gtest.h>
#include <json/json.h>

namespace {

TEST(JsonTextTest, EscapesLikeTheGraphApi)
{
    EXPECT_EQ(standin::JsonQuote("Jos\xc3\xa9"), "\"Jos\\u00e9\"");
    EXPECT_EQ(standin::JsonQuote("\xe6\xbc\xa2"), "\"\\u6f22\"");
    EXPECT_EQ(standin::JsonQuote("\xf0\x9f\x98\x80"), "\"\\ud83d\\ude00\"");
    EXPECT_EQ(standin::JsonQuote("a/b\"c\\\n"), "\"a\\/b\\\"c\\\\\\n\"");
    EXPECT_EQ(standin::JsonQuote("\xc3"), "\"\\ufffd\"");  // a sequence cut off at the end
}

TEST(JsonTextTest, ObjectsKeepTheirOrderAndParseBack)
{
    const std::string text = standin::JsonObjectText()
                                 .Add("name", "Ann \xf0\x9f\x98\x80")
                                 .AddNumber("code", 190)
                                 .AddBool("can_upload", false)
                                 .AddRaw("data", "[]")
                                 .Text();
    EXPECT_EQ(text.find("\"name\""), 1u);
    Json::Value parsed;
    ASSERT_TRUE(Json::Reader().parse(text, parsed));
    EXPECT_EQ(parsed["name"].asString(), "Ann \xf0\x9f\x98\x80");
    EXPECT_EQ(parsed["code"].asInt(), 190);
    EXPECT_FALSE(parsed["can_upload"].asBool());
}

}  // namespace
