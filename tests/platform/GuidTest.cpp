#include "platform/guid/Guid.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(Guid, RandomVersionFourInWindowsFieldOrder)
{
    GUID first{};
    GUID second{};
    ASSERT_EQ(S_OK, CoCreateGuid(&first));
    ASSERT_EQ(S_OK, CoCreateGuid(&second));
    EXPECT_NE(0, std::memcmp(&first, &second, sizeof first));
    // The version sits in the top nibble of the third field and the variant in the top
    // bits of the fourth, where they print as "xxxxxxxx-xxxx-4xxx-[89ab]xxx-...".
    EXPECT_EQ(4u, first.Data3 >> 12u);
    EXPECT_EQ(0x80u, first.Data4[0] & 0xC0u);
    EXPECT_EQ(E_INVALIDARG, CoCreateGuid(nullptr));
}
