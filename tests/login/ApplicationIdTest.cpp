#include "login/ApplicationId.h"

#include "tests/support/ScopedUserDirs.h"

#include "tests/support/Backend.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The configured identifier is build configuration; only its shape is fixed.
TEST(ApplicationId, DefaultIsFifteenDigits)
{
    const std::u16string id = DefaultApplicationId();
    ASSERT_EQ(id.size(), 15u);
    for (char16_t unit : id)
        EXPECT_TRUE(unit >= u'0' && unit <= u'9');
}

class ApplicationIdFileTest : public ::testing::Test {
protected:
    void WithValues(std::string_view lines) { dirs.WriteSettings(SettingsFileWith(lines)); }
    ScopedUserDirs dirs;
};

TEST_F(ApplicationIdFileTest, IsTrimmedAndUsedAsIs)
{
    WithValues("\"ApplicationID\"=\" 123 \"");
    EXPECT_EQ(ApplicationId(), u"123");
    WithValues("\"ApplicationID\"=\"\t987654321098765\u00A0\"");
    EXPECT_EQ(ApplicationId(), u"987654321098765");
}

TEST_F(ApplicationIdFileTest, ExpandableApplicationIdIsNotExpanded)
{
    // "%ID%" in UTF-16LE with its NUL.
    WithValues("\"ApplicationID\"=hex(2):25,00,49,00,44,00,25,00,00,00");
    EXPECT_EQ(ApplicationId(), u"%ID%");
}

TEST_F(ApplicationIdFileTest, FallsBackToTheDefault)
{
    SKIP_ON_WINDOWS("an expandable string stored without its terminator (hex(2):31,00,32,00) reads as \"12\"");
    const std::u16string fallback = DefaultApplicationId();
    EXPECT_EQ(ApplicationId(), fallback) << "no settings file";
    for (const std::string& line :
         {std::string("\"ApplicationID\"=\"   \""), std::string("\"ApplicationID\"=\"\""),
          std::string("\"ApplicationID\"=dword:00000123"), std::string("\"ApplicationID\"=hex:31,00,00,00"),
          std::string("\"ApplicationID\"=hex(2):31,00,32,00"), std::string("\"ApplicationID\"=hex(2):"),
          std::string("\"ApplicationID\"=\"") + std::string(256, '7') + "\""}) {
        SCOPED_TRACE(line.substr(0, 40));
        WithValues(line);
        EXPECT_EQ(ApplicationId(), fallback);
    }
}

TEST_F(ApplicationIdFileTest, OfExactly255CharactersIsAccepted)
{
    WithValues("\"ApplicationID\"=\"" + std::string(255, '7') + "\"");
    EXPECT_EQ(ApplicationId(), std::u16string(255, u'7'));
}

TEST_F(ApplicationIdFileTest, StopsAtAnEmbeddedNul)
{
    WithValues("\"ApplicationID\"=hex(1):34,00,32,00,00,00,39,00");
    EXPECT_EQ(ApplicationId(), u"42");
}

TEST_F(ApplicationIdFileTest, IsReadAnewAtEveryCall)
{
    WithValues("\"ApplicationID\"=\"111\"");
    EXPECT_EQ(ApplicationId(), u"111");
    WithValues("\"ApplicationID\"=\"222\"");
    EXPECT_EQ(ApplicationId(), u"222");
}

}  // namespace
