// The scripts' texts, where a wrong escape would let a value break out of its literal.

#include "browser/PageScripts.h"

#include <gtest/gtest.h>

namespace {

TEST(PageScripts, StringLiteralsAreAsciiWithEverythingRiskyEscaped)
{
    EXPECT_EQ(JavaScriptStringLiteral(u""), "\"\"");
    EXPECT_EQ(JavaScriptStringLiteral(u"ann@example.com"), "\"ann@example.com\"");
    EXPECT_EQ(JavaScriptStringLiteral(u"a\"b\\c</script>"), "\"a\\u0022b\\u005Cc\\u003C/script\\u003E\"");
    EXPECT_EQ(JavaScriptStringLiteral(u"\n\u2028\u00E9"), "\"\\u000A\\u2028\\u00E9\"");
    EXPECT_EQ(JavaScriptStringLiteral(std::u16string(1, u'\xD83D')), "\"\\uD83D\"") << "a lone surrogate stays";
}

TEST(PageScripts, TheInputScriptNamesItsElementAndValueAsLiterals)
{
    const std::string script = SetTextInputScript(u"email", u"x\");alert(1);//");
    EXPECT_NE(script.find("(\"email\",\"x\\u0022);alert(1);//\")"), std::string::npos) << script;
    EXPECT_EQ(script.find("submit"), std::string::npos);
}

}  // namespace
