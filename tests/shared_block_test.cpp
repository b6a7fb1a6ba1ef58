#include "Sefrabox.h"

#include <gtest/gtest.h>

TEST(SharedText, RoundTrip)
{
    ASSERT_EQ(1, SetSharedText("abc"));
    char buf[128] = {};
    ASSERT_EQ(1, GetSharedText(buf));
    EXPECT_STREQ("abc", buf);
}
