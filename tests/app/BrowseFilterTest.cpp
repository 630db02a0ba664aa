// The browse dialog's patterns match without regard to case; its texts stay as written.

#include "app/BrowseFilter.h"
#include "platform/win32/Utf.h"

#include <gtest/gtest.h>

TEST(BrowseFilter, PatternsMatchEitherCaseAndDescriptionsStay)
{
    EXPECT_EQ(Utf16ToUtf8(CaseInsensitiveFilter(kBrowseFilter)),
              "Image to upload (*.jpg)|*.[jJ][pP][gG]|GIF image (*.gif)|*.[gG][iI][fF]|"
              "PNG image (*.png)|*.[pP][nN][gG]");
    EXPECT_EQ(Utf16ToUtf8(CaseInsensitiveFilter(u"All (*.*)|*.*;*.JPeg")), "All (*.*)|*.*;*.[jJ][pP][eE][gG]");
    EXPECT_EQ(CaseInsensitiveFilter(u""), u"");
}
