// Number text as the component layer reads it.
#include "components/paths.h"
#include "components/strings.h"

#include <gtest/gtest.h>

TEST(Strings, DecimalAndHexNumbers) {
    int32_t v = 0;
    EXPECT_TRUE(comp::TryStrToInt("42", v));
    EXPECT_EQ(v, 42);
    EXPECT_TRUE(comp::TryStrToInt("-17", v));
    EXPECT_EQ(v, -17);
    EXPECT_TRUE(comp::TryStrToInt("$FFFFFFFF", v));
    EXPECT_EQ(v, -1);
    EXPECT_TRUE(comp::TryStrToInt("0x1f", v));
    EXPECT_EQ(v, 31);
    EXPECT_TRUE(comp::TryStrToInt("-2147483648", v));
    EXPECT_EQ(v, INT32_MIN);
    for (const char* bad : {"", "$", "0x", "12a", "2147483648", "$100000000", "1 2", "red"})
        EXPECT_FALSE(comp::TryStrToInt(bad, v)) << bad;
    EXPECT_EQ(comp::StrToIntDef("nope", 7), 7);
}

TEST(Strings, PathParts) {
    EXPECT_EQ(comp::ExtractFilePath("C:\\a\\b.txt"), "C:\\a\\");
    EXPECT_EQ(comp::ExtractFileName("C:\\a\\b.txt"), "b.txt");
    EXPECT_EQ(comp::ExtractFileExt("C:\\a.d\\b"), "");
    EXPECT_EQ(comp::ExtractFileExt("b.JPEG"), ".JPEG");
    EXPECT_EQ(comp::IncludeTrailingBackslash("C:\\a"), "C:\\a\\");
    EXPECT_EQ(comp::ExcludeTrailingBackslash("C:\\a\\"), "C:\\a");
    // One separator between a folder and a name, whether the folder ends with one or not.
    EXPECT_EQ(comp::JoinPath("C:\\a\\", "b.txt"), "C:\\a\\b.txt");
    EXPECT_EQ(comp::JoinPath("C:\\a", "b.txt"), "C:\\a\\b.txt");
}
